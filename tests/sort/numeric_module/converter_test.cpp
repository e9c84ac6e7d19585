// Numeric text mode with the host's numeric module beside the program, where
// the texts its converter rejects count as NANUM, and without one, where every
// text converts with utlStrToDouble. Built once for each case.
#include <gtest/gtest.h>

#include <kxutils96/sort/generic_callbacks.h>
#include <kxutils96/sort/sort_family.h>

namespace {

int CompareTexts(const char* a, const char* b, unsigned long flags) {
  CStringUTF8 first(a);
  CStringUTF8 second(b);
  return SortStringGenericCallBack(&first, &second, flags);
}

#ifdef KXU_TEST_CONVERTER_PRESENT
// Texts the module rejects are NANUM, placed by the missing-value mode.
TEST(ConverterPresent, RejectedTextsAreMissingValues) {
  for (unsigned long mode = 0; mode < 16; ++mode) {
    EXPECT_EQ(CompareTexts("abc", "1x", SORT_NUMERIC_TEXT | mode), 0) << mode;
    EXPECT_EQ(CompareTexts("abc", "1x", SORT_NUMERIC_TEXT | SORT_DESCENDING | mode), 0) << mode;
  }
  EXPECT_EQ(CompareTexts("abc", "5", SORT_NUMERIC_TEXT | SORT_MISSING_LOW), -1);
  EXPECT_EQ(CompareTexts("abc", "5", SORT_NUMERIC_TEXT | SORT_MISSING_HIGH), 1);
  // Mode 0: NANUM by value, just below zero.
  EXPECT_EQ(CompareTexts("abc", "-1", SORT_NUMERIC_TEXT), 1);
  EXPECT_EQ(CompareTexts("abc", "0", SORT_NUMERIC_TEXT), -1);
}
#else
TEST(ConverterAbsent, FallsBackToTheUtilityParser) {
  EXPECT_EQ(CompareTexts("10", "9", SORT_NUMERIC_TEXT), 1);
  // "abc" reads as 0, not as NANUM: it orders above a negative number even
  // when missing values go first.
  EXPECT_EQ(CompareTexts("abc", "-5", SORT_NUMERIC_TEXT | SORT_MISSING_LOW), 1);
  EXPECT_EQ(CompareTexts("abc", "0", SORT_NUMERIC_TEXT | SORT_MISSING_HIGH), 0);
}
#endif

}  // namespace
