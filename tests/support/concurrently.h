// Runs one body on several threads at once, for the tests of the library's
// process-wide state: the threads are released together, so that their first
// calls overlap as closely as the system allows.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace kxu::test {

// The threads of one run: enough to overlap on two cores, few enough to stay
// quick under ThreadSanitizer.
inline constexpr int kThreads = 4;

// Calls `body(k)` on `nThreads` threads, k = 0 to nThreads - 1, all started
// before any runs its body; returns when every thread has ended.
// The start gate is a mutex and a condition variable, not std::latch: the
// standard library's atomic waits lose wake-ups on the Windows builds'
// threads, and a test then hangs until its time-out.
// Example: RunConcurrently(kThreads, [&](int k) { results[k] = Lookup(); });
template <class Body>
void RunConcurrently(int nThreads, const Body& body) {
  std::mutex gate;
  std::condition_variable all_arrived;
  int waiting = nThreads;
  std::vector<std::jthread> threads;
  threads.reserve(static_cast<std::size_t>(nThreads));
  for (int k = 0; k < nThreads; ++k) {
    threads.emplace_back([&, k] {
      {
        std::unique_lock lock(gate);
        if (--waiting == 0) {
          all_arrived.notify_all();
        } else {
          all_arrived.wait(lock, [&] { return waiting == 0; });
        }
      }
      body(k);
    });
  }
}

}  // namespace kxu::test
