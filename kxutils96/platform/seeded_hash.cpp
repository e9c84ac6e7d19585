#include <kxutils96/platform/seeded_hash.h>

#include <chrono>
#include <cstdint>
#include <exception>
#include <random>

namespace kxu::platform {

namespace {

// The next number of a splitmix sequence from `state`: a good spread of any
// start, however few of its bits are unknown.
std::uint64_t NextMixed(std::uint64_t& state) {
  state += 0x9E3779B97F4A7C15ULL;
  std::uint64_t z = state;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// The system's random source when it has one; where it has none, the clock
// and the addresses the process was loaded at still differ from run to run.
HashSeeds DrawSeeds() noexcept {
  std::uint64_t state =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  state ^= static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&state)) << 16;
  state ^= static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&DrawSeeds));
  try {
    std::random_device device;
    state ^= (static_cast<std::uint64_t>(device()) << 32) ^ device();
  } catch (const std::exception&) {
    // No random source: the clock and the addresses above stand alone.
  }
  return {NextMixed(state), NextMixed(state)};
}

}  // namespace

const HashSeeds& ProcessHashSeeds() noexcept {
  static const HashSeeds s_seeds = DrawSeeds();
  return s_seeds;
}

}  // namespace kxu::platform
