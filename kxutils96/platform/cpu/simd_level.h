// Which instruction set the library's SIMD kernels use, chosen once per
// process: the best the processor offers, unless the environment variable
// KXU_SIMD names a lower one (scalar, sse2, ssse3, avx2 or avx512; a level the
// processor lacks gives its best, any other name is ignored). Tests and
// benchmarks force a level with ForceSimdLevel, so that every implementation
// of a kernel can be held to the others on one machine.
// Example: KXU_SIMD=scalar runs every kernel in its plain C++ form.
#pragma once

#include <atomic>
#include <string_view>
#include <vector>

namespace kxu::platform {

// Ordered: each level offers what the ones below it do.
// kAvx512 stands for AVX-512 with its byte and word instructions (BW), the
// byte permutes of VBMI and the byte compress of VBMI2.
enum class SimdLevel : unsigned char { kScalar, kSse2, kSsse3, kAvx2, kAvx512 };

// The levels this processor runs, lowest first; kScalar always.
std::vector<SimdLevel> AvailableSimdLevels();

namespace detail {
// Set when the library is loaded; read at every kernel call, so inline. Until
// it is set (a kernel called while other globals are set up) it holds 0, the
// scalar level, which every processor runs.
extern std::atomic<SimdLevel> g_activeSimdLevel;
}  // namespace detail

// The level the kernels use now.
inline SimdLevel ActiveSimdLevel() noexcept {
  return detail::g_activeSimdLevel.load(std::memory_order_relaxed);
}

// Makes the kernels use `level` from now on, for every thread; returns false
// and changes nothing when the processor lacks it.
bool ForceSimdLevel(SimdLevel level) noexcept;

// "scalar", "sse2", "ssse3", "avx2" or "avx512".
std::string_view SimdLevelName(SimdLevel level) noexcept;

}  // namespace kxu::platform
