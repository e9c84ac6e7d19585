// Writing text into other notations: URL encoding, HTML entities, the body
// of a C string literal, and an identifier made from arbitrary text.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/platform/framework/afx_string.h>
#include <kxutils96/platform/win32/win_types.h>

extern "C" {

// Encodes (`bEncode` nonzero) or decodes (0) `*pstrURL` (the caller's) in
// place. Encoding keeps ASCII letters and digits, turns a blank into + and
// every other byte into % and two upper-case hex digits. Decoding turns +
// into a blank and % with the two bytes after it into one byte, (16 x value
// of the first) | value of the second, kept to 8 bits, where a digit counts
// its value and any other byte its lower-case code minus 87 (so malformed
// pairs decode too); a % at the end is dropped, and so is a % with one byte
// after it, which is kept as it is. The decoded text ends at the first NUL
// that decoding produced. A null pointer does nothing.
// Example: encoding "a b&c" gives "a+b%26c"; decoding "100%" gives "100", and
// "100%%" gives "100%".
KXU_API void kxu_url_encode(CStringUTF8* pstrURL, int bEncode);

// For each character of the set `lpcszChars` among & < > " (blank) and line
// feed, escapes (`bUnescape` 0) every occurrence of it in `*pstrText` (the
// caller's) to its entity &amp; &lt; &gt; &quot; &nbsp; <br>, ampersands
// first; or unescapes (`bUnescape` nonzero) the entities, <br /> as well as
// <br>, back to the characters, ampersands last, so "&amp;lt;" gives
// "&lt;". `lpcszChars` may point into the text. Returns 1 when something
// was replaced, else 0 (also for a null pointer).
// Example: "a<b" escaped with the set "<" gives "a&lt;b" and returns 1.
KXU_API int kxu_check_escape_html_charcters(CStringUTF8* pstrText, const char* lpcszChars,
                                            int bUnescape);

// kxu_check_escape_html_charcters for UTF-16 text: the same set, entities
// and order over `*pstrText` (the caller's) and the set `lpcszChars`.
// Example: u"x&y" escaped with the set u"&" gives u"x&amp;y" and returns 1.
KXU_API int kxutilsCheckEscapeHTMLCharcters(CStringW* pstrText, const WCHAR* lpcszChars,
                                            int bUnescape);

// Sets `*pstrResult` (the caller's) to the body of a double-quoted C literal
// that reads back as the bytes of `lpcszSource`: control bytes, the
// backslash and the double quote become escapes (`\n`, `\t`, `\\`, `\"`, `\033`, ...),
// every other byte, UTF-8 included, stays. No quotes are added. The source
// may be the result's own text. A null result pointer does nothing; a null
// source gives the empty text.
// Example: "say \"hi\"\n" gives the text say \"hi\"\n (backslashes kept).
KXU_API void kxu_make_C_string_from_ascii(const char* lpcszSource, CStringUTF8* pstrResult);

// Makes `*pstrText` (the caller's) a C identifier in place: every byte that
// is not an ASCII letter, digit or _ is deleted (an embedded NUL too); then,
// when `chPrefix` is _ or an ASCII letter and the text starts with a digit,
// `chPrefix` is put in front; with any other `chPrefix` the leading digits
// are deleted. The text may end up empty. A null pointer or an empty text
// does nothing.
// Example: "3d-plot" with '_' gives "_3dplot"; with 0 it gives "dplot".
KXU_API void kxuMakeValidCName(CStringUTF8* pstrText, char chPrefix);

}  // extern "C"
