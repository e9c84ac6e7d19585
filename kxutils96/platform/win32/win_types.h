// The Windows base types that the library's signatures use, with the widths
// Windows gives them. WCHAR is one UTF-16 code unit on every platform: it is
// char16_t everywhere, so that u"" literals and std::u16string serve it; on
// Windows the platform layer hands it to the system as the wchar_t it has
// the same representation as.
#pragma once

#include <cstdint>

using WCHAR = char16_t;

using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LPARAM = std::intptr_t;
using WPARAM = std::uintptr_t;
using HRESULT = std::int32_t;
using SCODE = HRESULT;

using LPSTR = char*;
using LPCSTR = const char*;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPTSTR = LPWSTR;
using LPCTSTR = LPCWSTR;

// 100-nanosecond intervals since 1601-01-01 UTC, split in two halves.
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// An opaque place in a list; only the list that handed it out can read it.
struct PositionTag;
using POSITION = PositionTag*;

static_assert(sizeof(WCHAR) == 2, "WCHAR must be one UTF-16 code unit");
static_assert(sizeof(DWORD) == 4 && sizeof(ULONG) == 4 && sizeof(HRESULT) == 4);

#if defined(_WIN32)
// Windows keeps long at 4 bytes on both word sizes, and the host is a 32-bit
// program: there a pointer, and so every one-pointer string, is 4 bytes.
static_assert(sizeof(long) == 4, "long is 4 bytes on Windows");
#if !defined(_WIN64)
static_assert(sizeof(void*) == 4 && sizeof(const char*) == 4, "32-bit Windows has 4-byte pointers");
#endif
#endif
