// The kernel's calls that the Windows forms of win_error, win_nls and
// win_module hand their work to, declared with plain C++ types so that their
// callers need not see <windows.h> (whose names clash with the library's own
// Windows-shaped declarations). Each does exactly what the system call of the
// same name does.
#pragma once

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

void* LoadLibraryW(const char16_t* pszName) noexcept;
// The address of `pszName` in `hModule` as a plain function pointer, or null.
using Procedure = std::intptr_t (*)();
Procedure GetProcAddress(void* hModule, const char* pszName) noexcept;
std::uint32_t GetModuleFileNameW(void* hModule, char16_t* pOut, std::uint32_t nSize) noexcept;

}  // namespace kxu::platform::windows
