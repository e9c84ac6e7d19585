// The run-time library's conversions between multibyte text in the current
// locale and wide text, as the Windows run-time has them, where a wide
// character is one UTF-16 unit (WCHAR).
//
// The locale itself is the C library's: setlocale (<clocale>) chooses it for
// the whole process; setlocale(LC_ALL, "") picks the user's default from the
// environment (LC_ALL, LC_CTYPE, LANG) and setlocale(LC_ALL, "C") the classic
// one. The conversions below read the character type category (LC_CTYPE) of
// that locale at each call:
//   - in the classic locale ("C" or "POSIX") every byte is the unit of the
//     same value and back, as in the Windows run-time's "C" locale, so bytes
//     0x80 to 0xFF become U+0080 to U+00FF and a unit above U+00FF does not
//     convert;
//   - in any other locale the text is in that locale's multibyte encoding
//     (UTF-8 in a ".UTF-8" locale), and a character outside the Basic
//     Multilingual Plane is a surrogate pair, never split.
// Both are overloads of the C library's functions of the same names for
// WCHAR text; a null buffer is passed as a typed null, e.g.
// mbstowcs(static_cast<WCHAR*>(nullptr), psz, 0).
#pragma once

#include <cstddef>

#include <kxutils96/platform/win32/win_types.h>

// Converts the NUL-terminated multibyte `mbstr` to UTF-16 in `wcstr`, writing
// at most `count` units: the conversion stops at the source's NUL, which is
// written too when there is room for it, or when the next character would not
// fit whole. Returns the units written, the NUL not counted. A null `wcstr`
// writes nothing and returns the units the whole text needs (`count` is then
// not used). Returns (size_t)-1 when a byte sequence is not a character of the
// locale (what came before it is written) or `mbstr` is null.
// Example: in the "C" locale, mbstowcs(buf, "a\xE9", 3) == 2 with buf holding
// u"a\u00E9" and its NUL.
std::size_t mbstowcs(WCHAR* wcstr, const char* mbstr, std::size_t count) noexcept;

// Converts the NUL-terminated UTF-16 `wcstr` to multibyte text in `mbstr`,
// writing at most `count` bytes: the conversion stops at the source's NUL,
// which is written too when there is room for it, or when the next character
// would not fit whole. So a text that fills the buffer gets no terminator.
// Returns the bytes written, the NUL not counted. A null `mbstr` writes
// nothing and returns the bytes the whole text needs. Returns (size_t)-1 when
// a unit has no form in the locale, or is a lone surrogate (what came before
// it is written), or `wcstr` is null.
// Example: wcstombs(buf, u"Sunset", 4) == 4 with buf holding "Suns" and no NUL.
std::size_t wcstombs(char* mbstr, const WCHAR* wcstr, std::size_t count) noexcept;
