#include <kxutils96/platform/cpu/simd_level.h>

#include <cstdlib>

namespace kxu::platform {
namespace {

constexpr SimdLevel kLevels[] = {SimdLevel::kScalar, SimdLevel::kSse2, SimdLevel::kSsse3,
                                 SimdLevel::kAvx2, SimdLevel::kAvx512};

// The highest level the processor (and, for AVX2 and AVX-512, the system's
// saving of the wide registers) supports.
SimdLevel DetectBestLevel() noexcept {
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi") &&
      __builtin_cpu_supports("avx512vbmi2")) {
    return SimdLevel::kAvx512;
  }
  if (__builtin_cpu_supports("avx2")) return SimdLevel::kAvx2;
  if (__builtin_cpu_supports("ssse3")) return SimdLevel::kSsse3;
  if (__builtin_cpu_supports("sse2")) return SimdLevel::kSse2;
#endif
  return SimdLevel::kScalar;
}

SimdLevel BestLevel() noexcept {
  static const SimdLevel s_best = DetectBestLevel();
  return s_best;
}

SimdLevel CappedLevel(SimdLevel wanted) noexcept {
  return wanted < BestLevel() ? wanted : BestLevel();
}

// The level that KXU_SIMD asks for, or the best one.
SimdLevel StartingLevel() noexcept {
  const char* const pszWanted = std::getenv("KXU_SIMD");
  if (pszWanted != nullptr) {
    for (const SimdLevel level : kLevels) {
      if (SimdLevelName(level) == pszWanted) return CappedLevel(level);
    }
  }
  return BestLevel();
}

}  // namespace

std::atomic<SimdLevel> detail::g_activeSimdLevel{StartingLevel()};

std::vector<SimdLevel> AvailableSimdLevels() {
  std::vector<SimdLevel> levels;
  for (const SimdLevel level : kLevels) {
    if (level <= BestLevel()) levels.push_back(level);
  }
  return levels;
}

bool ForceSimdLevel(SimdLevel level) noexcept {
  if (level > BestLevel()) return false;
  detail::g_activeSimdLevel.store(level, std::memory_order_relaxed);
  return true;
}

std::string_view SimdLevelName(SimdLevel level) noexcept {
  switch (level) {
    case SimdLevel::kScalar:
      return "scalar";
    case SimdLevel::kSse2:
      return "sse2";
    case SimdLevel::kSsse3:
      return "ssse3";
    case SimdLevel::kAvx2:
      return "avx2";
    case SimdLevel::kAvx512:
      return "avx512";
  }
  return "scalar";
}

}  // namespace kxu::platform
