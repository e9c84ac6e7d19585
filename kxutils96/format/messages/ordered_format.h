// Formatting a message whose placeholders carry argument numbers, so that a
// translation can use the arguments in another order than the caller passes
// them.
#pragma once

#include <cstdarg>

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>

namespace kxu::format {

// One argument of a format sign, as its letter names it: `n` for d, `psz`
// for s, `d` for e, E, g and G.
union OrderedValue {
  int n;
  const char* psz;
  double d;
};

// Reads the argument of index `nIndex` for a sign with the letter `chLetter`.
// Called once per index, in index order, and only for a format that is
// valid.
using OrderedArgumentReader = OrderedValue (*)(void* pContext, int nIndex, char chLetter);

}  // namespace kxu::format

extern "C" {

// Formats `lpcszFormat` (UTF-8, not changed) with the values of `argList`
// into `strResult` (the caller's; its earlier text is replaced in every case).
//
// A format sign is {N}%L: an opening brace, an index text N, a closing brace,
// a percent sign and a letter L, with nothing between the brace, the percent
// sign and the letter. L is d (an int), s (a NUL-terminated UTF-8 text) or e,
// E, g, G (a double), formatted as printf's %d, %s, %e, %E, %g, %G; no flags,
// width or precision. N is a decimal integer (utlStrToInt). A format holds 2
// to 10 signs whose indexes are 0 to n-1, each once, in any order; %% prints
// one percent sign, and every other percent sign is an error. The caller
// passes the values in index order (index 0 first); each is read once, with
// the type its sign's letter names, and only after the whole format has been
// checked, so a rejected format reads no value at all.
//
// Returns 1 on success. On failure returns 0 and sets `strResult` to
// "ERROR: " and one of: "Format sign ({0}) not found" (no sign, or the first
// lone percent sign is not a sign; also for a null `lpcszFormat`), "Cannot
// found matching '{'", "Format sign invalid number", "Invalid format
// notation", "Too many or too few format sign", "Invalid format sign order".
// Example: "{1}%s has {0}%d rows" with 12 and "Table" gives "Table has 12 rows".
KXU_API int kxuStringOrderedFormat(CStringUTF8& strResult, const char* lpcszFormat,
                                   va_list argList);

}  // extern "C"

// kxuStringOrderedFormat with the arguments read through `pfnRead` instead of
// a va_list, for callers whose values and their types are known only at run
// time (a script bridge, a command line). `pfnRead` gets `pContext` back.
// Example: kxuStringOrderedFormatFrom(str, "{1}%s {0}%d", ReadFromTable, &table).
KXU_API int kxuStringOrderedFormatFrom(CStringUTF8& strResult, const char* lpcszFormat,
                                       kxu::format::OrderedArgumentReader pfnRead, void* pContext);
