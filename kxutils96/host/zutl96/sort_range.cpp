// utlSortRange: the pattern-defeating quicksort over raw elements of any
// width, through the caller's comparator.
//
// Elements are moved with fixed-size copies for widths 1, 2, 4, 8 and 16, and
// with memcpy for any other width. One element of scratch space lives on the
// stack (allocated once per call when the element is larger than 256 bytes).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

#include <kxutils96/host/zutl96/sort_range.h>

using namespace kxu::zutl96;

namespace {

using Index = std::ptrdiff_t;

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

std::uintptr_t Address(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p);
}

// The bytes of the elements being sorted, and which companions move with
// them: those with data and a width whose entries in the range lie outside
// the elements (entries inside them are element bytes and move as such).
class SortedBytes {
 public:
  SortedBytes(const unsigned char* elements, Index n, std::size_t width, Index first)
      : m_begin(elements),
        m_end(elements + n * static_cast<Index>(width)),
        m_n(n),
        m_first(first) {}

  bool TakesPart(const SortCompanion& c) const {
    if (c.pData == nullptr || c.nWidth <= 0) return false;
    const auto* begin = static_cast<const unsigned char*>(c.pData) + m_first * c.nWidth;
    return Address(begin + m_n * c.nWidth) <= Address(m_begin) || Address(m_end) <= Address(begin);
  }

 private:
  const unsigned char* m_begin;
  const unsigned char* m_end;
  Index m_n;
  Index m_first;
};

// Any number of companions of any widths; `scratch` holds one entry of each.
class AnyCompanions {
 public:
  AnyCompanions(const SortCompanion* companions, int count, const SortedBytes& sorted, Index first,
                unsigned char* scratch)
      : m_companions(companions),
        m_count(count),
        m_sorted(sorted),
        m_first(first),
        m_scratch(scratch) {}
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
      if (!m_sorted.TakesPart(c)) continue;
      const auto w = static_cast<std::size_t>(c.nWidth);
      action(static_cast<unsigned char*>(c.pData) + m_first * c.nWidth, w, slot);
      slot += w;
    }
  }

  const SortCompanion* m_companions;
  int m_count;
  SortedBytes m_sorted;
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

template <std::size_t kWidth, class Companions>
void SortWith(unsigned char* base, Index n, std::size_t width, SortCompareFunc compare,
              const void* context, unsigned char* scratch, Companions companions) {
  Elements<kWidth, Companions> elements(base, width, compare, context, scratch, companions);
  kxu::zutl96::SortPositions(elements, n);
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
  const SortedBytes sorted(base, n, width, nFirst);

  // The companions that take part, and the scratch bytes for one entry of each.
  int nActive = 0;
  std::size_t companionBytes = 0;
  const SortCompanion* pOnly = nullptr;
  for (int i = 0; pCompanions != nullptr && i < nCompanions; ++i) {
    if (!sorted.TakesPart(pCompanions[i])) continue;
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
                AnyCompanions(pCompanions, nCompanions, sorted, nFirst, scratch + companionOffset));
  }
}
