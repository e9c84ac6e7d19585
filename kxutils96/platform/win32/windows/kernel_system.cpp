// The only translation unit of the kernel bridge that sees <windows.h>.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <kxutils96/platform/win32/windows/kernel_system.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is one UTF-16 unit");

namespace kxu::platform::windows {
namespace {

LPWSTR Wide(char16_t* p) noexcept {
  return reinterpret_cast<LPWSTR>(p);
}

LPCWSTR Wide(const char16_t* p) noexcept {
  return reinterpret_cast<LPCWSTR>(p);
}

}  // namespace

std::uint32_t GetLastError() noexcept {
  return ::GetLastError();
}

void SetLastError(std::uint32_t dwErrCode) noexcept {
  ::SetLastError(dwErrCode);
}

void* VirtualAlloc(void* pAddress, std::size_t nSize, std::uint32_t dwAllocationType,
                   std::uint32_t dwProtect) noexcept {
  return ::VirtualAlloc(pAddress, nSize, dwAllocationType, dwProtect);
}

int VirtualFree(void* pAddress, std::size_t nSize, std::uint32_t dwFreeType) noexcept {
  return ::VirtualFree(pAddress, nSize, dwFreeType);
}

int MultiByteToWideChar(unsigned nCodePage, std::uint32_t dwFlags, const char* pSource, int nSource,
                        char16_t* pOut, int nOut) noexcept {
  return ::MultiByteToWideChar(nCodePage, dwFlags, pSource, nSource, Wide(pOut), nOut);
}

int WideCharToMultiByte(unsigned nCodePage, std::uint32_t dwFlags, const char16_t* pSource,
                        int nSource, char* pOut, int nOut, const char* pDefaultChar,
                        int* pUsedDefaultChar) noexcept {
  static_assert(sizeof(BOOL) == sizeof(int));
  return ::WideCharToMultiByte(nCodePage, dwFlags, Wide(pSource), nSource, pOut, nOut, pDefaultChar,
                               reinterpret_cast<LPBOOL>(pUsedDefaultChar));
}

int IsValidCodePage(unsigned nCodePage) noexcept {
  return ::IsValidCodePage(nCodePage);
}

unsigned GetACP() noexcept {
  return ::GetACP();
}

int IsCharAlphaA(char ch) noexcept {
  return ::IsCharAlphaA(ch);
}

void* LoadLibraryW(const char16_t* pszName) noexcept {
  return ::LoadLibraryW(Wide(pszName));
}

Procedure GetProcAddress(void* hModule, const char* pszName) noexcept {
  return reinterpret_cast<Procedure>(::GetProcAddress(static_cast<HMODULE>(hModule), pszName));
}

std::uint32_t GetModuleFileNameW(void* hModule, char16_t* pOut, std::uint32_t nSize) noexcept {
  return ::GetModuleFileNameW(static_cast<HMODULE>(hModule), Wide(pOut), nSize);
}

bool IsLoadedModule(const void* pAddress) noexcept {
  HMODULE hFound = nullptr;
  return ::GetModuleHandleExW(
             GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
             static_cast<LPCWSTR>(pAddress), &hFound) != 0 &&
         hFound == pAddress;
}

void* FindResourceExW(void* hModule, const char16_t* pType, const char16_t* pName,
                      std::uint16_t wLanguage) noexcept {
  return ::FindResourceExW(static_cast<HMODULE>(hModule), Wide(pType), Wide(pName), wLanguage);
}

std::uint32_t SizeofResource(void* hModule, void* hResInfo) noexcept {
  return ::SizeofResource(static_cast<HMODULE>(hModule), static_cast<HRSRC>(hResInfo));
}

void* LoadResource(void* hModule, void* hResInfo) noexcept {
  return ::LoadResource(static_cast<HMODULE>(hModule), static_cast<HRSRC>(hResInfo));
}

void* LockResource(void* hResData) noexcept {
  return ::LockResource(hResData);
}

namespace {

// The caller's visitor and its value, handed through the system's callback.
struct LanguageVisit {
  LanguageVisitor pVisit;
  std::intptr_t lParam;
};

BOOL CALLBACK VisitLanguage(HMODULE hModule, LPCWSTR pType, LPCWSTR pName, WORD wLanguage,
                            LONG_PTR lParam) {
  const auto* pVisit = reinterpret_cast<const LanguageVisit*>(lParam);
  return pVisit->pVisit(hModule, reinterpret_cast<const char16_t*>(pType),
                        reinterpret_cast<const char16_t*>(pName), wLanguage, pVisit->lParam);
}

}  // namespace

int EnumResourceLanguagesW(void* hModule, const char16_t* pType, const char16_t* pName,
                           LanguageVisitor pVisit, std::intptr_t lParam) noexcept {
  LanguageVisit visit{pVisit, lParam};
  return ::EnumResourceLanguagesW(static_cast<HMODULE>(hModule), Wide(pType), Wide(pName),
                                  VisitLanguage, reinterpret_cast<LONG_PTR>(&visit));
}

}  // namespace kxu::platform::windows
