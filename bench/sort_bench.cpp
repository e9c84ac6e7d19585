// The sort family and discrete frequencies beside the standard library:
//   - 10 million doubles with an index array (kxutilsSortBuff) against
//     std::sort of (value, index) pairs with the same order, on random,
//     sorted, reversed and few-distinct input;
//   - one million CStringUTF8 case-insensitive and in numeric text mode
//     against std::sort of std::string with strcasecmp and strtod keys;
//   - the numeric mode's parse, utlStrToDouble, against std::strtod on the
//     same million numbers;
//   - kxu_discrete_frequencies on one million strings with 10,000 distinct
//     values against an unordered_map count followed by a sort of the keys.
// Inputs are made once; each iteration copies them into buffers allocated
// once, with the timer paused, so neither side pays for fresh memory.
#include <benchmark/benchmark.h>
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <kxutils96/data/discrete_frequencies.h>
#include <kxutils96/frame/host_object.h>
#include <kxutils96/host/zutl96/number_parsing.h>
#include <kxutils96/sort/sort_family.h>
#include <kxutils96/strings/zqv_string_array.h>

namespace {

constexpr int kDoubles = 10'000'000;
constexpr int kStrings = 1'000'000;
constexpr int kDistinct = 10'000;

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

void BM_KxuSortDoublesWithIndex(benchmark::State& state) {
  const auto& input = Doubles(static_cast<int>(state.range(0)));
  std::vector<double> values(input.size());
  CArray<int, int> index;
  index.SetSize(kDoubles);
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(input.begin(), input.end(), values.begin());
    for (int i = 0; i < kDoubles; ++i) index[i] = i;
    state.ResumeTiming();
    kxutilsSortBuff(values.data(), kDoubles, 0, &index);
    benchmark::DoNotOptimize(values.data());
  }
}

void BM_StdSortValueIndexPairs(benchmark::State& state) {
  const auto& input = Doubles(static_cast<int>(state.range(0)));
  std::vector<std::pair<double, int>> pairs(input.size());
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < kDoubles; ++i)
      pairs[static_cast<size_t>(i)] = {input[static_cast<size_t>(i)], i};
    state.ResumeTiming();
    std::sort(pairs.begin(), pairs.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    benchmark::DoNotOptimize(pairs.data());
  }
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

void SortUtf8Strings(benchmark::State& state, bool numeric) {
  const auto& input = Texts(numeric);
  CZQVStringArray source;
  for (const auto& s : input) source.Add(s.c_str());
  CZQVStringArray work;
  work.SetSize(kStrings);
  const unsigned long flags = numeric ? static_cast<unsigned long>(SORT_NUMERIC_TEXT) : 0UL;
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < kStrings; ++i) work[i] = source[i];
    state.ResumeTiming();
    kxutilsSort(work, flags, nullptr);
    benchmark::DoNotOptimize(work.GetData());
  }
}

void SortStdStrings(benchmark::State& state, bool numeric) {
  const auto& input = Texts(numeric);
  std::vector<std::string> work(input.size());
  for (auto _ : state) {
    state.PauseTiming();
    for (size_t i = 0; i < input.size(); ++i) work[i] = input[i];
    state.ResumeTiming();
    if (numeric) {
      std::sort(work.begin(), work.end(), [](const std::string& a, const std::string& b) {
        return std::strtod(a.c_str(), nullptr) < std::strtod(b.c_str(), nullptr);
      });
    } else {
      std::sort(work.begin(), work.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
      });
    }
    benchmark::DoNotOptimize(work.data());
  }
}

void BM_KxuSortStringsNoCase(benchmark::State& state) {
  SortUtf8Strings(state, false);
}
void BM_StdSortStringsStrcasecmp(benchmark::State& state) {
  SortStdStrings(state, false);
}
void BM_KxuSortStringsNumericText(benchmark::State& state) {
  SortUtf8Strings(state, true);
}
void BM_StdSortStringsStrtod(benchmark::State& state) {
  SortStdStrings(state, true);
}

// The sum keeps every parse; each side parses every number once per pass.
void BM_UtlStrToDouble(benchmark::State& state) {
  const auto& input = Texts(true);
  for (auto _ : state) {
    double sum = 0;
    for (const auto& text : input) sum += utlStrToDouble(text.c_str());
    benchmark::DoNotOptimize(sum);
  }
}

void BM_StdStrtod(benchmark::State& state) {
  const auto& input = Texts(true);
  for (auto _ : state) {
    double sum = 0;
    for (const auto& text : input) sum += std::strtod(text.c_str(), nullptr);
    benchmark::DoNotOptimize(sum);
  }
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

void BM_KxuDiscreteFrequencies(benchmark::State& state) {
  const auto& input = FrequencyInput();
  CZQVStringArray source;
  for (const auto& s : input) source.Add(s.c_str());
  CZQVStringArray in;
  in.SetSize(kStrings);
  CZQVStringArray out;
  ArrayObject inObject(in);
  ArrayObject outObject(out);
  std::vector<double> frequencies(kStrings);
  int count = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < kStrings; ++i) in[i] = source[i];
    out.RemoveAll();
    state.ResumeTiming();
    kxu_discrete_frequencies(&inObject, &outObject, frequencies.data(), &count,
                             kFrequenciesCaseSensitive);
    benchmark::DoNotOptimize(count);
  }
  if (count != kDistinct) state.SkipWithError("wrong number of groups");
}

void BM_UnorderedMapCountAndSortKeys(benchmark::State& state) {
  const auto& input = FrequencyInput();
  std::vector<std::string> keys;
  keys.reserve(kDistinct);
  std::vector<double> frequencies(kStrings);
  for (auto _ : state) {
    std::unordered_map<std::string, int> counts;
    for (const auto& s : input) ++counts[s];
    keys.clear();
    for (const auto& [key, n] : counts) keys.push_back(key);
    std::sort(keys.begin(), keys.end());
    for (size_t k = 0; k < keys.size(); ++k) frequencies[k] = counts[keys[k]];
    benchmark::DoNotOptimize(frequencies.data());
  }
}

void Patterns(benchmark::internal::Benchmark* b) {
  b->ArgNames({"pattern"})->Arg(kRandom)->Arg(kSorted)->Arg(kReversed)->Arg(kFewDistinct);
  b->Unit(benchmark::kMillisecond)->Iterations(2);
}

}  // namespace

BENCHMARK(BM_KxuSortDoublesWithIndex)->Apply(Patterns);
BENCHMARK(BM_StdSortValueIndexPairs)->Apply(Patterns);
BENCHMARK(BM_KxuSortStringsNoCase)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_StdSortStringsStrcasecmp)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_KxuSortStringsNumericText)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_StdSortStringsStrtod)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_UtlStrToDouble)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdStrtod)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KxuDiscreteFrequencies)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_UnorderedMapCountAndSortKeys)->Unit(benchmark::kMillisecond)->Iterations(2);
