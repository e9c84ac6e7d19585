// Removing the comments of a piece of C source text.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>

extern "C" {

// Rewrites `*pstrText` (the caller's) as its text with leading and trailing
// white space trimmed and its comments removed: block comments `/* */` (an
// unterminated one runs to the end) and line comments `//` up to their line
// feed, which stays; a comment marker inside a "..." or '...' literal is
// text. The pieces between comments are joined as they are. With
// `bLeadingOnly` nonzero only the comments at the very start go, one after
// another while each begins where the last ended. Returns 1; -1 for a null
// pointer.
// Example: " a /* b */c // d" gives "a c " (the blank before the line comment stays); with
// bLeadingOnly, "/*x*/a/*y*/" gives "a/*y*/".
KXU_API int kxu_skip_C_comments(CStringUTF8* pstrText, int bLeadingOnly);

}  // extern "C"
