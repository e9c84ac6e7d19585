// GetLastError and SetLastError are the system's own, so that a failed
// system call is seen through them exactly as the system set it.
#include <kxutils96/platform/win32/win_error.h>

#include <kxutils96/platform/win32/windows/kernel_system.h>

DWORD GetLastError() noexcept {
  return kxu::platform::windows::GetLastError();
}

void SetLastError(DWORD dwErrCode) noexcept {
  kxu::platform::windows::SetLastError(dwErrCode);
}
