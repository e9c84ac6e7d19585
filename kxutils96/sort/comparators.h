// The comparators of the sort family, one per rule. Each has the shape of
// SortCompareFunc (two element addresses, then the address of the flags
// word, of type unsigned long) and reads nothing else. Results are exactly
// -1, 0 or +1, except the case-insensitive const char* comparison and the
// CStringUTF8 text mode, which return the sign-bearing result of _stricmp,
// Compare or CompareNoCase (negated when descending).
#pragma once

#include <type_traits>

#include <kxutils96/host/zstrings96/zstrings96.h>
#include <kxutils96/host/zutl96/sort_range.h>
#include <kxutils96/sort/sort_family.h>

namespace kxu::sort {

inline unsigned long FlagsAt(const void* pContext) {
  return *static_cast<const unsigned long*>(pContext);
}

// `result`, negated when the flags ask for descending order.
inline int Directed(int result, unsigned long flags) {
  return (flags & SORT_DESCENDING) != 0 ? -result : result;
}

// -1 when the second value is greater than the first, else +1 when the first
// is greater, else 0: the integers' rule in their own signedness, and the
// float rule, under which a NaN equals everything.
template <class T>
int OrderValues(T first, T second) {
  if (second > first) return -1;
  if (first > second) return 1;
  return 0;
}

// Integers of every width and signedness, and float: no missing values.
template <class T>
int CompareNumbers(const void* pFirst, const void* pSecond, const void* pContext) {
  return Directed(OrderValues(*static_cast<const T*>(pFirst), *static_cast<const T*>(pSecond)),
                  FlagsAt(pContext));
}

// double, with NANUM placed by the missing-value mode.
int CompareDoubles(const void* pFirst, const void* pSecond, const void* pContext);

// const char* elements; null pointers order before every text.
int CompareTexts(const void* pFirst, const void* pSecond, const void* pContext);

// CStringUTF8 elements, in text or numeric text mode.
int CompareStrings(const void* pFirst, const void* pSecond, const void* pContext);

// The comparator for element type T.
template <class T>
constexpr zutl96::SortCompareFunc ComparatorFor() {
  if constexpr (std::is_same_v<T, double>) {
    return &CompareDoubles;
  } else if constexpr (std::is_same_v<T, const char*>) {
    return &CompareTexts;
  } else if constexpr (std::is_same_v<T, CStringUTF8>) {
    return &CompareStrings;
  } else {
    static_assert(std::is_arithmetic_v<T>, "no comparator for this element type");
    return &CompareNumbers<T>;
  }
}

}  // namespace kxu::sort
