#include <kxutils96/data/remove_unchanged_items.h>

#include <optional>

#include <kxutils96/frame/flat_call.h>
#include <kxutils96/platform/checked_int.h>
#include <kxutils96/strings/zqv_string_array.h>

namespace {

// The first position of `id` in `ids`, or -1.
INT_PTR FindId(const CArray<int, int>& ids, int id) {
  const int* data = ids.GetData();
  for (INT_PTR p = 0; p < ids.GetSize(); ++p) {
    if (data[p] == id) return p;
  }
  return -1;
}

}  // namespace

int kxu_remove_unchanged_items_by_id(HostObject* pRefIds, HostObject* pRefNames, HostObject* pIds,
                                     HostObject* pNames, HostObject* pExtra) {
  using namespace kxu::frame;
  if (kxu::frame::AnyNull(pRefIds, pRefNames, pIds, pNames)) return kRemoveMissingObject;

  IntArrayRecord refIdsRecord;
  IntArrayRecord idsRecord;
  CZQVStringArray* pRefNameArray = nullptr;
  CZQVStringArray* pNameArray = nullptr;
  CZQVStringArray* pExtraArray = nullptr;
  CArray<int, int>* pRefIdArray = IntArrayOf(pRefIds, refIdsRecord);
  if (!StrictStringArray(pRefNames, pRefNameArray)) return kRemoveMissingObject;
  CArray<int, int>* pIdArray = IntArrayOf(pIds, idsRecord);
  if (!StrictStringArray(pNames, pNameArray)) return kRemoveMissingObject;
  if (pExtra != nullptr && !StrictStringArray(pExtra, pExtraArray)) return kRemoveMissingObject;

  if (pIdArray == nullptr || pIdArray->GetSize() == 0 || pNameArray->GetSize() == 0 ||
      pIdArray->GetSize() != pNameArray->GetSize() ||
      (pExtraArray != nullptr && pExtraArray->GetSize() != pNameArray->GetSize())) {
    return kRemoveBadCurrentSide;
  }
  if (pRefIdArray == nullptr || pRefIdArray->GetSize() == 0 || pRefNameArray->GetSize() == 0 ||
      pRefIdArray->GetSize() != pRefNameArray->GetSize()) {
    return kRemoveBadReferenceSide;
  }

  // The reference names are read as they were at the start, even when they
  // are the names or the extra strings that the loop shrinks; an array named
  // as both names and extra strings loses each item once. (Reference ids that
  // are the ids need no copy: an item's id is found at or before its own
  // position, which the loop has not reached.)
  std::optional<CZQVStringArray> refNamesCopy;
  if (pRefNameArray == pNameArray || pRefNameArray == pExtraArray)
    pRefNameArray = &refNamesCopy.emplace(*pRefNameArray);
  if (pExtraArray == pNameArray) pExtraArray = nullptr;

  int nRemoved = 0;
  for (int i = pNameArray->GetSize() - 1; i >= 0; --i) {
    const INT_PTR p = FindId(*pRefIdArray, pIdArray->GetData()[i]);
    if (p < 0) continue;
    if (pRefNameArray->GetAt(kxu::platform::CheckedInt(p))
            .CompareNoCase(pNameArray->GetAt(i).GetString()) != 0)
      continue;
    pNameArray->RemoveAt(i, 1);
    pIdArray->RemoveAt(i, 1);
    if (pExtraArray != nullptr) pExtraArray->RemoveAt(i, 1);
    ++nRemoved;
  }
  return nRemoved;
}
