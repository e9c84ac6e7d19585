// Replacing whole keywords in a text, and turning a logical expression as a
// user types it into the operator forms of the host's scripting language.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>

extern "C" {

// Replaces, in `*pstrText` (the caller's), every occurrence of the keyword
// `lpcszKeyword` that stands as a word of its own by `lpcszReplacement` (may
// be empty). A neighbour that is an ASCII letter, a digit or one of
// * \ ~ ^ : @ $ % _ joins the keyword to it; so does a direct enclosure in
// parentheses, "(" before and ")" after. Bytes 0x80 and above are boundaries.
// A nonzero `bOption` makes ASCII letter case not matter. Text inserted is
// never searched again. The text is read up to its first NUL; the keyword
// and the replacement may point into it. The time taken is linear in the
// lengths of the text and the keyword together. Returns the number of
// replacements; 0 for an empty text, whatever the keyword and replacement;
// -1, changing nothing, when any pointer is null, the keyword empty, or the
// room the longest possible result needs, (length / keyword length + 1) x
// replacement length, passes the largest string (2^31 - 1 bytes).
// Example: "a and b" with "and" -> "&&" gives "a && b" and returns 1.
KXU_API int kxu_keyword_replace(CStringUTF8* pstrText, const char* lpcszKeyword,
                                const char* lpcszReplacement, bool bOption);

// Sets `*pstrExpression` (the caller's) to `lpcszExpression` corrected into
// the operators of the host's scripting language: outside quotes a single &,
// | or = becomes &&, || or == (the = of !=, <= and >= stays); every line feed,
// in quotes too, becomes a blank; then the whole words and, or and not (in
// any ASCII case) become &&, || and !. A nonzero `bConvert` first cleans up
// pasted typographic characters (utlConvertTextInPlace). Returns 1; 0 when
// `pstrExpression` is null or the expression is empty (or null).
// Example: "x=1 & y=2 | not z" gives "x==1 && y==2 || ! z" and returns 1.
KXU_API int kxu_get_correct_KS_expression(const char* lpcszExpression, CStringUTF8* pstrExpression,
                                          bool bConvert);

}  // extern "C"
