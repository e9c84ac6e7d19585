// The code pages and flags of the system's text conversions by name, for
// callers of the conversions that take them (the zq* conversions among
// them), without the conversions themselves.
#pragma once

#include <kxutils96/platform/win32/win_types.h>

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_OEMCP = 1;
inline constexpr UINT CP_MACCP = 2;
inline constexpr UINT CP_THREAD_ACP = 3;
inline constexpr UINT CP_UTF7 = 65000;
inline constexpr UINT CP_UTF8 = 65001;

// MultiByteToWideChar: fail on invalid input (ERROR_NO_UNICODE_TRANSLATION)
// instead of replacing it.
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;
// WideCharToMultiByte, UTF-8 only: fail on a lone surrogate instead of
// writing U+FFFD.
inline constexpr DWORD WC_ERR_INVALID_CHARS = 0x00000080;
// WideCharToMultiByte, code pages only: no look-alike replacements.
inline constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;
