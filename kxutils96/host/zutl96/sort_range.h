// Sorting a range of raw elements with companion arrays riding along.
#pragma once

namespace kxu::zutl96 {

// A sort comparator: reads the two elements at `pFirst` and `pSecond` and
// the caller's `pContext`, writes nothing, and returns a negative number when
// the first element orders before the second, 0 when they are equal, and a
// positive number when it orders after.
using SortCompareFunc = int (*)(const void* pFirst, const void* pSecond, const void* pContext);

// An array that utlSortRange rearranges in step with the sorted elements:
// entry i (of `nWidth` bytes) travels with element i.
struct SortCompanion {
  void* pData;
  int nWidth;
};

}  // namespace kxu::zutl96

// Sorts elements `nFirst` to `nLast` (both inclusive, counted from `pBase`,
// each `nWidth` bytes) in place into the ascending order of `pfnCompare`,
// which is called with two element addresses and `pContext`. Elements move
// as raw byte blocks, never constructed, copied or destroyed, so any type
// that stays valid when relocated by memcpy can be sorted. Each of the
// `nCompanions` descriptors at `pCompanions` names an array whose entries
// `nFirst` to `nLast` are permuted exactly as the elements are (the entry
// that stood beside element i ends beside it); a descriptor with null data or
// a width of 0 or less is skipped. Nothing else is read or written. The
// caller owns everything; at most one scratch element (and one entry per
// companion) is used, on the stack up to 256 bytes and allocated once above.
//
// The sort is not stable: equal elements may change their relative order.
// It is a pattern-defeating quicksort: O(n log n) comparisons at worst,
// linear on ascending, descending and all-equal input. A comparator that is
// not a strict weak order (one that calls NaN equal to everything) yields
// some permutation of the elements and never a read or write outside them.
// Bad input changes nothing: a null base or comparator, a width of 0 or
// less, a negative `nFirst`, or `nLast` <= `nFirst`.
// Example: int a[] = {3, 1, 2}; utlSortRange(a, 0, 2, sizeof(int), CompareInts,
// nullptr, 0, nullptr) leaves 1, 2, 3.
void utlSortRange(void* pBase, int nFirst, int nLast, int nWidth,
                  kxu::zutl96::SortCompareFunc pfnCompare,
                  const kxu::zutl96::SortCompanion* pCompanions, int nCompanions,
                  const void* pContext);
