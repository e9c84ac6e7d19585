// Converting a buffer of doubles between the host's missing-value marker
// NANUM (sort_family.h) and NaN, in place, so that data can pass to numeric
// code that expects NaN and come back.
#pragma once

#include <kxutils96/kxu_export.h>
#include <kxutils96/sort/sort_family.h>

extern "C" {

// Reads and rewrites the `nCount` doubles at `pBuffer` (the caller's): every
// value equal to NANUM becomes a quiet NaN (the natural logarithm of -1);
// everything else, NaN and infinities included, stays. Returns the number of
// values replaced; 0 for a count of 0 or a null buffer, which is not touched.
// Example: 1.0, NANUM, 0.0, NANUM returns 2 and leaves 1.0, NaN, 0.0, NaN.
KXU_API int kxu_NANUM_to_nan(double* pBuffer, unsigned int nCount);

// Reads and rewrites the `nCount` doubles at `pBuffer` (the caller's): every
// NaN and every infinity becomes NANUM; finite values, NANUM included, stay.
// Returns the number of values replaced; 0 for a count of 0 or a null
// buffer, which is not touched.
// Example: NaN, +inf, -inf, 5.0 returns 3 and leaves NANUM, NANUM, NANUM, 5.0.
KXU_API int kxu_nan_inf_to_NANUM(double* pBuffer, unsigned int nCount);

}  // extern "C"
