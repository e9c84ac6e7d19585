// Sorting a range of raw elements with companion arrays riding along, and
// the algorithm behind it for callers that bring their own element access.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include <kxutils96/host/zutl96/detail/pattern_defeating_sort.h>

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

// The pattern-defeating quicksort of utlSortRange over positions [0, n) of
// `range`, which owns the elements and says how to compare and move them:
//   bool Less(i, j)       element i orders before element j;
//   void Save(i)          copies element i to a one-element scratch place;
//   bool SavedLess(j)     the saved element orders before element j;
//   void Restore(i)       copies the saved element to position i;
//   void Move(dst, src)   copies element src over element dst;
//   void Swap(i, j)       exchanges two elements (i may equal j).
// Its guarantees are those of detail/pattern_defeating_sort.h.
template <class Range>
void SortPositions(Range& range, std::ptrdiff_t n) {
  if (n > 1) detail::PatternDefeatingSort<Range>(range).Sort(n);
}

// Sorts the `n` objects at `pObjects` into the ascending order of `less`
// (a strict weak order on two `const T&`), inlined into the sort. T must be
// trivially copyable. Not stable: give `less` a tie-break to make it so.
// Example: SortObjects(a, 3, std::less<int>{}) sorts int a[3].
template <class T, class Before>
void SortObjects(T* pObjects, std::ptrdiff_t n, Before less) {
  static_assert(std::is_trivially_copyable_v<T>, "objects are moved as raw bytes");
  struct Objects {
    T* p;
    Before less;
    T saved;
    bool Less(std::ptrdiff_t i, std::ptrdiff_t j) const { return less(p[i], p[j]); }
    bool SavedLess(std::ptrdiff_t j) const { return less(saved, p[j]); }
    void Save(std::ptrdiff_t i) { saved = p[i]; }
    void Restore(std::ptrdiff_t i) { p[i] = saved; }
    void Move(std::ptrdiff_t dst, std::ptrdiff_t src) { p[dst] = p[src]; }
    void Swap(std::ptrdiff_t i, std::ptrdiff_t j) { std::swap(p[i], p[j]); }
  };
  Objects objects{pObjects, less, T{}};
  SortPositions(objects, n);
}

}  // namespace kxu::zutl96

// Sorts elements `nFirst` to `nLast` (both inclusive, counted from `pBase`,
// each `nWidth` bytes) in place into the ascending order of `pfnCompare`,
// which is called with two element addresses and `pContext`. Elements move
// as raw byte blocks, never constructed, copied or destroyed, so any type
// that stays valid when relocated by memcpy can be sorted. Each of the
// `nCompanions` descriptors at `pCompanions` names an array whose entries
// `nFirst` to `nLast` are permuted exactly as the elements are (the entry
// that stood beside element i ends beside it); a descriptor with null data or
// a width of 0 or less is skipped, and so is one whose entries share bytes
// with the elements (an array that is its own index array), whose bytes then
// move as the elements' do. Nothing else is read or written. The caller owns
// everything.
//
// The sort allocates nothing but, for elements larger than 256 bytes, one
// scratch element; it is the pattern-defeating quicksort of
// detail/pattern_defeating_sort.h, with the guarantees stated there (not
// stable, O(n log n) at worst, no access outside the elements whatever the
// comparator).
// Bad input changes nothing: a null base or comparator, a width of 0 or
// less, a negative `nFirst`, or `nLast` <= `nFirst`.
// Example: int a[] = {3, 1, 2}; utlSortRange(a, 0, 2, sizeof(int), CompareInts,
// nullptr, 0, nullptr) leaves 1, 2, 3.
void utlSortRange(void* pBase, int nFirst, int nLast, int nWidth,
                  kxu::zutl96::SortCompareFunc pfnCompare,
                  const kxu::zutl96::SortCompanion* pCompanions, int nCompanions,
                  const void* pContext);
