// The library's own steps between UTF-8 (or code-page) text and UTF-16, for
// the families that meet the system or the framework's wide strings (file
// names, file contents, messages). Not exported.
//
// Every routine here converts through the system conversions in one pass
// into a buffer of the result's upper bound (see MultiByteToWideWhole), the
// destination's own when its room suffices; the result is the one that
// sizing first and converting second gives. To UTF-8, a destination with
// room first takes the text piece by piece, each piece's end found just
// before it converts, so that the text is read once; a result too long for
// that room is then converted whole.
// Code pages are chosen by utlChooseCodePage (a negative one selects the
// host's, else the system's ANSI page). Lengths count source units, -1 meaning
// "through the terminating NUL"; an explicit length ends at the first NUL
// within it, and no unit after that NUL is read. A converted terminator is
// never part of a result. A run given by an explicit length that does not
// reach a NUL is converted whole: no character is dropped for a terminator it
// never had. A text through its NUL longer than INT_MAX units, which no
// string holds, raises CMemoryException; a result that long fails.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/platform/framework/afx_string.h>
#include <kxutils96/platform/win32/win_types.h>

namespace kxu::strings {

// Reads `lpcszText` (`nLen` bytes, or -1 through its NUL) in the code page
// chosen for `nCodePage` and replaces the caller's `strResult` with its UTF-16
// form; invalid input becomes U+FFFD. Returns the result's length in UTF-16
// units; 0, with `strResult` emptied, for a null or empty text, a length of 0
// or a failed conversion (a code page that is not served).
// Example: ConvertToWide(str, "Gr\xC3\xBC\xC3\x9F" "e", CP_UTF8, -1) == 5, str == u"Grüße".
int ConvertToWide(CString& strResult, const char* lpcszText, int nCodePage, int nLen);

// Reads `lpcwszText` (`nLen` units, or -1 through its NUL) and replaces the
// caller's `strResult` with its form in the code page chosen for `nCodePage`
// (65001: UTF-8, lone surrogates becoming U+FFFD). Returns the result's
// length in bytes; 0, with `strResult` emptied, for a null or empty text, a
// length of 0 or a failed conversion.
// Example: ConvertWideToUTF8(str, u"\u00E9t\u00E9", CP_UTF8, -1) == 5, str == "\xC3\xA9t\xC3\xA9".
int ConvertWideToUTF8(CStringUTF8& strResult, const WCHAR* lpcwszText, int nCodePage, int nLen);

// The conversion to UTF-16 as zqMBCStoUTF16 does it, for a text that is not
// null or empty and a length that is not 0: returns the length given to
// `strDest`; a failed conversion empties it and returns 0.
// Example: ToWideString(str, "ab", 1252, 2) == 2.
int ToWideString(CString& strDest, const char* lpcszSrc, int nCodePage, int nLen);

// The conversion from UTF-16 as zqUTF16toMBCS does it: null or empty
// `lpcwszSrc` or a failed pass empties `strDest` and returns 0; otherwise
// the length given to `strDest`. `pbUsedDefault` (may be null) receives the
// system's used-default report; with UTF-8 the system
// refuses a report, so a non-null one makes the conversion fail.
// Example: FromWideString(str, u"a\u4E2D", 1252, -1, &b, 0) == 2, str == "a?", b == TRUE.
int FromWideString(CStringA& strDest, const WCHAR* lpcwszSrc, int nCodePage, int nLen,
                   int* pbUsedDefault, DWORD dwFlags);
int FromWideString(CStringUTF8& strDest, const WCHAR* lpcwszSrc, int nCodePage, int nLen,
                   int* pbUsedDefault, DWORD dwFlags);

}  // namespace kxu::strings
