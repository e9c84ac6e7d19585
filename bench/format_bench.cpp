// Text transform speed.
//
// Linear time: kxu_keyword_replace (the word "and" replaced by "&&" in a
// script-like text, about one occurrence in 25 bytes, half of them inside
// longer words) and kxu_url_encode (encoding, and decoding its output) on one
// text of 1 MB and of 10 MB; equal bytes per second at both sizes means
// linear time. Beside each, the baseline: a plain std::string loop doing the
// same work (find, test the two neighbours, append; byte-by-byte encoding and
// decoding into a reserved string), so the ratio shows what the library's
// contract costs above the bare loop.
//
// Worst cases for the search and the wrap, which a byte-by-byte search and
// an insert per line turn quadratic: kxu_keyword_replace looking for a
// keyword of 64 bytes and of 4 KB ("aa...ab", in either case mode) in a text
// of "a" only, of 1 MB and 4 MB, beside the standard library's
// boyer_moore_searcher over the same text; and kxu_wrap_text at width 60 with
// an indent of 2 on the script-like text of 256 KB, 1 MB and 4 MB, beside a
// plain greedy wrap into a std::string. Equal bytes per second whatever the
// text and keyword lengths means linear time.
#include <kxutils96/format/transforms/escaping.h>
#include <kxutils96/format/transforms/keyword_replace.h>
#include <kxutils96/format/transforms/wrap_pad.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include "warm_heap.h"

