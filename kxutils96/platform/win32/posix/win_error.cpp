#include <kxutils96/platform/win32/win_error.h>

namespace {

thread_local DWORD t_dwLastError = ERROR_SUCCESS;

}  // namespace

DWORD GetLastError() noexcept {
  return t_dwLastError;
}

void SetLastError(DWORD dwErrCode) noexcept {
  t_dwLastError = dwErrCode;
}
