// Quote bytes, keyword search and the clean-up of pasted text.
#pragma once

// 1 when the byte `ch` (taken modulo 256) is a quote: the double quote or the
// single quote, the two quote kinds of the host's script texts; else 0.
// `nReserved` is ignored; callers pass 0.
// Example: KESUTIL_is_quote_char('"', 0) == 1; KESUTIL_is_quote_char('`', 0) == 0.
int KESUTIL_is_quote_char(int ch, int nReserved);

namespace kxu::zutl96 {

// Options of utlFindTextEx.
enum FindTextOptions : int {
  kFindTextExactCase = 0,
  // ASCII letters match either case; other bytes (UTF-8 included) match exactly.
  kFindTextIgnoreCase = 0x1000,
};

}  // namespace kxu::zutl96

// The first occurrence of the keyword `pszKeyword` at or after `p`, read up
// to the NUL of each; `nOptions` kFindTextIgnoreCase folds ASCII case, other
// bits are ignored. Returns the occurrence's position in `p`'s buffer, or
// null when there is none, and for a null or empty keyword or a null `p`.
// Reads only.
// Example: utlFindTextEx("and", p = "x AND y", kFindTextIgnoreCase) == p + 2.
char* utlFindTextEx(const char* pszKeyword, char* p, int nOptions);

// Cleans up, in place, text that a user pasted from a word processor: the
// UTF-8 characters that have a plain ASCII twin in expressions become that
// twin. Left and right single quotes (U+2018, U+2019) give ', left and right
// double quotes (U+201C, U+201D) give ", the non-breaking space (U+00A0)
// gives a blank, and the en dash (U+2013) and the minus sign (U+2212) give
// -. Every change shortens the text, so it never needs more room than the
// buffer already has. Converts the first `nLength` bytes of the text at `p`
// (-1, or a length past the NUL: the whole text); the bytes after them move up
// to follow the converted part, and the text stays NUL-terminated. Returns
// the new length of the whole text in bytes; 0 for a null `p`.
// Example: "x \xE2\x80\x9C" "a\xE2\x80\x9D" (x “a”) gives "x \"a\"" and returns 5.
int utlConvertTextInPlace(char* p, int nLength);
