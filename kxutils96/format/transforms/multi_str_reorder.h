// Filling one script string array from another in a given order.
#pragma once

#include <kxutils96/frame/host_object.h>
#include <kxutils96/kxu_export.h>

namespace kxu::format {

// The reorder's results; a null pointer or a missing array is
// kxu::frame::kResultMissingArgument.
enum ReorderResult : int {
  kReorderDone = 1,
  kReorderOutOfRange = -2,  // an order entry lies outside the source
};

}  // namespace kxu::format

extern "C" {

// Sets string i of `pDest`'s array to a copy of string `pnOrder[i]` of
// `pSrc`'s array, for i = 0 to `nCount` - 1 in this order (so when the two
// are one array, a string replaced earlier is read with its new value). The
// host objects, their arrays and `pnOrder` (`nCount` zero-based indexes) are
// the caller's; the destination keeps its size and its strings from `nCount`
// on. Returns 1; -1 when `pDest`, `pnOrder` or `pSrc` is null or an object
// yields no array; -2 when an index is below 0 or not below `nSrcSize`, when
// `nSrcSize` is below 1, or when the arrays are too short for the call (an
// index past the source's strings, or `nCount` past the destination's):
// every check comes first, so -1 and -2 change nothing. `nCount` below 1
// changes nothing and returns 1 (or -2 when `nSrcSize` is below 1).
// Example: source a, b, c with order 2, 0, 1 gives c, a, b and returns 1.
KXU_API int kxu_multi_str_reorder(int nCount, HostObject* pDest, const int* pnOrder, int nSrcSize,
                                  HostObject* pSrc);

}  // extern "C"
