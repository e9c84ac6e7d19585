// Texts of the form key=value, key=value, ...: split into parallel lists of
// keys and values, and joined back from them.
#pragma once

#include <kxutils96/frame/host_object.h>
#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/strings/zqv_string_array.h>

extern "C" {

// Reads the UTF-8 `lpcszText`, splits it into pairs at `chSep` (0: white
// space) with the token splitter and double quotes (quoted stretches stay in
// one pair; with ',' a pair that starts with " loses its CSV quoting, with
// white space its enclosing quotes), then cuts each pair at its first '='.
// The caller's `psaKeys` and `psaValues` are emptied and receive, in order,
// each key and value without leading and trailing white space; a pair with no
// '=' gives an empty key and the whole pair as value. Returns the number of
// pairs (both lists end with that many elements), 0 for an empty text; -1
// when either list is null, changing nothing.
// Example: "a=1, b = 2" at ',' gives keys "a", "b", values "1", "2", returns 2.
KXU_API int kxutilsSeparateKeyValues(const char* lpcszText, CZQVStringArray* psaKeys,
                                     CZQVStringArray* psaValues, char chSep);

// The script's kxutilsSeparateKeyValues: each host object, when not null, is
// replaced by its string array (keys first), a null one by a null list; the
// result is kxutilsSeparateKeyValues' with `chSep` taken as a byte.
// Example: "x=1;y=2" at ';' returns 2, the objects holding "x", "y" and "1", "2".
KXU_API int kxu_separate_key_values(const char* lpcszText, HostObject* pKeys, HostObject* pValues,
                                    int chSep);

// Reads the caller's parallel lists `psaKeys` and `psaValues` and appends to
// `*pstrResult` (not emptied) key=value for every index, with the character
// `chSep` between items. Returns the number of pairs written; 0, appending
// nothing, when the lists differ in length or are empty; -1 when any pointer
// is null, changing nothing.
// Example: keys "a", "b", values "1", "2" and ',' append "a=1,b=2", return 2.
KXU_API int kxutilsMakeKeyValuesStr(CStringUTF8* pstrResult, CZQVStringArray* psaKeys,
                                    CZQVStringArray* psaValues, int chSep);

// The script's kxutilsMakeKeyValuesStr: each host object, when not null, is
// replaced by its string array (keys first), a null one by a null list; the
// result is kxutilsMakeKeyValuesStr's.
// Example: objects holding "k" and "v" with ';' append "k=v" and return 1.
KXU_API int kxu_make_key_values_str(CStringUTF8* pstrResult, HostObject* pKeys, HostObject* pValues,
                                    int chSep);

}  // extern "C"
