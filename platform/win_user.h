// The one routine of the Windows user-interface library that the library
// calls: the letter test of single bytes.
#pragma once

#include <kxutils96/platform/win_types.h>

// TRUE when the byte `ch` is a letter: the ASCII letters A-Z and a-z. Bytes
// 0x80 and above are never letters here: the library's texts are UTF-8,
// where such a byte is only part of a character, never a letter by itself.
// Example: IsCharAlphaA('q') == TRUE; IsCharAlphaA('7') == FALSE.
BOOL IsCharAlphaA(char ch) noexcept;
