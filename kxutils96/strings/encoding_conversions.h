// The zq* conversions between UTF-8 (CStringUTF8, CZQVStringArray), UTF-16
// (the framework's CString and CStringArray) and code-page text (CStringA),
// exported with C++ linkage for the host's modules.
//
// Shared rules:
//   - Code page: a value of 0 or more is used as it is (0 is the system's
//     ANSI page, 65001 UTF-8); a negative one selects the host's code page
//     g_nCodePage, and when that is -1, the system's ANSI code page (GetACP).
//     The pages served are those of the system conversions (win_nls.h); any
//     other makes the conversion fail.
//   - Length `nLen`: the most source units to convert (bytes or UTF-16
//     units), or -1 for the whole text through its NUL. The text ends at
//     its first NUL within `nLen` units and nothing after that NUL is read,
//     so a length may reach past the text's end. Results count the units of
//     the converted text without a terminator.
//   - The caller owns every string and array; each function replaces its
//     destination and keeps nothing.
//   - A null or empty source gives an empty destination and 0; a conversion
//     that fails gives 0 and an empty destination.
//   - A text through its NUL longer than INT_MAX units, which no string
//     holds, raises CMemoryException, as the strings themselves do; a result
//     that long fails the conversion. Never is a part of either converted.
//   - Invalid input never fails: invalid UTF-8 and lone surrogates become
//     U+FFFD; a code page's undefined bytes read as the system reads them
//     (private-use characters for most single-byte pages, '?' or U+30FB for
//     an undefined pair of a double-byte page); a character a code page
//     lacks becomes its look-alike where the page has one (unless
//     WC_NO_BEST_FIT_CHARS is given), else '?'.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/framework/afx_coll.h>
#include <kxutils96/platform/framework/afx_string.h>
#include <kxutils96/platform/win32/win_nls_flags.h>
#include <kxutils96/platform/win32/win_types.h>
#include <kxutils96/strings/zqv_string_array.h>

// Reads `lpcszSrc` (`nLen` bytes, or -1 through its NUL; either way no
// further than its first NUL) in code page `nCodePage` and replaces `strDest`
// with its UTF-16 form, without a terminator; a length that covers the text
// but not its NUL keeps every character. Returns the length of `strDest`; 0
// with `strDest` emptied for a null or empty text, a length of 0 or a page
// that is not served.
// Example: zqMBCStoUTF16(str, "caf\xE9 au lait", 1252, 4) == 4, str == u"café";
// zqMBCStoUTF16(str, "abc", 1252, 10) == 3, str == u"abc".
KXU_API int zqMBCStoUTF16(CString& strDest, const char* lpcszSrc, int nCodePage, int nLen);

// zqMBCStoUTF16 with the code page 65001 (UTF-8).
// Example: zqUTF8toUTF16(str, "\xE4\xB8\xAD\xE6\x96\x87", -1) == 2, str == u"中文".
KXU_API int zqUTF8toUTF16(CString& strDest, const char* lpcszSrc, int nLen);

// Reads `lpcwszSrc` (`nLen` units, or -1 through its NUL) and replaces
// `strDest` with its bytes in code page `nCodePage`, under the system flags
// `dwFlags` (0 or WC_NO_BEST_FIT_CHARS for code pages; 0 for 65001). When
// `pbUsedDefault` is not null it receives TRUE if some character had neither
// code nor look-alike and became '?', else FALSE (with 65001 the system takes
// no report: pass null, or the result is 0). Returns the converted length in bytes; 0 with
// `strDest` emptied for a null or empty text or a failed conversion.
// Example: zqUTF16toMBCS(str, u"na\u00EFve \u4E2D", 1252, -1, &bUsed, 0) == 7,
// str == "na\xEFve ?", bUsed == TRUE.
KXU_API int zqUTF16toMBCS(CStringA& strDest, const WCHAR* lpcwszSrc, int nCodePage, int nLen,
                          int* pbUsedDefault, DWORD dwFlags);

