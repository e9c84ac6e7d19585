// IsCharAlphaA over the ASCII letters.
#include <kxutils96/platform/win32/win_user.h>

BOOL IsCharAlphaA(char ch) noexcept {
  const unsigned char lower = static_cast<unsigned char>(ch) | 0x20;
  return lower >= 'a' && lower <= 'z' ? TRUE : FALSE;
}
