// Joining the elements of a string array into one text, with a separator
// byte or a separator text between them.
#pragma once

#include <kxutils96/frame/host_object.h>
#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/strings/zqv_string_array.h>

extern "C" {

// Reads the elements of `pTokens` and writes them, in order, into
// `*pstrResult` (emptied first), with the byte `chSep` between every two;
// both objects are the caller's. Returns the element count (0 for an empty
// array, leaving an empty string); -1 when either pointer is null, changing
// nothing. A `chSep` of 0 is appended as a byte like any other.
// Example: "a", "b" joined with ';' gives "a;b" and returns 2.
KXU_API int kxutilsSetTokens(CStringUTF8* pstrResult, CZQVStringArray* pTokens, char chSep);

// As kxutilsSetTokens with the UTF-8 text `lpcszSep` (may be empty) between
// every two elements. Returns the element count; -1 when any pointer is
// null, changing nothing.
// Example: "a", "b", "c" joined with ", " gives "a, b, c" and returns 3.
KXU_API int kxutilsSetTokensByStr(CStringUTF8* pstrResult, CZQVStringArray* pTokens,
                                  const char* lpcszSep);

// The script's kxutilsSetTokensByStr: `pTokens` is a host object whose string
// array is joined. Returns -1 when any argument is null, before the host
// object is asked; else kxutilsSetTokensByStr's result.
// Example: an object holding "x", "y" joined with "--" gives "x--y" and returns 2.
KXU_API int kxu_set_tokens_by_str(CStringUTF8* pstrResult, HostObject* pTokens,
                                  const char* lpcszSep);

}  // extern "C"
