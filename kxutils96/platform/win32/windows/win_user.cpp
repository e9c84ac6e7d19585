// IsCharAlphaA is the system's own: a letter of the ANSI code page.
#include <kxutils96/platform/win32/win_user.h>

#include <kxutils96/platform/win32/windows/kernel_system.h>

BOOL IsCharAlphaA(char ch) noexcept {
  return kxu::platform::windows::IsCharAlphaA(ch);
}
