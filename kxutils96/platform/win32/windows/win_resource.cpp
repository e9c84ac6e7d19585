// Resources are the system's own, read only from modules that are loaded (the
// system would take any other handle for a module's image and read whatever
// lies there), and found in exactly the language asked (the system would
// fall back to languages of its own choice).
#include <kxutils96/platform/win32/win_resource.h>

#include <kxutils96/platform/win32/win_error.h>
#include <kxutils96/platform/win32/windows/kernel_system.h>

namespace os = kxu::platform::windows;

namespace {

bool RefuseUnlessLoaded(HMODULE hModule) noexcept {
  if (hModule != nullptr && os::IsLoadedModule(hModule)) return false;
  SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
  return true;
}

// The caller's callback and its value, handed through the bridge's visitor.
struct LanguageVisit {
  ENUMRESLANGPROCW lpEnumFunc;
  LONG_PTR lParam;
};

int VisitLanguage(void* hModule, const char16_t* pType, const char16_t* pName,
                  std::uint16_t wLanguage, std::intptr_t lParam) {
  const auto* pVisit = reinterpret_cast<const LanguageVisit*>(lParam);
  return pVisit->lpEnumFunc(static_cast<HMODULE>(hModule), pType, pName, wLanguage, pVisit->lParam);
}

// Notes whether the wanted language is among those enumerated.
struct LanguageSearch {
  WORD wWanted;
  bool bFound;
};

BOOL NoteLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD wLanguage, LONG_PTR lParam) {
  auto* pSearch = reinterpret_cast<LanguageSearch*>(lParam);
  pSearch->bFound = wLanguage == pSearch->wWanted;
  return pSearch->bFound ? FALSE : TRUE;
}

}  // namespace

bool kxu::platform::ModulesCarryStringTables() noexcept {
  return true;
}

HRSRC FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage) noexcept {
  LanguageSearch search{wLanguage, false};
  EnumResourceLanguagesW(hModule, lpType, lpName, NoteLanguage,
                         reinterpret_cast<LONG_PTR>(&search));
  if (!search.bFound) {
    SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
    return nullptr;
  }
  return static_cast<HRSRC>(os::FindResourceExW(hModule, lpType, lpName, wLanguage));
}

DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo) noexcept {
  return hResInfo == nullptr ? 0 : os::SizeofResource(hModule, hResInfo);
}

HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo) noexcept {
  return hResInfo == nullptr ? nullptr : os::LoadResource(hModule, hResInfo);
}

LPVOID LockResource(HGLOBAL hResData) noexcept {
  return hResData == nullptr ? nullptr : os::LockResource(hResData);
}

BOOL EnumResourceLanguagesW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName,
                            ENUMRESLANGPROCW lpEnumFunc, LONG_PTR lParam) noexcept {
  if (RefuseUnlessLoaded(hModule)) return FALSE;
  LanguageVisit visit{lpEnumFunc, lParam};
  return os::EnumResourceLanguagesW(hModule, lpType, lpName, VisitLanguage,
                                    reinterpret_cast<std::intptr_t>(&visit));
}
