// The sort family: every overload funnels into SortBuffer, which hands the
// run, the element width, the comparator of the element type and the address
// of the flags to utlSortRange. The family's fast stable sorts run there, as
// the accelerators registered for its comparators.
#include <kxutils96/sort/sort_family.h>

#include <kxutils96/host/zutl96/sort_range.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/sort/comparators.h>
#include <kxutils96/sort/sort_accelerators.h>

using kxu::zutl96::SortCompanion;

namespace {

template <class T>
void SortBuffer(T* pBuffer, int nCount, unsigned long flags, CArray<int, int>* pIndex) {
  if (nCount <= 1 || pBuffer == nullptr) return;
  // An index array too short to carry along is a caller error: sorting
  // without it would silently break the caller's mapping, so nothing moves.
  if (pIndex != nullptr && pIndex->GetSize() < nCount) return;
  kxu::sort::RegisterSortAccelerators();
  SortCompanion companion{nullptr, 0};
  int nCompanions = 0;
  if (pIndex != nullptr) {
    companion = {pIndex->GetData(), static_cast<int>(sizeof(int))};
    nCompanions = 1;
  }
  utlSortRange(static_cast<void*>(pBuffer), 0, nCount - 1, static_cast<int>(sizeof(T)),
               kxu::sort::ComparatorFor<T>(), &companion, nCompanions, &flags);
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
