// Sorting a range of raw elements with companion arrays riding along, the
// table of fast paths (accelerators) it runs for registered comparators, and
// the algorithm behind it for callers that bring their own element access.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

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

// A fast path for the sorts through one comparator, run by utlSortRange in
// its place: the same arguments but the comparator (the elements' range, the
// width, the companions, the comparator's context), and the same result: the
// elements in the comparator's ascending order, moved as raw blocks, each
// companion permuted alike, nothing else written. utlSortRange calls it only
// with valid arguments (non-null base, positive width, nFirst >= 0, at least
// two elements) and hands it the companions that take part: none as (null,
// 0), a single one as its descriptor and 1, more as the caller gave them. It
// may take working memory, which it frees before it returns. Returns false,
// having changed nothing, to decline (a shape it does not handle, working
// memory that cannot be had); utlSortRange then sorts by itself.
using SortAccelerator = bool (*)(void* pBase, int nFirst, int nLast, int nWidth,
                                 const SortCompanion* pCompanions, int nCompanions,
                                 const void* pContext);

// How many comparators can have an accelerator.
inline constexpr int kMaxSortAccelerators = 32;

// Makes utlSortRange hand every sort through `comparator` to `accelerator`
// first; registering a comparator again replaces its accelerator, and a null
// accelerator withdraws it. Returns false, registering nothing, for a null
// comparator or when kMaxSortAccelerators comparators are registered. The
// table lives as long as the process; registering and sorting may run on
// any threads at once (a sort uses the accelerator registered when it
// starts).
// Example: RegisterSortAccelerator(CompareInts, RadixSortInts) returns true.
bool RegisterSortAccelerator(SortCompareFunc comparator, SortAccelerator accelerator);

// The accelerator registered for `comparator`, or null.
SortAccelerator SortAcceleratorFor(SortCompareFunc comparator);

// The algorithm of SortPositions.
//
// Ranges below 24 elements go to insertion sort;
// larger ones pick a pivot by median of three (pseudo-median of nine above 128
// elements), partition with block partitioning (comparison results are
// gathered into offset buffers, so the comparisons' outcomes cost no branch
// mispredictions), and recurse into the smaller part while looping on the
// larger one, so the stack depth stays logarithmic. A partition that needed
// no swap tries a bounded insertion sort on both parts, which finishes sorted
// and nearly sorted input in linear time; unbalanced partitions shuffle a few
// elements to break patterns and, after log2(n) of them, the range falls back
// to heap sort, so the worst case stays O(n log n). A range whose pivot equals
// the element before it is split into "equal to the pivot" and "greater", so
// runs of equal keys are finished in one pass. Before all this, one scan
// recognises an already ascending range (returned at once) and a descending
// one (reversed in place).
//
// Every scan is bounded by the range it works on, not by sentinels that a
// consistent comparator would guarantee: a comparator that calls NaN equal to
// everything (and so is not a strict weak order) gives some permutation of the
// elements, never a read or write outside them.
//
namespace detail {

// Below this many elements a range is finished by insertion sort.
constexpr std::ptrdiff_t kInsertionSortThreshold = 24;
// Above this many elements the pivot is a pseudo-median of nine.
constexpr std::ptrdiff_t kNintherThreshold = 128;
// Moves a bounded insertion sort may make before it gives up.
constexpr std::ptrdiff_t kPartialInsertionLimit = 8;
// Elements whose comparison results one block of the partition gathers.
constexpr std::ptrdiff_t kBlockSize = 64;

// The sorting algorithm over positions [0, n) of a range (see SortPositions).
template <class E>
class PatternDefeatingSort {
 public:
  using Index = std::ptrdiff_t;

  explicit PatternDefeatingSort(E& e) : m_e(e) {}

  void Sort(Index n) {
    if (FinishMonotonicRun(n)) return;
    int badAllowed = 0;
    for (Index size = n; size > 1; size >>= 1) ++badAllowed;
    Loop(0, n, badAllowed, true);
  }

