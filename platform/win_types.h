// The Windows base types that the library's signatures use, with the widths
// Windows gives them. WCHAR is one UTF-16 code unit on every platform.
#pragma once

#include <cstdint>

#if defined(_WIN32)
using WCHAR = wchar_t;
#else
using WCHAR = char16_t;
#endif

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
