// The sort family and discrete frequencies beside the standard library. Each
// benchmark is one row: every iteration prepares and times the library's
// work and then its anchor's on the same input, so the two alternate in one
// process, and the counters report the median time of each side (ms) and
// their ratio, library / anchor. Run with --benchmark_repetitions=N and read
// the medians. The rows:
//   - 10 million doubles with an index array (kxutilsSortBuff) against
//     std::sort of (value, index) pairs by value, on random, 16 distinct,
//     sorted and reversed input;
//   - one million CStringUTF8 case-insensitive against std::sort of
//     std::string with strcasecmp;
//   - the same strings holding numbers in numeric text mode against strtod
//     once per string, std::sort of (number, position) and the strings
//     moved into that order;
//   - the numeric mode's parse, utlStrToDouble, against std::strtod;
//   - kxu_discrete_frequencies on one million strings with 10,000 distinct
//     values against an unordered_map count followed by a sort of the keys;
//   - kxu_discrete_frequencies on 80,000 texts made to collide under a hash
//     without a seed against the same on 80,000 random texts.
// Inputs are made once; each side copies them into buffers allocated once,
// untimed, so neither pays for fresh memory.
#include <benchmark/benchmark.h>
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "side_by_side.h"
#include "support/colliding_texts.h"
#include "warm_heap.h"

#include <kxutils96/data/discrete_frequencies.h>
#include <kxutils96/frame/host_object.h>
#include <kxutils96/host/zutl96/number_parsing.h>
#include <kxutils96/sort/sort_family.h>
#include <kxutils96/strings/zqv_string_array.h>