 private:
  // True when [0, n) is already ascending (left as it is) or descending
  // (reversed). Random input gives up after a couple of comparisons.
  bool FinishMonotonicRun(Index n) {
    Index i = 1;
    if (!m_e.Less(1, 0)) {
      while (i < n && !m_e.Less(i, i - 1)) ++i;
      return i == n;
    }
    while (i < n && !m_e.Less(i - 1, i)) ++i;
    if (i != n) return false;
    for (Index a = 0, b = n - 1; a < b; ++a, --b) m_e.Swap(a, b);
    return true;
  }

  // Insertion sort of [begin, end); the walk left stops at `begin`.
  void InsertionSort(Index begin, Index end) {
    for (Index cur = begin + 1; cur < end; ++cur) {
      if (m_e.Less(cur, cur - 1)) SiftLeft(begin, cur);
    }
  }

  // Insertion sort that gives up (false) after kPartialInsertionLimit moves.
  bool PartialInsertionSort(Index begin, Index end) {
    Index moves = 0;
    for (Index cur = begin + 1; cur < end; ++cur) {
      if (m_e.Less(cur, cur - 1)) {
        moves += cur - SiftLeft(begin, cur);
        if (moves > kPartialInsertionLimit) return false;
      }
    }
    return true;
  }

  // Moves the element at `cur` (known to order before cur - 1) left to its
  // place in the sorted run [begin, cur); returns that place.
  Index SiftLeft(Index begin, Index cur) {
    m_e.Save(cur);
    Index hole = cur;
    do {
      m_e.Move(hole, hole - 1);
      --hole;
    } while (hole > begin && m_e.SavedLess(hole - 1));
    m_e.Restore(hole);
    return hole;
  }

  void Sort2(Index a, Index b) {
    if (m_e.Less(b, a)) m_e.Swap(a, b);
  }
  void Sort3(Index a, Index b, Index c) {
    Sort2(a, b);
    Sort2(b, c);
    Sort2(a, b);
  }

  // Partitions [begin, end) around the pivot at `begin`: afterwards the
  // elements before the returned position order before the pivot, the pivot
  // stands at it, and the ones after do not order before it. The flag tells
  // whether the range was already partitioned (no element had to move).
  std::pair<Index, bool> PartitionRight(Index begin, Index end) {
    Index first = begin + 1;
    while (first < end && m_e.Less(first, begin)) ++first;
    Index last = end;
    while (first < last && !m_e.Less(--last, begin)) {
    }
    const bool alreadyPartitioned = first >= last;
    if (!alreadyPartitioned) {
      m_e.Swap(first, last);
      ++first;
      first = BlockPartition(begin, first, last);
    }
    const Index pivot = first - 1;
    m_e.Swap(begin, pivot);
    return {pivot, alreadyPartitioned};
  }

