// utlSortRange: a pattern-defeating quicksort over raw elements of any width.
//
// The shape of the algorithm: ranges below 24 elements go to insertion sort;
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
// Elements are moved with fixed-size copies for widths 1, 2, 4, 8 and 16, and
// with memcpy for any other width. One element of scratch space lives on the
// stack (allocated once per call when the element is larger than 256 bytes).
#include <cstddef>
#include <cstring>
#include <memory>
#include <utility>

#include <kxutils96/host/zutl96/sort_range.h>

using kxu::zutl96::SortCompanion;
using kxu::zutl96::SortCompareFunc;

namespace {

using Index = std::ptrdiff_t;

// Below this many elements a range is finished by insertion sort.
constexpr Index kInsertionSortThreshold = 24;
// Above this many elements the pivot is a pseudo-median of nine.
constexpr Index kNintherThreshold = 128;
// Moves a bounded insertion sort may make before it gives up.
constexpr Index kPartialInsertionLimit = 8;
// Elements whose comparison results one block of the partition gathers.
constexpr Index kBlockSize = 64;
// Largest element (and companion set) kept in stack scratch space.
constexpr std::size_t kStackScratch = 256;

// Exchanges `n` bytes at `a` and `b` (distinct, not overlapping) through a
// small stack buffer.
inline void SwapBytes(unsigned char* a, unsigned char* b, std::size_t n) {
  unsigned char chunk[64];
  while (n > 0) {
    const std::size_t step = n < sizeof chunk ? n : sizeof chunk;
    std::memcpy(chunk, a, step);
    std::memcpy(a, b, step);
    std::memcpy(b, chunk, step);
    a += step;
    b += step;
    n -= step;
  }
}

// Element width known at compile time (kWidth > 0) or at run time (0).
template <std::size_t kWidth>
class Width {
 public:
  explicit Width(std::size_t /*width*/) {}
  static constexpr std::size_t Get() { return kWidth; }
  static void Copy(unsigned char* dst, const unsigned char* src) { std::memcpy(dst, src, kWidth); }
  static void Swap(unsigned char* a, unsigned char* b) {
    unsigned char tmp[kWidth];
    std::memcpy(tmp, a, kWidth);
    std::memcpy(a, b, kWidth);
    std::memcpy(b, tmp, kWidth);
  }
};

template <>
class Width<0> {
 public:
  explicit Width(std::size_t width) : m_width(width) {}
  std::size_t Get() const { return m_width; }
  void Copy(unsigned char* dst, const unsigned char* src) const { std::memcpy(dst, src, m_width); }
  void Swap(unsigned char* a, unsigned char* b) const { SwapBytes(a, b, m_width); }

 private:
  std::size_t m_width;
};

// Companion policies: what happens to the companion arrays when element
// positions move. Positions are relative to the sorted range's first element.
struct NoCompanions {
  void Move(Index /*dst*/, Index /*src*/) {}
  void Swap(Index /*a*/, Index /*b*/) {}
  void Save(Index /*src*/) {}
  void Restore(Index /*dst*/) {}
};

// One companion of 4-byte entries (the sort family's index array).
class OneCompanion4 {
 public:
  explicit OneCompanion4(unsigned char* data) : m_data(data) {}
  void Move(Index dst, Index src) { std::memcpy(m_data + dst * 4, m_data + src * 4, 4); }
  void Swap(Index a, Index b) { Width<4>::Swap(m_data + a * 4, m_data + b * 4); }
  void Save(Index src) { std::memcpy(m_saved, m_data + src * 4, 4); }
  void Restore(Index dst) { std::memcpy(m_data + dst * 4, m_saved, 4); }

 private:
  unsigned char* m_data;
  unsigned char m_saved[4];
};

// Any number of companions of any widths; `scratch` holds one entry of each.
class AnyCompanions {
 public:
  AnyCompanions(const SortCompanion* companions, int count, Index first, unsigned char* scratch)
      : m_companions(companions), m_count(count), m_first(first), m_scratch(scratch) {}
  void Move(Index dst, Index src) {
    ForEach([&](unsigned char* data, std::size_t w, unsigned char*) {
      std::memcpy(data + dst * w, data + src * w, w);
    });
  }
  void Swap(Index a, Index b) {
    ForEach([&](unsigned char* data, std::size_t w, unsigned char*) {
      SwapBytes(data + a * w, data + b * w, w);
    });
  }
  void Save(Index src) {
    ForEach([&](unsigned char* data, std::size_t w, unsigned char* slot) {
      std::memcpy(slot, data + src * w, w);
    });
  }
  void Restore(Index dst) {
    ForEach([&](unsigned char* data, std::size_t w, unsigned char* slot) {
      std::memcpy(data + dst * w, slot, w);
    });
  }

 private:
  template <class Action>
  void ForEach(Action action) {
    unsigned char* slot = m_scratch;
    for (int i = 0; i < m_count; ++i) {
      const SortCompanion& c = m_companions[i];
      if (c.pData == nullptr || c.nWidth <= 0) continue;
      const auto w = static_cast<std::size_t>(c.nWidth);
      action(static_cast<unsigned char*>(c.pData) + m_first * c.nWidth, w, slot);
      slot += w;
    }
  }

