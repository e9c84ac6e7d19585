// The exported callbacks hand their flags' address to the family's comparators.
#include <kxutils96/sort/generic_callbacks.h>

#include <kxutils96/sort/comparators.h>

int SortDoubleGenericCallBack(double* pFirst, double* pSecond, unsigned long flags) {
  if (pFirst == nullptr || pSecond == nullptr) return 0;
  return kxu::sort::CompareDoubles(pFirst, pSecond, &flags);
}

int SortStringGenericCallBack(CStringUTF8* pFirst, CStringUTF8* pSecond, unsigned long flags) {
  if (pFirst == nullptr || pSecond == nullptr) return 0;
  return kxu::sort::CompareStrings(pFirst, pSecond, &flags);
}
