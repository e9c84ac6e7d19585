// The library's work and its anchor timed alternately in one benchmark: each
// iteration runs the library once and then the anchor once, so both meet the
// same state of the machine. The counters give the median throughput of each
// side and the ratio of the medians (library time over anchor time; below 1
// the library is faster). Register with Iterations(n) for n rounds.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace kxu::bench {

template <class Work>
double SecondsOf(Work& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t nMiddle = values.size() / 2;
  return values.size() % 2 != 0 ? values[nMiddle] : (values[nMiddle - 1] + values[nMiddle]) / 2;
}

// Runs `library` and `anchor` alternately, once each per iteration, and
// reports MB/s of `nBytes` for each (medians) and their time ratio.
template <class Library, class Anchor>
void SideBySide(benchmark::State& state, double nBytes, Library library, Anchor anchor) {
  std::vector<double> libraryTimes;
  std::vector<double> anchorTimes;
  for (auto _ : state) {
    libraryTimes.push_back(SecondsOf(library));
    anchorTimes.push_back(SecondsOf(anchor));
  }
  if (libraryTimes.empty()) return;
  const double libraryMedian = Median(libraryTimes);
  const double anchorMedian = Median(anchorTimes);
  constexpr double kMega = 1e6;
  state.counters["lib_MBps"] = nBytes / libraryMedian / kMega;
  state.counters["anchor_MBps"] = nBytes / anchorMedian / kMega;
  state.counters["lib_ms"] = libraryMedian * 1e3;
  state.counters["anchor_ms"] = anchorMedian * 1e3;
  state.counters["ratio"] = libraryMedian / anchorMedian;
}

}  // namespace kxu::bench
