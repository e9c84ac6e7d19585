#include <kxutils96/platform/text/nul_scan.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

#include <kxutils96/platform/text/simd.h>

namespace kxu::platform {
namespace {

constexpr std::size_t kUnitsPerBlock = simd::kBlockBytes;
constexpr std::uintptr_t kBlockAlignment = kUnitsPerBlock * sizeof(char16_t);

bool IsBlockAligned(const char16_t* p) noexcept {
  return reinterpret_cast<std::uintptr_t>(p) % kBlockAlignment == 0;
}

}  // namespace

KXU_READS_WHOLE_BLOCKS std::size_t FindNul(const char16_t* p, std::size_t nUnits) noexcept {
  std::size_t i = 0;
  // Unit by unit up to the first aligned block.
  for (; i < nUnits && !IsBlockAligned(p + i); ++i) {
    if (p[i] == 0) return i;
  }
  // Each block holds a unit before the NUL or the bound, which the caller
  // vouches for, so its page is the text's.
  for (; i < nUnits; i += kUnitsPerBlock) {
    if (const simd::Mask zeros = simd::ZeroUnitMask(p + i); zeros != 0) {
      return std::min(i + static_cast<std::size_t>(std::countr_zero(zeros)), nUnits);
    }
  }
  return nUnits;
}

std::size_t NulTerminatedLength(const char16_t* text) noexcept {
  return FindNul(text, std::numeric_limits<std::size_t>::max());
}

}  // namespace kxu::platform
