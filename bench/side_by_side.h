// The library's work and its anchor timed alternately in one benchmark: each
// iteration runs each side once (the library first, or the two in turn), so
// both meet the same state of the machine. The counters give the median
// throughput of each side and the ratio of the medians (library time over
// anchor time; below 1 the library is faster), in elapsed time and, as
// cpu_ratio, in the thread's own processor time, which other processes on a
// busy machine do not inflate. Register with Iterations(n) for n rounds.
#pragma once

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <utility>
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
Timing TimingOf(Work&& work) {
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

// Which side runs first in a round.
enum class RoundOrder {
  kLibraryFirst,
  // The first side changes every round, for work that leaves the machine in
  // a state the next side pays for (a file system that keeps the inodes a
  // removal freed off limits for a while, say).
  kAlternating,
};

// Every round's timing of each side.
struct RoundTimings {
  std::vector<Timing> library;
  std::vector<Timing> anchor;
};

// Runs one round per iteration: `timeLibrary()` and `timeAnchor()` each run
// their side once and return its Timing, so a side may prepare its input
// untimed or count processor time that is not this thread's. The iteration's
// time, for rows registered with UseManualTime, is both sides' elapsed time.
template <class TimeLibrary, class TimeAnchor>
RoundTimings TimeRounds(benchmark::State& state, TimeLibrary timeLibrary, TimeAnchor timeAnchor,
                        RoundOrder order = RoundOrder::kLibraryFirst) {
  RoundTimings timings;
  bool bLibraryFirst = true;
  for (auto _ : state) {
    Timing libraryRun;
    Timing anchorRun;
    if (bLibraryFirst) {
      libraryRun = timeLibrary();
      anchorRun = timeAnchor();
    } else {
      anchorRun = timeAnchor();
      libraryRun = timeLibrary();
    }
    if (order == RoundOrder::kAlternating) bLibraryFirst = !bLibraryFirst;
    timings.library.push_back(libraryRun);
    timings.anchor.push_back(anchorRun);
    state.SetIterationTime(libraryRun.elapsed + anchorRun.elapsed);
  }
  return timings;
}

// Reports the medians of each side (lib_ms, anchor_ms), their ratio in
// elapsed time and, as cpu_ratio, in processor time, and, when `nBytes` is
// not 0, each side's MB/s of `nBytes`.
inline void ReportMedians(benchmark::State& state, const RoundTimings& timings, double nBytes) {
  if (timings.library.empty()) return;
  const auto medianOf = [](const std::vector<Timing>& runs, double Timing::*part) {
    std::vector<double> values;
    values.reserve(runs.size());
    for (const Timing& run : runs) values.push_back(run.*part);
    return Median(std::move(values));
  };
  const double libraryMedian = medianOf(timings.library, &Timing::elapsed);
  const double anchorMedian = medianOf(timings.anchor, &Timing::elapsed);
  state.counters["lib_ms"] = libraryMedian * 1e3;
  state.counters["anchor_ms"] = anchorMedian * 1e3;
  state.counters["ratio"] = libraryMedian / anchorMedian;
  state.counters["cpu_ratio"] =
      medianOf(timings.library, &Timing::cpu) / medianOf(timings.anchor, &Timing::cpu);
  if (nBytes == 0) return;
  constexpr double kMega = 1e6;
  state.counters["lib_MBps"] = nBytes / libraryMedian / kMega;
  state.counters["anchor_MBps"] = nBytes / anchorMedian / kMega;
}

// Runs `library` and `anchor` alternately, once each per iteration, and
// reports their medians (see ReportMedians).
template <class Library, class Anchor>
void SideBySide(benchmark::State& state, double nBytes, Library library, Anchor anchor) {
  ReportMedians(state,
                TimeRounds(
                    state, [&] { return TimingOf(library); }, [&] { return TimingOf(anchor); }),
                nBytes);
}

}  // namespace kxu::bench