namespace {

constexpr int kDoubles = 10'000'000;
constexpr int kStrings = 1'000'000;
constexpr int kDistinct = 10'000;

// One side of a row: Prepare() sets up the input, untimed; Run() is timed.
// Runs the library and the anchor alternately, one of each per iteration,
// and reports their medians and ratio.
template <class Library, class Anchor>
void SideBySide(benchmark::State& state, Library& library, Anchor& anchor) {
  if (!kxu::bench::WarmHeap(state)) return;
  const auto timeRun = [](auto& side) {
    side.Prepare();
    return kxu::bench::TimingOf([&] { side.Run(); });
  };
  kxu::bench::ReportMedians(
      state,
      kxu::bench::TimeRounds(
          state, [&] { return timeRun(library); }, [&] { return timeRun(anchor); }),
      0);
}

enum Pattern : int { kRandom, kSorted, kReversed, kFewDistinct };

const std::vector<double>& Doubles(int pattern) {
  static std::vector<double> inputs[4];
  auto& v = inputs[pattern];
  if (v.empty()) {
    std::mt19937_64 rng(12345);
    std::uniform_real_distribution<double> dist(-1e9, 1e9);
    v.resize(kDoubles);
    for (int i = 0; i < kDoubles; ++i) {
      switch (pattern) {
        case kRandom:
          v[i] = dist(rng);
          break;
        case kSorted:
          v[i] = i * 0.5;
          break;
        case kReversed:
          v[i] = (kDoubles - i) * 0.5;
          break;
        default:
          v[i] = static_cast<double>(rng() % 16);
          break;
      }
    }
  }
  return v;
}

struct LibraryDoubles {
  explicit LibraryDoubles(const std::vector<double>& doubles) : input(doubles) {}
  const std::vector<double>& input;
  std::vector<double> values = std::vector<double>(input.size());
  CArray<int, int> index;
  void Prepare() {
    std::copy(input.begin(), input.end(), values.begin());
    index.SetSize(kDoubles);
    for (int i = 0; i < kDoubles; ++i) index[i] = i;
  }
  void Run() {
    kxutilsSortBuff(values.data(), kDoubles, 0, &index);
    benchmark::DoNotOptimize(values.data());
  }
};

struct AnchorDoubles {
  const std::vector<double>& input;
  std::vector<std::pair<double, int>> pairs = std::vector<std::pair<double, int>>(input.size());
  void Prepare() {
    for (int i = 0; i < kDoubles; ++i)
      pairs[static_cast<size_t>(i)] = {input[static_cast<size_t>(i)], i};
  }
  void Run() {
    std::sort(pairs.begin(), pairs.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    benchmark::DoNotOptimize(pairs.data());
  }
};

void BM_DoublesWithIndex(benchmark::State& state) {
  const auto& input = Doubles(static_cast<int>(state.range(0)));
  LibraryDoubles library(input);
  AnchorDoubles anchor{input};
  SideBySide(state, library, anchor);
}

// Texts: mixed-case words for the text sort, numbers for the numeric one.
const std::vector<std::string>& Texts(bool numeric) {
  static std::vector<std::string> inputs[2];
  auto& v = inputs[numeric ? 1 : 0];
  if (v.empty()) {
    std::mt19937 rng(99);
    v.reserve(kStrings);
    char buffer[64];
    for (int i = 0; i < kStrings; ++i) {
      if (numeric) {
        std::snprintf(buffer, sizeof buffer, "%.6g",
                      std::uniform_real_distribution<double>(-1e6, 1e6)(rng));
        v.emplace_back(buffer);
      } else {
        std::string word(4 + rng() % 12, 'a');
        for (char& ch : word) ch = static_cast<char>((rng() % 2 ? 'a' : 'A') + rng() % 26);
        v.push_back(word);
      }
    }
  }
  return v;
}

struct LibraryStrings {
  CZQVStringArray source;
  CZQVStringArray work;
  unsigned long flags;
  LibraryStrings(const std::vector<std::string>& input, unsigned long sortFlags)
      : flags(sortFlags) {
    for (const auto& s : input) source.Add(s.c_str());
    work.SetSize(source.GetSize());
  }
  void Prepare() {
    for (int i = 0; i < source.GetSize(); ++i) work[i] = source[i];
  }
  void Run() {
    kxutilsSort(work, flags, nullptr);
    benchmark::DoNotOptimize(work.GetData());
  }
};

struct AnchorStringsNoCase {
  const std::vector<std::string>& input;
  std::vector<std::string> work = std::vector<std::string>(input.size());
  void Prepare() { std::copy(input.begin(), input.end(), work.begin()); }
  void Run() {
    std::sort(work.begin(), work.end(), [](const std::string& a, const std::string& b) {
      return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    benchmark::DoNotOptimize(work.data());
  }
};

// strtod once per string, a sort of (number, position), then the strings
// moved into that order.
struct AnchorStringsNumeric {
  const std::vector<std::string>& input;
  std::vector<std::string> work = std::vector<std::string>(input.size());
  std::vector<std::string> sorted = std::vector<std::string>(input.size());
  std::vector<std::pair<double, int>> keys = std::vector<std::pair<double, int>>(input.size());
  void Prepare() { std::copy(input.begin(), input.end(), work.begin()); }
  void Run() {
    for (size_t i = 0; i < work.size(); ++i)
      keys[i] = {std::strtod(work[i].c_str(), nullptr), static_cast<int>(i)};
    std::sort(keys.begin(), keys.end());
    for (size_t i = 0; i < work.size(); ++i)
      sorted[i] = std::move(work[static_cast<size_t>(keys[i].second)]);
    work.swap(sorted);
    benchmark::DoNotOptimize(work.data());
  }
};

void BM_StringsNoCase(benchmark::State& state) {
  LibraryStrings library(Texts(false), 0);
  AnchorStringsNoCase anchor{Texts(false)};
  SideBySide(state, library, anchor);
}

void BM_StringsNumericText(benchmark::State& state) {
  LibraryStrings library(Texts(true), SORT_NUMERIC_TEXT);
  AnchorStringsNumeric anchor{Texts(true)};
  SideBySide(state, library, anchor);
}

// The sum keeps every parse; each side parses every number once.
template <class Parse>
struct ParseAll {
  const std::vector<std::string>& input;
  Parse parse;
  void Prepare() {}
  void Run() {
    double sum = 0;
    for (const auto& text : input) sum += parse(text.c_str());
    benchmark::DoNotOptimize(sum);
  }
};

template <class Parse>
ParseAll(const std::vector<std::string>&, Parse) -> ParseAll<Parse>;

void BM_ParseNumbers(benchmark::State& state) {
  const auto& input = Texts(true);
  ParseAll library{input, [](const char* psz) { return utlStrToDouble(psz); }};
  ParseAll anchor{input, [](const char* psz) { return std::strtod(psz, nullptr); }};
  SideBySide(state, library, anchor);
}

// A host object that hands out one string array.
class ArrayObject : public HostObject {
 public:
  explicit ArrayObject(CZQVStringArray& array) : m_array(array) {}
  void* GetNativeObject(int nQuery, intptr_t) override {
    return nQuery == QUERY_STRING_ARRAY ? &m_array : nullptr;
  }

 private:
  CZQVStringArray& m_array;
};

const std::vector<std::string>& FrequencyInput() {
  static std::vector<std::string> v;
  if (v.empty()) {
    std::mt19937 rng(5);
    v.reserve(kStrings);
    for (int i = 0; i < kStrings; ++i) v.push_back("value" + std::to_string(rng() % kDistinct));
  }
  return v;
}

// The input array is made anew for every call (the call sorts it). The
// anchor counts views of the very texts the library's call is given, in
// input order, so both read the same memory.
struct LibraryFrequencies {
  CZQVStringArray source;
  CZQVStringArray in;
  CZQVStringArray out;
  ArrayObject inObject{in};
  ArrayObject outObject{out};
  std::vector<std::string_view> views;
  std::vector<double> frequencies = std::vector<double>(kStrings);
  int options;
  int count = 0;
  explicit LibraryFrequencies(int frequencyOptions,
                              const std::vector<std::string>& input = FrequencyInput())
      : options(frequencyOptions) {
    for (const auto& s : input) source.Add(s.c_str());
  }
  void Prepare() {
    in.RemoveAll();
    out.RemoveAll();
    views.clear();
    for (int i = 0; i < source.GetSize(); ++i) {
      in.Add(source[i]);
      views.emplace_back(in[i].GetString());
    }
  }
  void Run() {
    kxu_discrete_frequencies(&inObject, &outObject, frequencies.data(), &count, options);
    benchmark::DoNotOptimize(count);
  }
};

struct AnchorFrequencies {
  const std::vector<std::string_view>& input;
  std::vector<std::string_view> keys;
  std::vector<double> frequencies = std::vector<double>(kStrings);
  void Prepare() {}
  void Run() {
    std::unordered_map<std::string_view, int> counts;
    for (const auto& s : input) ++counts[s];
    keys.clear();
    for (const auto& [key, n] : counts) keys.push_back(key);
    std::sort(keys.begin(), keys.end());
    for (size_t k = 0; k < keys.size(); ++k) frequencies[k] = counts[keys[k]];
    benchmark::DoNotOptimize(frequencies.data());
  }
};

void BM_DiscreteFrequencies(benchmark::State& state) {
  LibraryFrequencies library(static_cast<int>(state.range(0)));
  AnchorFrequencies anchor{library.views, {}};
  SideBySide(state, library, anchor);
  if (library.count != kDistinct) state.SkipWithError("wrong number of groups");
}

// 80,000 texts made to share one slot under a hash without a seed, beside as
// many random ones of the same length, both counted by the library: a ratio
// near 1 means no input can make the count's lookups walk long chains.
void BM_DiscreteFrequencies_Crafted(benchmark::State& state) {
  constexpr std::size_t kCrafted = 80'000;
  LibraryFrequencies crafted(kFrequenciesCaseSensitive, kxu::test::CollidingTexts(kCrafted));
  LibraryFrequencies random(kFrequenciesCaseSensitive, kxu::test::CollidingTexts(kCrafted, true));
  SideBySide(state, crafted, random);
  if (crafted.count != static_cast<int>(kCrafted)) state.SkipWithError("wrong number of groups");
}

void Row(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
}

}  // namespace

BENCHMARK(BM_DoublesWithIndex)
    ->ArgNames({"pattern"})
    ->Arg(kRandom)
    ->Arg(kFewDistinct)
    ->Arg(kSorted)
    ->Arg(kReversed)
    ->Apply(Row);
BENCHMARK(BM_StringsNoCase)->Apply(Row);
BENCHMARK(BM_StringsNumericText)->Apply(Row);
BENCHMARK(BM_ParseNumbers)->Apply(Row);
BENCHMARK(BM_DiscreteFrequencies)
    ->ArgNames({"case_sensitive"})
    ->Arg(kFrequenciesCaseSensitive)
    ->Arg(0)
    ->Apply(Row);
BENCHMARK(BM_DiscreteFrequencies_Crafted)->Apply(Row);
