#include <kxutils96/platform/text/nul_scan.h>

#include <cstdint>
#include <limits>

#include <kxutils96/platform/text/simd.h>

namespace kxu::platform {
namespace {

constexpr std::uintptr_t kBlockAlignment = simd::kBlockBytes * sizeof(char16_t);

bool IsBlockAligned(const char16_t* p) noexcept {
  return reinterpret_cast<std::uintptr_t>(p) % kBlockAlignment == 0;
}

}  // namespace

std::size_t FindNul(const char16_t* p, std::size_t nUnits) noexcept {
  std::size_t i = 0;
  // Unit by unit up to the first aligned block.
  for (; i < nUnits && !IsBlockAligned(p + i); ++i) {
    if (p[i] == 0) return i;
  }
  return i < nUnits ? i + simd::FindNulInAlignedBlocks(p + i, nUnits - i) : nUnits;
}

std::size_t NulTerminatedLength(const char16_t* text) noexcept {
  return FindNul(text, std::numeric_limits<std::size_t>::max());
}

}  // namespace kxu::platform
