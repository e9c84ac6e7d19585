// The sort family: every overload funnels into SortBuffer, which sorts
// stably through working memory (the numeric radix sort, the text sorts) and,
// when that memory cannot be had, hands the run, the element width, the
// comparator of the element type and the address of the flags to
// utlSortRange, which sorts in place.
#include <kxutils96/sort/sort_family.h>

#include <algorithm>
#include <cstdint>

#include <kxutils96/host/zutl96/sort_range.h>
#include <kxutils96/sort/comparators.h>
#include <kxutils96/sort/number_sort.h>
#include <kxutils96/sort/text_sort.h>

using kxu::zutl96::SortCompanion;

namespace {

// True when the first `nCount` entries of `index` share bytes with the
// `nCount` elements at `pBuffer`.
template <class T>
bool SharesBytes(const T* pBuffer, int nCount, const CArray<int, int>& index) {
  const auto nElements = reinterpret_cast<std::uintptr_t>(pBuffer);
  const auto nEntries = reinterpret_cast<std::uintptr_t>(index.GetData());
  const auto n = static_cast<std::uintptr_t>(nCount);
  return nEntries < nElements + n * sizeof(T) && nElements < nEntries + n * sizeof(int);
}

template <class T>
void SortBuffer(T* pBuffer, int nCount, unsigned long flags, CArray<int, int>* pIndex);

template <class T>
bool SortStably(T* pBuffer, int nCount, unsigned long flags, int* pIndex) {
  return kxu::sort::SortNumbersStably(pBuffer, nCount, flags, pIndex);
}
bool SortStably(const char** pBuffer, int nCount, unsigned long flags, int* pIndex) {
  return kxu::sort::SortTextsStably(pBuffer, nCount, flags, pIndex);
}
bool SortStably(CStringUTF8* pBuffer, int nCount, unsigned long flags, int* pIndex) {
  return kxu::sort::SortStringsStably(pBuffer, nCount, flags, pIndex);
}

// Sorts with a copy of the index entries carried along, written back at the
// end: an index array that is (part of) the buffer itself would otherwise
// have every move made twice, which undoes swaps and breaks the sort.
template <class T>
void SortCarryingCopy(T* pBuffer, int nCount, unsigned long flags, CArray<int, int>& index) {
  CArray<int, int> carried;
  carried.SetSize(nCount);
  std::copy_n(index.GetData(), nCount, carried.GetData());
  SortBuffer(pBuffer, nCount, flags, &carried);
  std::copy_n(carried.GetData(), nCount, index.GetData());
}

template <class T>
void SortBuffer(T* pBuffer, int nCount, unsigned long flags, CArray<int, int>* pIndex) {
  if (nCount <= 1 || pBuffer == nullptr) return;
  SortCompanion companion{nullptr, 0};
  int nCompanions = 0;
  if (pIndex != nullptr) {
    // An index array too short to carry along is a caller error: sorting
    // without it would silently break the caller's mapping, so nothing moves.
    if (pIndex->GetSize() < nCount) return;
    if (SharesBytes(pBuffer, nCount, *pIndex)) {
      SortCarryingCopy(pBuffer, nCount, flags, *pIndex);
      return;
    }
    companion = {pIndex->GetData(), static_cast<int>(sizeof(int))};
    nCompanions = 1;
  }
  if (SortStably(pBuffer, nCount, flags, static_cast<int*>(companion.pData))) return;
  utlSortRange(static_cast<void*>(pBuffer), 0, nCount - 1, static_cast<int>(sizeof(T)),
               kxu::sort::ComparatorFor<T>(), &companion, nCompanions, &flags);
}

template <class T>
void SortArray(CArray<T, T>& array, unsigned long flags, CArray<int, int>* pIndex) {
  kxutilsSortBuff(array.GetData(), static_cast<int>(array.GetSize()), flags, pIndex);
}

}  // namespace

// T names a type, which cannot stand in parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define KXU_SORT_OVERLOADS(T)                                                                   \
  void kxutilsSortBuff(T* pBuffer, int nCount, unsigned long flags, CArray<int, int>* pIndex) { \
    SortBuffer(pBuffer, nCount, flags, pIndex);                                                 \
  }                                                                                             \
  void kxutilsSort(CArray<T, T>& array, unsigned long flags, CArray<int, int>* pIndex) {        \
    SortArray(array, flags, pIndex);                                                            \
  }
// NOLINTEND(bugprone-macro-parentheses)

KXU_SORT_OVERLOADS(char)
KXU_SORT_OVERLOADS(unsigned char)
KXU_SORT_OVERLOADS(short)
KXU_SORT_OVERLOADS(int)
KXU_SORT_OVERLOADS(unsigned int)
KXU_SORT_OVERLOADS(long)
KXU_SORT_OVERLOADS(unsigned long)
KXU_SORT_OVERLOADS(float)
KXU_SORT_OVERLOADS(double)
KXU_SORT_OVERLOADS(const char*)
KXU_SORT_OVERLOADS(long long)
KXU_SORT_OVERLOADS(unsigned long long)

#undef KXU_SORT_OVERLOADS

void kxutilsSortBuff(CStringUTF8* pBuffer, int nCount, unsigned long flags,
                     CArray<int, int>* pIndex) {
  SortBuffer(pBuffer, nCount, flags, pIndex);
}

void kxutilsSort(CZQVStringArray& array, unsigned long flags, CArray<int, int>* pIndex) {
  kxutilsSortBuff(array.GetData(), array.GetSize(), flags, pIndex);
}
