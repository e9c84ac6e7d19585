#include <kxutils96/format/transforms/multi_str_reorder.h>

#include <algorithm>

#include <kxutils96/frame/flat_call.h>

using namespace kxu::frame;

namespace {

// True when every index addresses one of the first `nSrcSize` strings of a
// source holding `nSrcStrings`, and the destination holds `nDestStrings` >= `nCount`.
bool OrderFits(int nCount, const int* pnOrder, int nSrcSize, int nSrcStrings, int nDestStrings) {
  // Both extremes start from 0, so an empty order still needs a source of one string.
  int nLargest = 0;
  int nSmallest = 0;
  for (int i = 0; i < nCount; ++i) {
    nLargest = std::max(nLargest, pnOrder[i]);
    nSmallest = std::min(nSmallest, pnOrder[i]);
  }
  if (nSmallest < 0 || nLargest >= nSrcSize) return false;
  if (nCount < 1) return true;
  return nLargest < nSrcStrings && nCount <= nDestStrings;
}

}  // namespace

int kxu_multi_str_reorder(int nCount, HostObject* pDest, const int* pnOrder, int nSrcSize,
                          HostObject* pSrc) {
  if (pDest == nullptr || pnOrder == nullptr || pSrc == nullptr) return kResultMissingArgument;
  CZQVStringArray* pDestArray = nullptr;
  CZQVStringArray* pSrcArray = nullptr;
  // Both objects are asked, in parameter order, before either answer is judged.
  const bool bDestFound = StrictStringArray(pDest, pDestArray);
  const bool bSrcFound = StrictStringArray(pSrc, pSrcArray);
  if (!bDestFound || !bSrcFound) return kResultMissingArgument;
  if (!OrderFits(nCount, pnOrder, nSrcSize, pSrcArray->GetSize(), pDestArray->GetSize()))
    return kxu::format::kReorderOutOfRange;
  for (int i = 0; i < nCount; ++i) {
    const CStringUTF8 copy = pSrcArray->GetAt(pnOrder[i]);
    pDestArray->SetAt(i, copy);
  }
  return kxu::format::kReorderDone;
}
