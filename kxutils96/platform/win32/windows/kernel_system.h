// The kernel's calls that the Windows forms of win_error, win_nls, win_memory,
// win_module and win_resource hand their work to, declared with plain C++ types so that their
// callers need not see <windows.h> (whose names clash with the library's own
// Windows-shaped declarations). Each does exactly what the system call of the
// same name does.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kxu::platform::windows {

std::uint32_t GetLastError() noexcept;
void SetLastError(std::uint32_t dwErrCode) noexcept;

int MultiByteToWideChar(unsigned nCodePage, std::uint32_t dwFlags, const char* pSource, int nSource,
                        char16_t* pOut, int nOut) noexcept;
int WideCharToMultiByte(unsigned nCodePage, std::uint32_t dwFlags, const char16_t* pSource,
                        int nSource, char* pOut, int nOut, const char* pDefaultChar,
                        int* pUsedDefaultChar) noexcept;
int IsValidCodePage(unsigned nCodePage) noexcept;
unsigned GetACP() noexcept;
int IsCharAlphaA(char ch) noexcept;

void* VirtualAlloc(void* pAddress, std::size_t nSize, std::uint32_t dwAllocationType,
                   std::uint32_t dwProtect) noexcept;
int VirtualFree(void* pAddress, std::size_t nSize, std::uint32_t dwFreeType) noexcept;

void* LoadLibraryW(const char16_t* pszName) noexcept;
// The address of `pszName` in `hModule` as a plain function pointer, or null.
using Procedure = std::intptr_t (*)();
Procedure GetProcAddress(void* hModule, const char* pszName) noexcept;
std::uint32_t GetModuleFileNameW(void* hModule, char16_t* pOut, std::uint32_t nSize) noexcept;

// True when `pAddress` is the base address of a loaded module, that is, a
// module handle that LoadLibraryW gave. Safe for any pointer.
bool IsLoadedModule(const void* pAddress) noexcept;
void* FindResourceExW(void* hModule, const char16_t* pType, const char16_t* pName,
                      std::uint16_t wLanguage) noexcept;
std::uint32_t SizeofResource(void* hModule, void* hResInfo) noexcept;
void* LoadResource(void* hModule, void* hResInfo) noexcept;
void* LockResource(void* hResData) noexcept;
// Called for each language of a resource; returns nonzero to go on.
using LanguageVisitor = int (*)(void* hModule, const char16_t* pType, const char16_t* pName,
                                std::uint16_t wLanguage, std::intptr_t lParam);
int EnumResourceLanguagesW(void* hModule, const char16_t* pType, const char16_t* pName,
                           LanguageVisitor pVisit, std::intptr_t lParam) noexcept;

}  // namespace kxu::platform::windows
