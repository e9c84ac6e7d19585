// One accelerator per element type: the arguments of utlSortRange checked
// against the shape the type's stable sort handles, then that sort.
#include <kxutils96/sort/sort_accelerators.h>

#include <climits>
#include <mutex>

#include <kxutils96/host/zutl96/sort_range.h>
#include <kxutils96/sort/comparators.h>
#include <kxutils96/sort/number_sort.h>
#include <kxutils96/sort/text_sort.h>

namespace kxu::sort {

namespace {

using zutl96::SortCompanion;

template <class T>
bool SortStably(T* elements, int n, unsigned long flags, int* index) {
  return SortNumbersStably(elements, n, flags, index);
}
bool SortStably(const char** elements, int n, unsigned long flags, int* index) {
  return SortTextsStably(elements, n, flags, index);
}
bool SortStably(CStringUTF8* elements, int n, unsigned long flags, int* index) {
  return SortStringsStably(elements, n, flags, index);
}

// The accelerator for the comparator of element type T.
template <class T>
bool Accelerate(void* pBase, int nFirst, int nLast, int nWidth, const SortCompanion* pCompanions,
                int nCompanions, const void* pContext) {
  if (nWidth != static_cast<int>(sizeof(T)) || pContext == nullptr || nCompanions > 1 ||
      nLast - nFirst == INT_MAX) {
    return false;
  }
  int* index = nullptr;
  if (nCompanions == 1) {
    if (pCompanions->nWidth != static_cast<int>(sizeof(int))) return false;
    index = static_cast<int*>(pCompanions->pData) + nFirst;
  }
  return SortStably(static_cast<T*>(pBase) + nFirst, nLast - nFirst + 1, FlagsAt(pContext), index);
}

template <class... T>
void RegisterFor() {
  (zutl96::RegisterSortAccelerator(ComparatorFor<T>(), &Accelerate<T>), ...);
}

}  // namespace

void RegisterSortAccelerators() {
  static std::once_flag s_registered;
  // A lambda, not the function template itself: its call_once instance stays
  // private to the library instead of joining the exported symbols.
  std::call_once(s_registered, [] {
    RegisterFor<char, unsigned char, short, int, unsigned int, long, unsigned long, float, double,
                const char*, CStringUTF8, long long, unsigned long long>();
  });
}

}  // namespace kxu::sort
