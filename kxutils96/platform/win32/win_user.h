// The one routine of the Windows user-interface library that the library
// calls: the letter test of single bytes.
#pragma once

#include <kxutils96/platform/win32/win_types.h>

// TRUE when the byte `ch` is a letter: among the ASCII bytes, A-Z and a-z.
// Bytes 0x80 and above are never letters on POSIX; on Windows the system
// answers for them from the ANSI code page. The library asks only about
// ASCII bytes: its texts are UTF-8, where a byte of 0x80 or above is only
// part of a character, never a letter by itself.
// Example: IsCharAlphaA('q') == TRUE; IsCharAlphaA('7') == FALSE.
BOOL IsCharAlphaA(char ch) noexcept;
