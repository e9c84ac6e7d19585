// Resources over POSIX: shared objects carry none, so every search finds
// nothing.
#include <kxutils96/platform/win32/win_resource.h>

#include <kxutils96/platform/win32/win_error.h>

bool kxu::platform::ModulesCarryStringTables() noexcept {
  return false;
}

HRSRC FindResourceExW(HMODULE, LPCWSTR, LPCWSTR, WORD) noexcept {
  SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
  return nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC) noexcept {
  return 0;
}

HGLOBAL LoadResource(HMODULE, HRSRC) noexcept {
  return nullptr;
}

LPVOID LockResource(HGLOBAL hResData) noexcept {
  return hResData;
}

BOOL EnumResourceLanguagesW(HMODULE, LPCWSTR, LPCWSTR, ENUMRESLANGPROCW, LONG_PTR) noexcept {
  SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
  return FALSE;
}