  // The block partition of [first, last) against the pivot at `pivotAt`;
  // returns the first position that does not order before the pivot.
  Index BlockPartition(Index pivotAt, Index first, Index last) {
    unsigned char offsetsLeft[kBlockSize];
    unsigned char offsetsRight[kBlockSize];
    Index baseLeft = first;
    Index baseRight = last;
    Index numLeft = 0;
    Index numRight = 0;
    Index startLeft = 0;
    Index startRight = 0;
    while (first < last) {
      const Index unknown = last - first;
      const Index leftSplit = numLeft == 0 ? (numRight == 0 ? unknown / 2 : unknown) : 0;
      const Index rightSplit = numRight == 0 ? unknown - leftSplit : 0;
      const Index leftCount = leftSplit < kBlockSize ? leftSplit : kBlockSize;
      const Index rightCount = rightSplit < kBlockSize ? rightSplit : kBlockSize;
      for (Index i = 0; i < leftCount; ++i) {
        offsetsLeft[numLeft] = static_cast<unsigned char>(i);
        numLeft += !m_e.Less(first, pivotAt);
        ++first;
      }
      for (Index i = 0; i < rightCount; ++i) {
        offsetsRight[numRight] = static_cast<unsigned char>(i + 1);
        numRight += m_e.Less(--last, pivotAt);
      }
      const Index num = numLeft < numRight ? numLeft : numRight;
      SwapOffsets(baseLeft, baseRight, offsetsLeft + startLeft, offsetsRight + startRight, num,
                  numLeft == numRight);
      numLeft -= num;
      numRight -= num;
      startLeft += num;
      startRight += num;
      if (numLeft == 0) {
        startLeft = 0;
        baseLeft = first;
      }
      if (numRight == 0) {
        startRight = 0;
        baseRight = last;
      }
    }
    // The elements still recorded on one side go to the boundary.
    if (numLeft > 0) {
      while (numLeft-- > 0) m_e.Swap(baseLeft + offsetsLeft[startLeft + numLeft], --last);
      first = last;
    }
    if (numRight > 0) {
      while (numRight-- > 0) m_e.Swap(baseRight - offsetsRight[startRight + numRight], first++);
    }
    return first;
  }

  // Exchanges the misplaced elements recorded in two offset blocks: by plain
  // swaps when both sides have the same number (which keeps descending input
  // linear), else by one cycle through the scratch element.
  void SwapOffsets(Index baseLeft, Index baseRight, const unsigned char* left,
                   const unsigned char* right, Index num, bool useSwaps) {
    if (useSwaps) {
      for (Index i = 0; i < num; ++i) m_e.Swap(baseLeft + left[i], baseRight - right[i]);
      return;
    }
    if (num == 0) return;
    Index l = baseLeft + left[0];
    Index r = baseRight - right[0];
    m_e.Save(l);
    m_e.Move(l, r);
    for (Index i = 1; i < num; ++i) {
      l = baseLeft + left[i];
      m_e.Move(r, l);
      r = baseRight - right[i];
      m_e.Move(l, r);
    }
    m_e.Restore(r);
  }

  // Partitions [begin, end) around the pivot at `begin` into the elements the
  // pivot does not order before (left, pivot included) and the rest; returns
  // the pivot's final position. Used when the pivot equals the element before
  // the range, so everything equal to it is finished at once.
  Index PartitionLeft(Index begin, Index end) {
    Index last = end - 1;
    while (last > begin && m_e.Less(begin, last)) --last;
    Index first = begin + 1;
    while (first < last && !m_e.Less(begin, first)) ++first;
    while (first < last) {
      m_e.Swap(first, last);
      do --last;
      while (last > begin && m_e.Less(begin, last));
      do ++first;
      while (first < last && !m_e.Less(begin, first));
    }
    m_e.Swap(begin, last);
    return last;
  }

  void HeapSort(Index begin, Index end) {
    const Index n = end - begin;
    for (Index i = n / 2; i-- > 0;) SiftDown(begin, i, n);
    for (Index size = n - 1; size > 0; --size) {
      m_e.Swap(begin, begin + size);
      SiftDown(begin, 0, size);
    }
  }

  void SiftDown(Index begin, Index root, Index size) {
    for (;;) {
      Index child = 2 * root + 1;
      if (child >= size) return;
      if (child + 1 < size && m_e.Less(begin + child, begin + child + 1)) ++child;
      if (!m_e.Less(begin + root, begin + child)) return;
      m_e.Swap(begin + root, begin + child);
      root = child;
    }
  }

  // Moves a few elements of an unbalanced part to break the pattern that
  // made it unbalanced.
  void Shuffle(Index begin, Index end) {
    const Index size = end - begin;
    if (size < kInsertionSortThreshold) return;
    const Index q = size / 4;
    m_e.Swap(begin, begin + q);
    m_e.Swap(end - 1, end - q);
    if (size > kNintherThreshold) {
      m_e.Swap(begin + 1, begin + q + 1);
      m_e.Swap(begin + 2, begin + q + 2);
      m_e.Swap(end - 2, end - q - 1);
      m_e.Swap(end - 3, end - q - 2);
    }
  }

