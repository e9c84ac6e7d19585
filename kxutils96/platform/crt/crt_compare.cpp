// The run-time's "C"-locale case-insensitive comparison, in our own code so
// that it orders alike on every system.
#include <kxutils96/platform/crt/crt.h>

namespace kxu::platform {
namespace {

int FoldAscii(unsigned char ch) noexcept {
  return (ch >= 'A' && ch <= 'Z') ? ch + ('a' - 'A') : ch;
}

}  // namespace

int CompareNoCaseC(const char* psz1, const char* psz2) noexcept {
  for (;; ++psz1, ++psz2) {
    const int a = FoldAscii(static_cast<unsigned char>(*psz1));
    const int b = FoldAscii(static_cast<unsigned char>(*psz2));
    if (a != b || a == 0) return a - b;
  }
}

}  // namespace kxu::platform
