// The only translation unit of the shell bridge that sees <shobjidl.h>.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <shobjidl.h>
#include <windows.h>

#include <cstring>
#include <new>
#include <string>

#include <kxutils96/platform/com_shell/windows/shell_system.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is one UTF-16 unit");
static_assert(sizeof(PROPERTYKEY) == 20, "a property key is a GUID and a 32-bit id");

namespace kxu::platform::windows {
namespace {

IShellItem2* ItemOf(void* pItem) noexcept {
  return static_cast<IShellItem2*>(pItem);
}

PROPERTYKEY KeyOf(const void* pKey) noexcept {
  PROPERTYKEY key;
  std::memcpy(&key, pKey, sizeof key);
  return key;
}

HRESULT LastErrorResult() noexcept {
  return HRESULT_FROM_WIN32(::GetLastError());
}

// The absolute, normalised form of `pszPath` into `full`.
HRESULT FullPathOf(const char16_t* pszPath, std::wstring& full) {
  const auto* pszWide = reinterpret_cast<LPCWSTR>(pszPath);
  DWORD nUnits = ::GetFullPathNameW(pszWide, 0, nullptr, nullptr);
  while (nUnits != 0) {
    full.resize(nUnits);
    const DWORD nWritten = ::GetFullPathNameW(pszWide, nUnits, full.data(), nullptr);
    if (nWritten < nUnits) {
      full.resize(nWritten);
      return S_OK;
    }
    nUnits = nWritten;  // the current folder changed in between; ask again
  }
  return LastErrorResult();
}

}  // namespace

std::int32_t CreateShellItem(const char16_t* pszPath, void** ppItem) noexcept {
  *ppItem = nullptr;
  try {
    std::wstring full;
    const HRESULT hr = FullPathOf(pszPath, full);
    if (FAILED(hr)) return hr;
    return ::SHCreateItemFromParsingName(full.c_str(), nullptr, IID_IShellItem2, ppItem);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

void ReleaseShellItem(void* pItem) noexcept {
  ItemOf(pItem)->Release();
}

std::int32_t GetShellItemString(void* pItem, const void* pKey, char16_t** ppsz) noexcept {
  LPWSTR pszText = nullptr;
  const HRESULT hr = ItemOf(pItem)->GetString(KeyOf(pKey), &pszText);
  *ppsz = reinterpret_cast<char16_t*>(pszText);
  return hr;
}

std::int32_t GetShellItemUInt32(void* pItem, const void* pKey, std::uint32_t* pn) noexcept {
  ULONG n = 0;
  const HRESULT hr = ItemOf(pItem)->GetUInt32(KeyOf(pKey), &n);
  *pn = n;
  return hr;
}

std::int32_t GetShellItemBool(void* pItem, const void* pKey, int* pb) noexcept {
  BOOL b = FALSE;
  const HRESULT hr = ItemOf(pItem)->GetBool(KeyOf(pKey), &b);
  *pb = b;
  return hr;
}

std::int32_t GetShellItemFileTime(void* pItem, const void* pKey, std::uint32_t* pLow,
                                  std::uint32_t* pHigh) noexcept {
  FILETIME time{};
  const HRESULT hr = ItemOf(pItem)->GetFileTime(KeyOf(pKey), &time);
  *pLow = time.dwLowDateTime;
  *pHigh = time.dwHighDateTime;
  return hr;
}

}  // namespace kxu::platform::windows
