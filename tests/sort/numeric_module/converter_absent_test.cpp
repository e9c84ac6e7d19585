// Numeric text mode with no numeric module to be found: every text converts
// with utlStrToDouble, so none becomes NANUM by rejection.
#include <gtest/gtest.h>

#include <kxutils96/sort/generic_callbacks.h>
#include <kxutils96/sort/sort_family.h>

namespace {

int CompareTexts(const char* a, const char* b, unsigned long flags) {
  CStringUTF8 first(a);
  CStringUTF8 second(b);
  return SortStringGenericCallBack(&first, &second, flags);
}

TEST(ConverterAbsent, FallsBackToTheUtilityParser) {
  EXPECT_EQ(CompareTexts("10", "9", SORT_NUMERIC_TEXT), 1);
  // "abc" reads as 0, not as NANUM: it orders above a negative number even
  // when missing values go first.
  EXPECT_EQ(CompareTexts("abc", "-5", SORT_NUMERIC_TEXT | SORT_MISSING_LOW), 1);
  EXPECT_EQ(CompareTexts("abc", "0", SORT_NUMERIC_TEXT | SORT_MISSING_HIGH), 0);
}

}  // namespace