  void Loop(Index begin, Index end, int badAllowed, bool leftmost) {
    for (;;) {
      const Index size = end - begin;
      if (size < kInsertionSortThreshold) {
        InsertionSort(begin, end);
        return;
      }
      const Index half = size / 2;
      if (size > kNintherThreshold) {
        Sort3(begin, begin + half, end - 1);
        Sort3(begin + 1, begin + half - 1, end - 2);
        Sort3(begin + 2, begin + half + 1, end - 3);
        Sort3(begin + half - 1, begin + half, begin + half + 1);
        m_e.Swap(begin, begin + half);
      } else {
        Sort3(begin + half, begin, end - 1);
      }
      if (!leftmost && !m_e.Less(begin - 1, begin)) {
        begin = PartitionLeft(begin, end) + 1;
        continue;
      }
      const auto [pivot, alreadyPartitioned] = PartitionRight(begin, end);
      const Index leftSize = pivot - begin;
      const Index rightSize = end - (pivot + 1);
      if (leftSize < size / 8 || rightSize < size / 8) {
        if (--badAllowed == 0) {
          HeapSort(begin, end);
          return;
        }
        Shuffle(begin, pivot);
        Shuffle(pivot + 1, end);
      } else if (alreadyPartitioned && PartialInsertionSort(begin, pivot) &&
                 PartialInsertionSort(pivot + 1, end)) {
        return;
      }
      // Recurse into the smaller part, loop on the larger one.
      if (leftSize < rightSize) {
        Loop(begin, pivot, badAllowed, leftmost);
        begin = pivot + 1;
        leftmost = false;
      } else {
        Loop(pivot + 1, end, badAllowed, false);
        end = pivot;
      }
    }
  }

  E& m_e;
};

}  // namespace detail

// The pattern-defeating quicksort of utlSortRange over positions [0, n) of
// `range`, which owns the elements and says how to compare and move them:
//   bool Less(i, j)       element i orders before element j;
//   void Save(i)          copies element i to a one-element scratch place;
//   bool SavedLess(j)     the saved element orders before element j;
//   void Restore(i)       copies the saved element to position i;
//   void Move(dst, src)   copies element src over element dst;
//   void Swap(i, j)       exchanges two elements (i may equal j).
// Not stable. O(n log n) comparisons at worst, linear on ascending,
// descending and all-equal input; a Less that is not a strict weak order
// yields some permutation, never an access outside [0, n).
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
// When an accelerator is registered for `pfnCompare` (RegisterSortAccelerator)
// the sort is offered to it first; it may take working memory, and its order
// of equal elements is its own (the sort family's accelerators keep them in
// their original order). When there is none or it declines, utlSortRange
// sorts by itself, allocating nothing but, for elements larger than 256
// bytes, one scratch element: a pattern-defeating quicksort, which is not
// stable (equal elements may change their relative order), takes O(n log n)
// comparisons at worst and is linear on ascending, descending and all-equal
// input. A comparator that is not a strict weak order (one that calls NaN
// equal to everything) yields some permutation of the elements and never a
// read or write outside them.
// Bad input changes nothing: a null base or comparator, a width of 0 or
// less, a negative `nFirst`, or `nLast` <= `nFirst`.
// Example: int a[] = {3, 1, 2}; utlSortRange(a, 0, 2, sizeof(int), CompareInts,
// nullptr, 0, nullptr) leaves 1, 2, 3.
void utlSortRange(void* pBase, int nFirst, int nLast, int nWidth,
                  kxu::zutl96::SortCompareFunc pfnCompare,
                  const kxu::zutl96::SortCompanion* pCompanions, int nCompanions,
                  const void* pContext);
