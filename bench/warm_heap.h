// Fresh memory costs a page fault per 4 KB. By default glibc hands large freed
// blocks back to the kernel, so every round of a benchmark would fault its
// memory in again, and how much depends on what ran before. Benchmarks that
// allocate call WarmHeap() first: the process then keeps what it frees, and
// the numbers are those of the code under test on a warm heap, for the
// library and its baseline alike.
#pragma once

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <climits>

namespace kxu::bench {

inline bool HeapKeepsFreedMemory() {
  static const bool kKeeps = [] {
    constexpr int kLargestHeapBlock = 32 << 20;  // glibc's upper limit for this setting
    return mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock) == 1 &&
           mallopt(M_TRIM_THRESHOLD, INT_MAX) == 1;
  }();
  return kKeeps;
}

// False (and the benchmark marked as failed) when the heap cannot be kept warm.
inline bool WarmHeap(benchmark::State& state) {
  if (!HeapKeepsFreedMemory()) state.SkipWithError("glibc refused to keep freed memory");
  return HeapKeepsFreedMemory();
}

}  // namespace kxu::bench
