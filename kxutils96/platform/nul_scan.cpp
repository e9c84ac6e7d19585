#include <kxutils96/platform/nul_scan.h>

#include <bit>
#include <cstdint>

#include <kxutils96/platform/simd.h>

namespace kxu::platform {
namespace {

constexpr std::size_t kUnitsPerBlock = simd::kBlockBytes;
constexpr std::uintptr_t kBlockAlignment = kUnitsPerBlock * sizeof(char16_t);

bool IsBlockAligned(const char16_t* p) noexcept {
  return reinterpret_cast<std::uintptr_t>(p) % kBlockAlignment == 0;
}

}  // namespace

KXU_READS_WHOLE_BLOCKS std::size_t NulTerminatedLength(const char16_t* text) noexcept {
  const char16_t* p = text;
  // Unit by unit up to the first aligned block.
  while (!IsBlockAligned(p)) {
    if (*p == 0) return static_cast<std::size_t>(p - text);
    ++p;
  }
  for (;; p += kUnitsPerBlock) {
    if (const simd::Mask zeros = simd::ZeroUnitMask(p); zeros != 0) {
      return static_cast<std::size_t>(p - text) + static_cast<std::size_t>(std::countr_zero(zeros));
    }
  }
}

std::size_t FindNul(const char16_t* p, std::size_t nUnits) noexcept {
  std::size_t i = 0;
  for (; nUnits - i >= kUnitsPerBlock; i += kUnitsPerBlock) {
    if (const simd::Mask zeros = simd::ZeroUnitMask(p + i); zeros != 0) {
      return i + static_cast<std::size_t>(std::countr_zero(zeros));
    }
  }
  while (i < nUnits && p[i] != 0) ++i;
  return i;
}

}  // namespace kxu::platform
