// HostObject: an object of the host's scripting engine, handed to a flat
// export where the native layer takes an array. The library never looks
// inside it; it asks it once per call for its native array and works on that
// array in place. The host owns both the object and the array: the library
// never frees or keeps either beyond the call.
#pragma once

#include <cstdint>

class HostObject {
 public:
  // Returns the native object that answers `nQuery`, or null.
  virtual void* GetNativeObject(int nQuery, intptr_t nParam) = 0;

 protected:
  ~HostObject();  // NOLINT(performance-trivially-destructible): declared as callers expect
};

inline HostObject::~HostObject() = default;

// Parameter 0; result: the object's CZQVStringArray, or null.
inline constexpr int QUERY_STRING_ARRAY = 0x1001B;
// Parameter: the address of a caller-owned, zeroed record the size of a
// CArray<int, int>; result: the object's integer array in that form, or null.
inline constexpr int QUERY_INT_ARRAY = 0x10008;