// Reads `lpcwszSrc` (`nLen` units, or -1 through its NUL) and replaces
// `strDest` with its UTF-8 form (a lone surrogate becomes U+FFFD). Returns the
// length in bytes; 0 with `strDest` emptied for a null or empty text.
// Example: zqUTF16toUTF8(str, u"\U0001F600!", -1) == 5, str == "\xF0\x9F\x98\x80!".
KXU_API int zqUTF16toUTF8(CStringUTF8& strDest, const WCHAR* lpcwszSrc, int nLen);

// Reads the UTF-8 `lpcszSrc` (`nLen` bytes, or -1 through its NUL), converts
// it to UTF-16 and that, through its first NUL, to code page `nCodePage`
// (no flags, no report), replacing `strDest`. Returns the length in bytes of
// `strDest`; 0 with `strDest` emptied for a null or empty text or a failed
// conversion.
// Example: zqUTF8toMBCS(str, "\xC3\xA9t\xC3\xA9", 1252, -1) == 3, str == "\xE9t\xE9".
KXU_API int zqUTF8toMBCS(CStringA& strDest, const char* lpcszSrc, int nCodePage, int nLen);

// Converts code-page text to UTF-8 in `strDest`'s own buffer: first, when
// `lpcszSrc` is not null, `strDest` takes its bytes (up to the NUL); then the
// bytes of `strDest`, read in code page `nCodePage`, are replaced by their
// UTF-8 form through utlMBCStoUTF8InPlace, the buffer growing as needed.
// Returns the new length in bytes; 0 for an empty text, and 0 with `strDest`
// emptied for a page that is not served. If the buffer cannot grow,
// `strDest` keeps the text it had before the conversion and the result is 0.
// Example: zqMBCStoUTF8(str, "\x93quoted\x94", 1252) == 12,
// str == "\xE2\x80\x9Cquoted\xE2\x80\x9D".
KXU_API int zqMBCStoUTF8(CStringUTF8& strDest, const char* lpcszSrc, int nCodePage);

// Makes `saDest` hold as many elements as `saSrc` (SetSize) and sets element
// i to the UTF-8 form of `saSrc`'s element i (zqUTF16toUTF8 with -1).
// Returns the count. An element index that fails because `saSrc` changed
// size meanwhile raises CInvalidArgException.
// Example: saSrc {u"a", u"\u00E9"} gives saDest {"a", "\xC3\xA9"} and returns 2.
KXU_API int zqUTF16toUTF8(CZQVStringArray& saDest, const CStringArray& saSrc);

// Makes `saDest` hold as many elements as `saSrc` (SetSize(count, -1)) and
// sets element i to the UTF-16 form of `saSrc`'s element i (zqUTF8toUTF16
// with -1). Returns the count.
// Example: saSrc {"x", ""} gives saDest {u"x", u""} and returns 2.
KXU_API int zqUTF8toUTF16(CStringArray& saDest, const CZQVStringArray& saSrc);

// Converts each element of `saDest` in place from code page `nCodePage` to
// UTF-8 (zqMBCStoUTF8 with a null source). Returns the count.
// Example: {"\xE9t\xE9"} with 1252 becomes {"\xC3\xA9t\xC3\xA9"}; returns 1.
KXU_API int zqMBCStoUTF8(CZQVStringArray& saDest, int nCodePage);

// Replaces each UTF-8 element of `saDest` by its bytes in code page
// `nCodePage` (zqUTF8toMBCS with -1); the elements then hold code-page bytes.
// Returns the count.
// Example: {"\xC3\xA9t\xC3\xA9"} with 1252 becomes {"\xE9t\xE9"}; returns 1.
KXU_API int zqUTF8toMBCS(CZQVStringArray& saDest, int nCodePage);

// Reads a position in a list of UTF-8 strings (see utlNextStrPos: NUL-
// terminated strings ended by an empty one), returns the string there and
// moves `pos` to the next string, or to null after the last one. A null
// `pos` returns null and stays null.
// Example: with pos at "a\0bc\0\0", the calls return "a", then "bc", and pos is null.
KXU_API const char* zqUTF8GetStrAdvancePos(POSITION& pos);
