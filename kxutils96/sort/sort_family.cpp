// The sort family: every overload funnels into SortBuffer, which runs the
// element type's stable sort (a radix sort for numbers, one key per text) and
// falls back to utlSortRange's in-place sort only where that declines, for
// want of working memory.
#include <kxutils96/sort/sort_family.h>

#include <cstdint>

#include <kxutils96/host/zutl96/sort_range.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/sort/comparators.h>
#include <kxutils96/sort/number_sort.h>
#include <kxutils96/sort/text_sort.h>

using namespace kxu::zutl96;

namespace {

template <class T>
bool SortStably(T* values, int n, unsigned long flags, int* index) {
  return kxu::sort::SortNumbersStably(values, n, flags, index);
}
bool SortStably(const char** texts, int n, unsigned long flags, int* index) {
  return kxu::sort::SortTextsStably(texts, n, flags, index);
}
bool SortStably(CStringUTF8* strings, int n, unsigned long flags, int* index) {
  return kxu::sort::SortStringsStably(strings, n, flags, index);
}

// Whether the first `nCount` entries of `index` share bytes with the
// `nCount` elements at `pBuffer`. Such an index (an int array sorted as its
// own index array) holds element bytes, which move as the elements do, so it
// is not carried along as well, as utlSortRange treats such a companion.
template <class T>
bool SharesBytes(const T* pBuffer, int nCount, const int* index) {
  const auto address = [](const void* p) { return reinterpret_cast<std::uintptr_t>(p); };
  return address(index) < address(pBuffer + nCount) && address(pBuffer) < address(index + nCount);
}

template <class T>
void SortBuffer(T* pBuffer, int nCount, unsigned long flags, CArray<int, int>* pIndex) {
  if (nCount <= 1 || pBuffer == nullptr) return;
  // An index array too short to carry along is a caller error: sorting
  // without it would silently break the caller's mapping, so nothing moves.
  if (pIndex != nullptr && pIndex->GetSize() < nCount) return;
  int* index = pIndex != nullptr ? pIndex->GetData() : nullptr;
  if (index != nullptr && SharesBytes(pBuffer, nCount, index)) index = nullptr;
  if (SortStably(pBuffer, nCount, flags, index)) return;
  const SortCompanion companion{index, static_cast<int>(sizeof(int))};
  utlSortRange(static_cast<void*>(pBuffer), 0, nCount - 1, static_cast<int>(sizeof(T)),
               kxu::sort::ComparatorFor<T>(), &companion, index != nullptr ? 1 : 0, &flags);
}

template <class T>
void SortArray(CArray<T, T>& array, unsigned long flags, CArray<int, int>* pIndex) {
  kxutilsSortBuff(array.GetData(), kxu::platform::CheckedInt(array.GetSize()), flags, pIndex);
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