namespace {

constexpr std::size_t kMegabyte = 1u << 20;

// A script-like text of `nBytes` bytes: names, numbers, operators and the
// word "and", alone and inside longer words.
std::string ScriptText(std::size_t nBytes) {
  static const char* const kPieces[] = {"x1 ",  "and ", "band ",    "= ",  "temp_2 ",
                                        "(y) ", "3.5 ", "android ", "|| ", "z\xC3\xA9 "};
  std::mt19937 random(11);
  std::string text;
  text.reserve(nBytes + 16);
  while (text.size() < nBytes) text += kPieces[random() % 10];
  text.resize(nBytes);
  return text;
}

const std::string& TextOfMegabytes(int nMegabytes) {
  static const std::string kOne = ScriptText(kMegabyte);
  static const std::string kTen = ScriptText(10 * kMegabyte);
  return nMegabytes == 1 ? kOne : kTen;
}

bool JoinsWord(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// The baseline replacement: whole occurrences by neighbour test only.
std::string PlainReplace(std::string_view text, std::string_view keyword,
                         std::string_view replacement) {
  std::string out;
  out.reserve(text.size() * 2);
  std::size_t nFrom = 0;
  for (std::size_t nAt = text.find(keyword); nAt != std::string_view::npos;
       nAt = text.find(keyword, nFrom)) {
    out.append(text, nFrom, nAt - nFrom);
    const std::size_t nAfter = nAt + keyword.size();
    const bool bWhole = (out.empty() || !JoinsWord(out.back())) &&
                        (nAfter >= text.size() || !JoinsWord(text[nAfter]));
    out.append(bWhole ? replacement : keyword);
    nFrom = nAfter;
  }
  out.append(text, nFrom);
  return out;
}

std::string PlainUrlEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(3 * text.size());
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (std::isalnum(c) != 0) {
      out += ch;
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

int HexValue(char c) {
  return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

std::string PlainUrlDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

void SetBytes(benchmark::State& state, std::size_t nBytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * nBytes));
}

void BM_KeywordReplace(benchmark::State& state) {
  if (!kxu::bench::WarmHeap(state)) return;
  const std::string& text = TextOfMegabytes(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CStringUTF8 str(text.c_str());
    benchmark::DoNotOptimize(kxu_keyword_replace(&str, "and", "&&", false));
  }
  SetBytes(state, text.size());
}

void BM_KeywordReplace_PlainString(benchmark::State& state) {
  if (!kxu::bench::WarmHeap(state)) return;
  const std::string& text = TextOfMegabytes(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::string copy(text);
    benchmark::DoNotOptimize(PlainReplace(copy, "and", "&&"));
  }
  SetBytes(state, text.size());
}

// A text of `nBytes` letters "a", and a keyword of `nKeywordBytes` that
// matches all but its last byte at every position of it.
std::string RepeatedLetters(std::size_t nBytes) {
  return std::string(nBytes, 'a');
}

std::string AlmostMatchingKeyword(std::size_t nKeywordBytes) {
  return std::string(nKeywordBytes - 1, 'a') + 'b';
}

void BM_KeywordReplace_LongKeyword(benchmark::State& state) {
  if (!kxu::bench::WarmHeap(state)) return;
  const std::string text = RepeatedLetters(static_cast<std::size_t>(state.range(0)) * kMegabyte);
  const std::string keyword = AlmostMatchingKeyword(static_cast<std::size_t>(state.range(1)));
  const bool bIgnoreCase = state.range(2) != 0;
  for (auto _ : state) {
    CStringUTF8 str(text.c_str());
    benchmark::DoNotOptimize(kxu_keyword_replace(&str, keyword.c_str(), "x", bIgnoreCase));
  }
  SetBytes(state, text.size());
}

void BM_KeywordReplace_LongKeyword_StdBoyerMoore(benchmark::State& state) {
  if (!kxu::bench::WarmHeap(state)) return;
  const std::string text = RepeatedLetters(static_cast<std::size_t>(state.range(0)) * kMegabyte);
  const std::string keyword = AlmostMatchingKeyword(static_cast<std::size_t>(state.range(1)));
  for (auto _ : state) {
    const std::boyer_moore_searcher searcher(keyword.begin(), keyword.end());
    benchmark::DoNotOptimize(std::search(text.begin(), text.end(), searcher));
  }
  SetBytes(state, text.size());
}

constexpr int kWrapWidth = 60;
constexpr int kWrapIndent = 2;

// The baseline wrap: greedy, breaking after the last blank within the width.
std::string PlainWrap(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  while (text.size() > kWrapWidth) {
    const std::size_t nBreak = text.rfind(' ', kWrapWidth);
    const std::size_t nLine = nBreak == std::string_view::npos ? kWrapWidth : nBreak + 1;
    out.append(text.substr(0, nLine));
    out += '\n';
    out.append(kWrapIndent, ' ');
    text.remove_prefix(nLine);
  }
  out.append(text);
  return out;
}

void BM_WrapText(benchmark::State& state) {
  if (!kxu::bench::WarmHeap(state)) return;
  const std::string text = ScriptText(static_cast<std::size_t>(state.range(0)) << 10);
  for (auto _ : state) {
    CStringUTF8 str(text.c_str());
    benchmark::DoNotOptimize(kxu_wrap_text(&str, kWrapWidth, kWrapIndent));
  }
  SetBytes(state, text.size());
}

void BM_WrapText_PlainString(benchmark::State& state) {
  if (!kxu::bench::WarmHeap(state)) return;
  const std::string text = ScriptText(static_cast<std::size_t>(state.range(0)) << 10);
  for (auto _ : state) {
    std::string copy(text);
    benchmark::DoNotOptimize(PlainWrap(copy).size());
  }
  SetBytes(state, text.size());
}

void BM_UrlEncodeDecode(benchmark::State& state) {
  if (!kxu::bench::WarmHeap(state)) return;
  const std::string& text = TextOfMegabytes(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CStringUTF8 str(text.c_str());
    kxu_url_encode(&str, 1);
    kxu_url_encode(&str, 0);
    benchmark::DoNotOptimize(str.GetLength());
  }
  SetBytes(state, text.size());
}

void BM_UrlEncodeDecode_PlainString(benchmark::State& state) {
  if (!kxu::bench::WarmHeap(state)) return;
  const std::string& text = TextOfMegabytes(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::string copy(text);
    benchmark::DoNotOptimize(PlainUrlDecode(PlainUrlEncode(copy)).size());
  }
  SetBytes(state, text.size());
}

}  // namespace

BENCHMARK(BM_KeywordReplace)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeywordReplace_PlainString)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeywordReplace_LongKeyword)
    ->ArgsProduct({{1, 4}, {64, 4096}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeywordReplace_LongKeyword_StdBoyerMoore)
    ->ArgsProduct({{1, 4}, {64, 4096}})
    ->Unit(benchmark::kMillisecond);
// Text sizes in KB.
BENCHMARK(BM_WrapText)->Arg(256)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WrapText_PlainString)->Arg(256)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UrlEncodeDecode)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UrlEncodeDecode_PlainString)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
