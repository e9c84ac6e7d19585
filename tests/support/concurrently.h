// Runs one body on several threads at once, for the tests of the library's
// process-wide state: the threads are released together, so that their first
// calls overlap as closely as the system allows.
#pragma once

#include <latch>
#include <thread>
#include <vector>

namespace kxu::test {

// The threads of one run: enough to overlap on two cores, few enough to stay
// quick under ThreadSanitizer.
inline constexpr int kThreads = 4;

// Calls `body(k)` on `nThreads` threads, k = 0 to nThreads - 1, all started
// before any runs its body; returns when every thread has ended.
// Example: RunConcurrently(kThreads, [&](int k) { results[k] = Lookup(); });
template <class Body>
void RunConcurrently(int nThreads, const Body& body) {
  std::latch start(nThreads);
  std::vector<std::jthread> threads;
  threads.reserve(static_cast<std::size_t>(nThreads));
  for (int k = 0; k < nThreads; ++k) {
    threads.emplace_back([&start, &body, k] {
      start.arrive_and_wait();
      body(k);
    });
  }
}

}  // namespace kxu::test
