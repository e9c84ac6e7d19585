// Pieces of the Windows run-time library that the library calls, with the
// run-time's contract: case-insensitive comparison in the "C" locale, the
// floating-point class tests, and number parsing that ignores the process's
// locale.
#pragma once

#include <cstddef>

#if defined(_WIN32)
#include <float.h>   // _isnan, _finite
#include <string.h>  // _stricmp
#endif

namespace kxu::platform {

// Parses the number at the start of `psz` as strtod does in the "C" locale
// and stores the end of the parsed text in `*ppEnd` (when not null). Returns
// 0.0, with `*ppEnd` == `psz`, when no number starts there. `psz` must not
// be null.
// Example: StrToDoubleC("2,5", &end) == 2.0 with end pointing at ",".
double StrToDoubleC(const char* psz, char** ppEnd) noexcept;

// The first place where the `nSub` bytes at `pSub` occur in the `nText` bytes
// at `pText`, or null. An empty `pSub` occurs at `pText`.
// Example: FindBytes("abcabc", 6, "ca", 2) points at "cabc".
const char* FindBytes(const char* pText, std::size_t nText, const char* pSub,
                      std::size_t nSub) noexcept;

}  // namespace kxu::platform

// On Windows the next three are the run-time library's own.
#if !defined(_WIN32)

// Compares two NUL-terminated texts byte by byte after folding A-Z to a-z
// (the "C" locale), bytes taken unsigned; returns the difference of the
// first two folded bytes that differ (negative, 0 or positive, not clamped to
// -1/+1). Both pointers must be non-null.
// Example: _stricmp("abc", "ABD") == 'c' - 'd'; _stricmp("ABC", "abc") == 0.
int _stricmp(const char* psz1, const char* psz2) noexcept;

// Nonzero when `x` is a NaN, else 0.
// Example: _isnan(std::log(-1.0)) != 0; _isnan(1.0) == 0.
int _isnan(double x) noexcept;

// Nonzero when `x` is finite (neither infinite nor NaN), else 0.
// Example: _finite(1.0) != 0; _finite(HUGE_VAL) == 0.
int _finite(double x) noexcept;

#endif  // !defined(_WIN32)
