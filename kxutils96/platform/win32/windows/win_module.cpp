// LoadLibraryW, GetProcAddress and GetModuleFileNameW are the system's own,
// after the platform's built-in modules: those keep standing in for the
// system modules whose exports the library calls with its own types.
#include <kxutils96/platform/win32/win_module.h>

#include <kxutils96/platform/win32/win_builtin_modules.h>
#include <kxutils96/platform/win32/win_error.h>
#include <kxutils96/platform/win32/windows/kernel_system.h>

namespace os = kxu::platform::windows;

HMODULE LoadLibraryW(LPCWSTR lpLibFileName) noexcept {
  if (lpLibFileName == nullptr || *lpLibFileName == 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  if (HMODULE hBuiltin = kxu::platform::FindBuiltinModule(lpLibFileName)) return hBuiltin;
  return static_cast<HMODULE>(os::LoadLibraryW(lpLibFileName));
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) noexcept {
  if (kxu::platform::IsBuiltinModule(hModule)) {
    return kxu::platform::BuiltinProcAddress(hModule, lpProcName);
  }
  if (hModule == nullptr || lpProcName == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return os::GetProcAddress(hModule, lpProcName);
}

DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) noexcept {
  if (lpFilename == nullptr || nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (kxu::platform::IsBuiltinModule(hModule)) {
    lpFilename[0] = 0;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  // A path that does not fit comes back cut and NUL-terminated with
  // ERROR_INSUFFICIENT_BUFFER, on every system version.
  const DWORD nLength = os::GetModuleFileNameW(hModule, lpFilename, nSize);
  if (nLength == nSize) {
    lpFilename[nSize - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
  }
  return nLength;
}
