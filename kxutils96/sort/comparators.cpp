// The comparators that are not one template: double with missing values,
// const char* texts, and CStringUTF8 in text and numeric text mode.
#include <kxutils96/sort/comparators.h>

#include <kxutils96/platform/crt/crt.h>
#include <kxutils96/sort/numeric_text.h>

namespace kxu::sort {

namespace {

// The double rule before the direction is applied.
int OrderDoubles(double first, double second, unsigned long flags) {
  const unsigned long mode = flags & SORT_MISSING_MASK;
  if (mode == SORT_MISSING_LOW || mode == SORT_MISSING_HIGH) {
    const bool firstMissing = first == NANUM;
    const bool secondMissing = second == NANUM;
    if (firstMissing || secondMissing) {
      if (firstMissing && secondMissing) return 0;
      const int missingFirst = mode == SORT_MISSING_LOW ? -1 : 1;
      return firstMissing ? missingFirst : -missingFirst;
    }
  }
  return OrderValues(first, second);
}

// Byte-wise order of two texts, bytes unsigned: -1, 0 or +1.
int OrderBytes(const char* first, const char* second) {
  for (;; ++first, ++second) {
    const auto a = static_cast<unsigned char>(*first);
    const auto b = static_cast<unsigned char>(*second);
    if (a != b) return a < b ? -1 : 1;
    if (a == 0) return 0;
  }
}

}  // namespace

int CompareDoubles(const void* pFirst, const void* pSecond, const void* pContext) {
  const unsigned long flags = FlagsAt(pContext);
  return Directed(OrderDoubles(*static_cast<const double*>(pFirst),
                               *static_cast<const double*>(pSecond), flags),
                  flags);
}

int CompareTexts(const void* pFirst, const void* pSecond, const void* pContext) {
  const unsigned long flags = FlagsAt(pContext);
  const char* first = *static_cast<const char* const*>(pFirst);
  const char* second = *static_cast<const char* const*>(pSecond);
  int result = 0;
  if (first == nullptr || second == nullptr) {
    result = first == second ? 0 : (first == nullptr ? -1 : 1);
  } else if ((flags & SORT_CASE_SENSITIVE) != 0) {
    result = OrderBytes(first, second);
  } else {
    result = kxu::platform::CompareNoCaseC(first, second);
  }
  return Directed(result, flags);
}

int CompareStrings(const void* pFirst, const void* pSecond, const void* pContext) {
  const unsigned long flags = FlagsAt(pContext);
  const auto& first = *static_cast<const CStringUTF8*>(pFirst);
  const auto& second = *static_cast<const CStringUTF8*>(pSecond);
  if ((flags & SORT_NUMERIC_TEXT) != 0) {
    const double a = NumericTextValue(first.GetString());
    const double b = NumericTextValue(second.GetString());
    return CompareDoubles(&a, &b, pContext);
  }
  const int result = (flags & SORT_CASE_SENSITIVE) != 0 ? first.Compare(second.GetString())
                                                        : first.CompareNoCase(second.GetString());
  return Directed(result, flags);
}

}  // namespace kxu::sort
