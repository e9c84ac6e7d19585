// Pieces of the Windows run-time library that the library calls, with the
// run-time's contract: case-insensitive comparison in the "C" locale and the
// floating-point class tests.
#pragma once

#if defined(_WIN32)
#include <float.h>  // _isnan, _finite
#endif

namespace kxu::platform {

// The run-time's _stricmp in the "C" locale, the same on every system and
// under every run-time library (one Windows run-time compares bytes above
// 0x7F as signed): compares two NUL-terminated texts byte by byte after
// folding A-Z to a-z, bytes taken unsigned, and returns the difference of
// the first two folded bytes that differ (negative, 0 or positive, not
// clamped to -1/+1). Both pointers must be non-null.
// Example: CompareNoCaseC("abc", "ABD") == 'c' - 'd'; CompareNoCaseC("ABC", "abc") == 0.
int CompareNoCaseC(const char* psz1, const char* psz2) noexcept;

}  // namespace kxu::platform

// On Windows the next two are the run-time library's own.
#if !defined(_WIN32)

// Nonzero when `x` is a NaN, else 0.
// Example: _isnan(std::log(-1.0)) != 0; _isnan(1.0) == 0.
int _isnan(double x) noexcept;

// Nonzero when `x` is finite (neither infinite nor NaN), else 0.
// Example: _finite(1.0) != 0; _finite(HUGE_VAL) == 0.
int _finite(double x) noexcept;

#endif  // !defined(_WIN32)
