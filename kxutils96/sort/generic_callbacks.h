// The sort family's double and CStringUTF8 comparators for host modules that
// sort with their own code: the same rules, with the flags word passed by
// value instead of through a context pointer.
#pragma once

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/kxu_export.h>
#include <kxutils96/sort/sort_family.h>

// Reads the two doubles and returns -1, 0 or +1 by the family's double rule
// under `flags`: NANUM placed by the missing-value mode (SORT_MISSING_LOW,
// SORT_MISSING_HIGH), a NaN equal to everything, negated with
// SORT_DESCENDING. Both pointers must be valid; a null one gives 0.
// Example: with a = NANUM, b = 5.0: flags 1 gives -1, flags 2 gives +1.
KXU_API int SortDoubleGenericCallBack(double* pFirst, double* pSecond, unsigned long flags);

// Reads the two strings and returns the family's CStringUTF8 order under
// `flags`: Compare (SORT_CASE_SENSITIVE) or CompareNoCase, whose sign-bearing
// result is returned as it is (negated with SORT_DESCENDING); with
// SORT_NUMERIC_TEXT the numbers the texts spell, compared as doubles (a text
// the numeric converter rejects counts as NANUM). The first numeric
// comparison of the process looks for the converter, once. A null pointer
// gives 0.
// Example: "abc" against "ABC": flags 0 gives 0; "10" against "9" with
// SORT_NUMERIC_TEXT gives +1.
KXU_API int SortStringGenericCallBack(CStringUTF8* pFirst, CStringUTF8* pSecond,
                                      unsigned long flags);