  const SortCompanion* m_companions;
  int m_count;
  Index m_first;
  unsigned char* m_scratch;
};

// The range being sorted: element access, comparison and moves that keep
// the companions in step. `scratch` holds one element.
template <std::size_t kWidth, class Companions>
class Elements {
 public:
  Elements(unsigned char* base, std::size_t width, SortCompareFunc compare, const void* context,
           unsigned char* scratch, Companions companions)
      : m_base(base),
        m_width(width),
        m_compare(compare),
        m_context(context),
        m_scratch(scratch),
        m_companions(companions) {}

  bool Less(Index a, Index b) const { return m_compare(At(a), At(b), m_context) < 0; }
  bool SavedLess(Index a) const { return m_compare(m_scratch, At(a), m_context) < 0; }

  void Move(Index dst, Index src) {
    m_width.Copy(At(dst), At(src));
    m_companions.Move(dst, src);
  }
  void Swap(Index a, Index b) {
    if (a == b) return;
    m_width.Swap(At(a), At(b));
    m_companions.Swap(a, b);
  }
  void Save(Index src) {
    m_width.Copy(m_scratch, At(src));
    m_companions.Save(src);
  }
  void Restore(Index dst) {
    m_width.Copy(At(dst), m_scratch);
    m_companions.Restore(dst);
  }

 private:
  unsigned char* At(Index i) const { return m_base + i * static_cast<Index>(m_width.Get()); }

  unsigned char* m_base;
  Width<kWidth> m_width;
  SortCompareFunc m_compare;
  const void* m_context;
  unsigned char* m_scratch;
  Companions m_companions;
};

// The sorting algorithm over positions [0, n) of an Elements range.
template <class E>
class PatternDefeatingSort {
 public:
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

template <std::size_t kWidth, class Companions>
void SortWith(unsigned char* base, Index n, std::size_t width, SortCompareFunc compare,
              const void* context, unsigned char* scratch, Companions companions) {
  Elements<kWidth, Companions> elements(base, width, compare, context, scratch, companions);
  PatternDefeatingSort<Elements<kWidth, Companions>>(elements).Sort(n);
}

template <class Companions>
void SortByWidth(unsigned char* base, Index n, std::size_t width, SortCompareFunc compare,
                 const void* context, unsigned char* scratch, Companions companions) {
  switch (width) {
    case 1:
      return SortWith<1>(base, n, width, compare, context, scratch, companions);
    case 2:
      return SortWith<2>(base, n, width, compare, context, scratch, companions);
    case 4:
      return SortWith<4>(base, n, width, compare, context, scratch, companions);
    case 8:
      return SortWith<8>(base, n, width, compare, context, scratch, companions);
    case 16:
      return SortWith<16>(base, n, width, compare, context, scratch, companions);
    default:
      return SortWith<0>(base, n, width, compare, context, scratch, companions);
  }
}

}  // namespace

void utlSortRange(void* pBase, int nFirst, int nLast, int nWidth, SortCompareFunc pfnCompare,
                  const SortCompanion* pCompanions, int nCompanions, const void* pContext) {
  if (pBase == nullptr || pfnCompare == nullptr || nWidth <= 0 || nFirst < 0 || nLast <= nFirst)
    return;
  const auto width = static_cast<std::size_t>(nWidth);
  const Index n = static_cast<Index>(nLast) - nFirst + 1;
  unsigned char* base = static_cast<unsigned char*>(pBase) + static_cast<Index>(nFirst) * nWidth;

  // The companions that take part, and the scratch bytes for one entry of each.
  int nActive = 0;
  std::size_t companionBytes = 0;
  const SortCompanion* pOnly = nullptr;
  for (int i = 0; pCompanions != nullptr && i < nCompanions; ++i) {
    if (pCompanions[i].pData == nullptr || pCompanions[i].nWidth <= 0) continue;
    ++nActive;
    companionBytes += static_cast<std::size_t>(pCompanions[i].nWidth);
    pOnly = &pCompanions[i];
  }

  // Scratch: one element, then (16-byte aligned) one entry of each companion.
  const std::size_t companionOffset = (width + 15) / 16 * 16;
  const std::size_t scratchBytes = companionOffset + companionBytes;
  alignas(16) unsigned char stackScratch[kStackScratch];
  std::unique_ptr<unsigned char[]> heapScratch;
  unsigned char* scratch = stackScratch;
  if (scratchBytes > kStackScratch) {
    heapScratch.reset(new unsigned char[scratchBytes]);
    scratch = heapScratch.get();
  }

  if (nActive == 0) {
    SortByWidth(base, n, width, pfnCompare, pContext, scratch, NoCompanions{});
  } else if (nActive == 1 && pOnly->nWidth == 4) {
    auto* data = static_cast<unsigned char*>(pOnly->pData) + static_cast<Index>(nFirst) * 4;
    SortByWidth(base, n, width, pfnCompare, pContext, scratch, OneCompanion4(data));
  } else {
    SortByWidth(base, n, width, pfnCompare, pContext, scratch,
                AnyCompanions(pCompanions, nCompanions, nFirst, scratch + companionOffset));
  }
}
