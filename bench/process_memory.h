// The process's resident memory, for benchmarks that report a peak beside
// the size of what they read (Linux /proc; 0 where it cannot be read).
#pragma once

#include <cstddef>
#include <fstream>
#include <string>

namespace kxu::bench {

// The process's resident ("VmRSS:") or peak resident ("VmHWM:") memory in
// bytes, from /proc.
inline std::size_t ProcStatusBytes(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string word;
  while (status >> word) {
    if (word == key) {
      std::size_t nKiB = 0;
      status >> nKiB;
      return nKiB << 10;
    }
  }
  return 0;
}

// Starts a new peak of resident memory (Linux: writing 5 to clear_refs).
inline void ResetPeakMemory() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace kxu::bench
