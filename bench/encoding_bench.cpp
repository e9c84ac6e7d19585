// The zq* conversions beside the C library's iconv on the same buffers, the
// two sides alternating in one benchmark (see side_by_side.h): UTF-8 <->
// UTF-16 on 64 MB of text in three mixes, and code pages 1252 and 932 to
// UTF-8. The library writes from the terminated text into a CStringW /
// CStringUTF8 that each round reuses as the last round left it, iconv into
// a reused output buffer.
#include <benchmark/benchmark.h>

#include <iconv.h>
#include <bit>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <kxutils96/strings/encoding_conversions.h>

#include "side_by_side.h"

namespace {

using U16 = std::basic_string<WCHAR>;

constexpr std::size_t kUtfTextBytes = std::size_t{64} << 20;
constexpr std::size_t kCodePageTextBytes = std::size_t{16} << 20;

enum class Mix { kAscii, kEuropean, kCjk, kJapanese };

// Words drawn at random until the text has `nBytes` UTF-8 bytes.
std::string MakeUtf8Text(Mix mix, std::size_t nBytes) {
  static const std::vector<std::string> ascii = {"the ",  "quick ", "brown ", "fox, ", "jumps ",
                                                 "over ", "a ",     "lazy ",  "dog. ", "Data "};
  static const std::vector<std::string> european = {"die ",
                                                    "Gr\xC3\xB6\xC3\x9F"
                                                    "e ",
                                                    "und ",
                                                    "caf\xC3\xA9 ",
                                                    "na\xC3\xAFve ",
                                                    "\xC3\xA9l\xC3\xA8ve ",
                                                    "Stra\xC3\x9F"
                                                    "e ",
                                                    "\xC3\xBC"
                                                    "ber ",
                                                    "ann\xC3\xA9"
                                                    "e ",
                                                    "gar\xC3\xA7on, ",
                                                    "the ",
                                                    "value ",
                                                    "Messwert ",
                                                    "pr\xC3\xA9"
                                                    "cis. "};
  static const std::vector<std::string> japanese = {"\xE6\x97\xA5\xE6\x9C\xAC",
                                                    "\xE8\xAA\x9E",
                                                    "\xE3\x81\xAE",
                                                    "\xE6\x96\x87\xE5\xAD\x97",
                                                    "\xE3\x81\x8B\xE3\x82\x89",
                                                    "\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF",
                                                    "\xE3\x80\x81",
                                                    "12 ",
                                                    "\xE5\xA4\x89\xE6\x8F\x9B",
                                                    "\xE3\x80\x82"};
  std::mt19937 random(12345);
  std::string text;
  text.reserve(nBytes + 64);
  while (text.size() < nBytes) {
    if (mix == Mix::kCjk) {
      // Han ideographs, now and then a full-width comma or an ASCII blank.
      const unsigned pick = random() % 20;
      const char32_t codePoint = pick == 0 ? 0xFF0C : 0x4E00 + random() % 0x5000;
      if (pick == 1) {
        text += ' ';
        continue;
      }
      text += static_cast<char>(0xE0 | (codePoint >> 12));
      text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (codePoint & 0x3F));
      continue;
    }
    const std::vector<std::string>& words = mix == Mix::kAscii      ? ascii
                                            : mix == Mix::kEuropean ? european
                                                                    : japanese;
    text += words[random() % words.size()];
  }
  text.resize(nBytes);
  // Cut back to a whole character.
  while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
  if (!text.empty() && static_cast<unsigned char>(text.back()) >= 0xC0) text.pop_back();
  return text;
}

struct UtfBuffers {
  std::string utf8;
  U16 utf16;
};

const UtfBuffers& Texts(Mix mix) {
  static UtfBuffers buffers[3];
  UtfBuffers& mine = buffers[static_cast<int>(mix)];
  if (mine.utf8.empty()) {
    mine.utf8 = MakeUtf8Text(mix, kUtfTextBytes);
    mine.utf16 = kxu::platform::Utf8ToUtf16(mine.utf8);
  }
  return mine;
}

// Output room shared by every benchmark, touched once before any timing.
U16& WideOutput() {
  static U16 out(kUtfTextBytes + 16, u'x');
  return out;
}
std::string& NarrowOutput() {
  static std::string out(kUtfTextBytes * 3 / 2 + 16, 'x');
  return out;
}

