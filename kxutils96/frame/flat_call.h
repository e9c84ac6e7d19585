// The path from a flat export to the native layer: each host object becomes
// its native array through one GetNativeObject call, in parameter order, and
// the export then applies one of three shapes to missing pointers:
//
//   pass-through  a null host object becomes a null array for the native
//                 function, which decides (`return kxutilsX(StringArrayOf(p))`);
//   guarded       any null pointer argument gives -1 before any host object is
//                 asked (`if (AnyNull(a, p, b)) return kResultMissingArgument;`);
//   strict        a null host object, or one that yields no array, gives -1
//                 (`if (!StrictStringArray(p, pArray)) return ...;`).
#pragma once

#include <cstdint>

#include <kxutils96/frame/host_object.h>
#include <kxutils96/platform/framework/afx_coll.h>
#include <kxutils96/strings/zqv_string_array.h>

namespace kxu::frame {

// The result of an export whose required argument is missing.
inline constexpr int kResultMissingArgument = -1;

// The native string array of `pObject`; null for a null object, which is not asked.
inline CZQVStringArray* StringArrayOf(HostObject* pObject) {
  if (pObject == nullptr) return nullptr;
  return static_cast<CZQVStringArray*>(pObject->GetNativeObject(QUERY_STRING_ARRAY, 0));
}

// Zero-filled storage the size of a CArray<int, int>, owned by the caller, in
// which the host may lay out a view of an object's integers.
struct IntArrayRecord {
  alignas(CArray<int, int>) unsigned char bytes[sizeof(CArray<int, int>)] = {};
};

// The integer array of `pObject` in CArray<int, int> form (read its data and
// count only); null for a null object, which is not asked.
inline CArray<int, int>* IntArrayOf(HostObject* pObject, IntArrayRecord& record) {
  if (pObject == nullptr) return nullptr;
  return static_cast<CArray<int, int>*>(
      pObject->GetNativeObject(QUERY_INT_ARRAY, reinterpret_cast<intptr_t>(record.bytes)));
}

// True when any of the pointers is null.
template <class... Pointers>
constexpr bool AnyNull(const Pointers*... pointers) {
  return ((pointers == nullptr) || ...);
}

// Strict shape for one host object: true with `pArray` set when the object is
// there and yields an array.
inline bool StrictStringArray(HostObject* pObject, CZQVStringArray*& pArray) {
  pArray = StringArrayOf(pObject);
  return pArray != nullptr;
}

}  // namespace kxu::frame
