// Splitting a text at every occurrence of a separator text, byte for byte,
// with no regard to quotes or brackets.
#pragma once

#include <kxutils96/frame/host_object.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/strings/zqv_string_array.h>

extern "C" {

// Reads the UTF-8 `lpcszText` and cuts it at every occurrence of the
// separator text `lpcszSep`, matched left to right without overlap; the
// caller's `pResult` ends up holding exactly the pieces in order (they
// overwrite its strings in place, reusing their storage). Returns the
// number of pieces (one more than the separators found). A null or empty text
// empties `pResult` (when given) and returns 0. An empty or null separator,
// or a null `pResult` with a non-empty text, returns -1 and changes nothing.
// Time is linear in the text's length.
// Example: "a::b::" at "::" gives "a", "b", "" and returns 3.
KXU_API int kxutilsSeparateByStr(const char* lpcszText, CZQVStringArray* pResult,
                                 const char* lpcszSep);

// The script's kxutilsSeparateByStr: `pResult` is a host object whose string
// array receives the pieces. Returns -1 when any argument is null, before
// the host object is asked; else kxutilsSeparateByStr's result.
// Example: "1 | 2" at " | " fills the object with "1", "2" and returns 2.
KXU_API int kxu_separate_by_str(const char* lpcszText, HostObject* pResult, const char* lpcszSep);

}  // extern "C"