const char* Utf16Name() {
  return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

// One whole-buffer iconv call into `out`; returns the bytes written.
std::size_t IconvWhole(iconv_t cd, const void* in, std::size_t nIn, void* out, std::size_t nRoom,
                       benchmark::State& state) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* pIn = const_cast<char*>(static_cast<const char*>(in));
  char* pOut = static_cast<char*>(out);
  std::size_t nInLeft = nIn;
  std::size_t nOutLeft = nRoom;
  if (iconv(cd, &pIn, &nInLeft, &pOut, &nOutLeft) == static_cast<std::size_t>(-1)) {
    state.SkipWithError("iconv failed");
  }
  return nRoom - nOutLeft;
}

constexpr int kRounds = 7;

// A terminated text's length for the zq* calls.
constexpr int kWholeText = -1;

void BM_Utf8ToUtf16(benchmark::State& state, Mix mix) {
  const std::string& in = Texts(mix).utf8;
  U16& out = WideOutput();
  const iconv_t cd = iconv_open(Utf16Name(), "UTF-8");
  CStringW strDest;
  kxu::bench::SideBySide(
      state, static_cast<double>(in.size()),
      [&] {
        if (zqUTF8toUTF16(strDest, in.c_str(), kWholeText) == 0) state.SkipWithError("failed");
      },
      [&] { IconvWhole(cd, in.data(), in.size(), out.data(), out.size() * sizeof(WCHAR), state); });
  iconv_close(cd);
}

void BM_Utf16ToUtf8(benchmark::State& state, Mix mix) {
  const U16& in = Texts(mix).utf16;
  std::string& out = NarrowOutput();
  const iconv_t cd = iconv_open("UTF-8", Utf16Name());
  CStringUTF8 strDest;
  // Bytes of UTF-8 text, so that both directions count the same text.
  kxu::bench::SideBySide(
      state, static_cast<double>(Texts(mix).utf8.size()),
      [&] {
        if (zqUTF16toUTF8(strDest, in.c_str(), kWholeText) == 0) state.SkipWithError("failed");
      },
      [&] { IconvWhole(cd, in.data(), in.size() * sizeof(WCHAR), out.data(), out.size(), state); });
  iconv_close(cd);
}

// Code-page text: European words in 1252, Japanese words in 932.
const std::string& CodePageText(UINT nPage) {
  static std::string texts[2];
  std::string& mine = texts[nPage == 932 ? 1 : 0];
  if (mine.empty()) {
    const U16 wide = kxu::platform::Utf8ToUtf16(
        MakeUtf8Text(nPage == 932 ? Mix::kJapanese : Mix::kEuropean, kCodePageTextBytes));
    mine.resize(wide.size() * 2);
    mine.resize(static_cast<std::size_t>(
        WideCharToMultiByte(nPage, 0, wide.data(), static_cast<int>(wide.size()), mine.data(),
                            static_cast<int>(mine.size()), nullptr, nullptr)));
  }
  return mine;
}

void BM_CodePageToUtf8(benchmark::State& state, UINT nPage) {
  const std::string& in = CodePageText(nPage);
  std::string& out = NarrowOutput();
  const iconv_t cd = iconv_open("UTF-8", nPage == 932 ? "CP932" : "CP1252");
  CStringUTF8 strDest;
  kxu::bench::SideBySide(
      state, static_cast<double>(in.size()),
      [&] {
        if (zqMBCStoUTF8(strDest, in.c_str(), static_cast<int>(nPage)) == 0) {
          state.SkipWithError("failed");
        }
      },
      [&] { IconvWhole(cd, in.data(), in.size(), out.data(), out.size(), state); });
  iconv_close(cd);
}

void Rows(benchmark::internal::Benchmark* bench) {
  bench->Iterations(kRounds)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK_CAPTURE(BM_Utf8ToUtf16, ascii, Mix::kAscii)->Apply(Rows);
BENCHMARK_CAPTURE(BM_Utf8ToUtf16, european, Mix::kEuropean)->Apply(Rows);
BENCHMARK_CAPTURE(BM_Utf8ToUtf16, cjk, Mix::kCjk)->Apply(Rows);
BENCHMARK_CAPTURE(BM_Utf16ToUtf8, ascii, Mix::kAscii)->Apply(Rows);
BENCHMARK_CAPTURE(BM_Utf16ToUtf8, european, Mix::kEuropean)->Apply(Rows);
BENCHMARK_CAPTURE(BM_Utf16ToUtf8, cjk, Mix::kCjk)->Apply(Rows);
BENCHMARK_CAPTURE(BM_CodePageToUtf8, cp1252, 1252u)->Apply(Rows);
BENCHMARK_CAPTURE(BM_CodePageToUtf8, cp932, 932u)->Apply(Rows);

}  // namespace
