// The library's work and its anchor timed alternately in one benchmark: each
// iteration runs the library once and then the anchor once, so both meet the
// same state of the machine. The counters give the median throughput of each
// side and the ratio of the medians (library time over anchor time; below 1
// the library is faster), in elapsed time and, as cpu_ratio, in the thread's
// own processor time, which other processes on a busy machine do not inflate.
// Register with Iterations(n) for n rounds.
#pragma once

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace kxu::bench {

// Elapsed and processor seconds of one run.
struct Timing {
  double elapsed = 0;
  double cpu = 0;
};

inline double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <class Work>
Timing TimingOf(Work& work) {
  const double cpuStart = ThreadCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  work();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          ThreadCpuSeconds() - cpuStart};
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t nMiddle = values.size() / 2;
  return values.size() % 2 != 0 ? values[nMiddle] : (values[nMiddle - 1] + values[nMiddle]) / 2;
}

// Runs `library` and `anchor` alternately, once each per iteration, and
// reports MB/s of `nBytes` for each (medians) and their time ratios.
template <class Library, class Anchor>
void SideBySide(benchmark::State& state, double nBytes, Library library, Anchor anchor) {
  std::vector<double> libraryTimes;
  std::vector<double> anchorTimes;
  std::vector<double> libraryCpuTimes;
  std::vector<double> anchorCpuTimes;
  for (auto _ : state) {
    const Timing libraryRun = TimingOf(library);
    const Timing anchorRun = TimingOf(anchor);
    libraryTimes.push_back(libraryRun.elapsed);
    anchorTimes.push_back(anchorRun.elapsed);
    libraryCpuTimes.push_back(libraryRun.cpu);
    anchorCpuTimes.push_back(anchorRun.cpu);
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
  state.counters["cpu_ratio"] = Median(libraryCpuTimes) / Median(anchorCpuTimes);
}

}  // namespace kxu::bench
