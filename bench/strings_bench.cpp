// CStringUTF8 beside std::string doing the same work: a million appends of
// short pieces, copying a million strings out of a prepared vector (short ones
// that fit std::string's inline buffer, and longer ones that need the heap in
// both), and searching about 1 MB of text for a word and for a character.
//
// Each pair is one template registered for both types, so both sides run the
// same code on the same data with the same allocation pattern. Run with
// --benchmark_enable_random_interleaving=true so that drift in the machine's
// speed falls on both sides alike.
// Allocating benchmarks run on a warm heap (see warm_heap.h): with glibc's
// defaults the appends vary tenfold with what ran before.
#include <kxutils96/host/zstrings96/zstrings96.h>

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "warm_heap.h"

namespace {

using kxu::bench::WarmHeap;

constexpr int kAppends = 1'000'000;
constexpr int kCopies = 1'000'000;
constexpr std::size_t kTextBytes = 1 << 20;
constexpr int kPlantedHits = 16;
constexpr const char* kRareWord = "quartz";  // the vocabulary has no 'q'
constexpr char kRareChar = 'Q';

template <class Str>
Str FromStd(const std::string& text) {
  if constexpr (std::is_same_v<Str, std::string>) {
    return text;
  } else {
    return Str(text.data(), static_cast<int>(text.size()));
  }
}

std::size_t LengthOf(const std::string& str) {
  return str.size();
}
std::size_t LengthOf(const CStringUTF8& str) {
  return static_cast<std::size_t>(str.GetLength());
}

// Both searches report -1 for "not found", as CStringUTF8 does.
template <class Needle>
int FindFrom(const CStringUTF8& str, Needle needle, int iStart) {
  return str.Find(needle, iStart);
}
template <class Needle>
int FindFrom(const std::string& str, Needle needle, int iStart) {
  const std::size_t at = str.find(needle, static_cast<std::size_t>(iStart));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

// Random lower-case text of `minLength` to `maxLength` bytes.
std::vector<std::string> RandomTexts(std::size_t count, int minLength, int maxLength,
                                     unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> length(minLength, maxLength), letter('a', 'z');
  std::vector<std::string> texts(count);
  for (std::string& text : texts) {
    text.resize(static_cast<std::size_t>(length(random)));
    for (char& ch : text) ch = static_cast<char>(letter(random));
  }
  return texts;
}

// ---- appending -------------------------------------------------------------

// 1 to 12 bytes, like the fields and separators a line is built from.
const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces = RandomTexts(1024, 1, 12, 7);
  return pieces;
}

std::size_t AppendedLength() {
  std::size_t total = 0;
  for (int i = 0; i < kAppends; ++i) total += Pieces()[i % Pieces().size()].size();
  return total;
}

template <class Str>
void BM_Append(benchmark::State& state) {
  if (!WarmHeap(state)) return;
  const std::vector<std::string>& pieces = Pieces();
  const std::size_t expected = AppendedLength();
  for (auto _ : state) {
    Str text;
    for (int i = 0; i < kAppends; ++i) text += pieces[i % pieces.size()].c_str();
    benchmark::DoNotOptimize(text);
    if (LengthOf(text) != expected) state.SkipWithError("wrong appended length");
  }
  state.SetItemsProcessed(state.iterations() * kAppends);
}

// ---- copying ---------------------------------------------------------------

// Copies every string of a prepared vector into a vector with room for them.
// The copies are destroyed outside the timing, so each round allocates from
// the memory the previous one freed, on both sides.
template <class Str>
void BM_Copy(benchmark::State& state) {
  if (!WarmHeap(state)) return;
  std::vector<Str> source;
  source.reserve(kCopies);
  for (const std::string& text : RandomTexts(kCopies, static_cast<int>(state.range(0)),
                                             static_cast<int>(state.range(1)), 11)) {
    source.push_back(FromStd<Str>(text));
  }
  std::vector<Str> copies;
  copies.reserve(source.size());
  for (auto _ : state) {
    copies.insert(copies.end(), source.begin(), source.end());
    benchmark::DoNotOptimize(copies.data());
    benchmark::ClobberMemory();
    state.PauseTiming();
    copies.clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kCopies);
}

// ---- searching -------------------------------------------------------------

// About 1 MB of words and spaces, with kRareWord and kRareChar each planted
// kPlantedHits times at even intervals.
const std::string& SearchText() {
  static const std::string text = [] {
    const std::vector<std::string> words = RandomTexts(4096, 2, 9, 13);
    std::mt19937 random(17);
    std::uniform_int_distribution<std::size_t> pick(0, words.size() - 1);
    std::string result;
    while (result.size() < kTextBytes) {
      result += words[pick(random)];
      result += ' ';
    }
    for (std::size_t i = 1; i <= kPlantedHits; ++i) {
      const std::size_t at = i * (result.size() / (kPlantedHits + 1));
      result.replace(at, 6, kRareWord);
      result[at + 100] = kRareChar;
    }
    return result;
  }();
  return text;
}

template <class Str, class Needle>
void CountHits(benchmark::State& state, Needle needle) {
  const Str text = FromStd<Str>(SearchText());
  for (auto _ : state) {
    int hits = 0;
    for (int at = FindFrom(text, needle, 0); at >= 0; at = FindFrom(text, needle, at + 1)) ++hits;
    benchmark::DoNotOptimize(hits);
    if (hits != kPlantedHits) state.SkipWithError("wrong number of hits");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(LengthOf(text)));
}

template <class Str>
void BM_FindText(benchmark::State& state) {
  CountHits<Str>(state, kRareWord);
}

template <class Str>
void BM_FindChar(benchmark::State& state) {
  CountHits<Str>(state, kRareChar);
}

BENCHMARK_TEMPLATE(BM_Append, CStringUTF8)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Append, std::string)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Copy, CStringUTF8)
    ->Args({4, 12})
    ->Args({24, 40})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Copy, std::string)
    ->Args({4, 12})
    ->Args({24, 40})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_FindText, CStringUTF8)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FindText, std::string)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FindChar, CStringUTF8)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FindChar, std::string)->Unit(benchmark::kMicrosecond);

}  // namespace
