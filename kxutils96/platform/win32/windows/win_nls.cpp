// The code-page conversions are the system's own.
#include <kxutils96/platform/win32/win_nls.h>

#include <kxutils96/platform/win32/windows/kernel_system.h>

namespace os = kxu::platform::windows;

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) noexcept {
  return os::MultiByteToWideChar(CodePage, dwFlags, lpMultiByteStr, cbMultiByte, lpWideCharStr,
                                 cchWideChar);
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        BOOL* lpUsedDefaultChar) noexcept {
  // UTF-8 has no default character and no look-alikes: Windows refuses
  // both, and so does the library on every system, whatever the system
  // underneath lets through.
  if ((CodePage == CP_ACP ? os::GetACP() : CodePage) == CP_UTF8) {
    if (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    if ((dwFlags & ~WC_ERR_INVALID_CHARS) != 0) {
      SetLastError(ERROR_INVALID_FLAGS);
      return 0;
    }
  }
  return os::WideCharToMultiByte(CodePage, dwFlags, lpWideCharStr, cchWideChar, lpMultiByteStr,
                                 cbMultiByte, lpDefaultChar, lpUsedDefaultChar);
}

BOOL IsValidCodePage(UINT CodePage) noexcept {
  return os::IsValidCodePage(CodePage);
}

UINT GetACP() noexcept {
  return os::GetACP();
}
