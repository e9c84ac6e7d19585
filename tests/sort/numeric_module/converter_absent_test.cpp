// Numeric text mode with no numeric module to be found: every text converts
// with utlStrToDouble, so none becomes NANUM by rejection, and the one
// failed attempt is never repeated.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <kxutils96/sort/generic_callbacks.h>
#include <kxutils96/sort/sort_family.h>

#include "support/program_path.h"

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

// A module that appears after the first attempt is not looked for again.
TEST(ConverterAbsent, TheAttemptIsMadeOnce) {
  EXPECT_EQ(CompareTexts("1", "2", SORT_NUMERIC_TEXT), -1);
  const std::filesystem::path beside =
      kxu::test::ProgramPath().parent_path() / KXU_TEST_NUMERIC_MODULE_NAME;
  std::filesystem::copy_file(KXU_TEST_NUMERIC_MODULE, beside,
                             std::filesystem::copy_options::overwrite_existing);
  const int afterCopy = CompareTexts("abc", "-5", SORT_NUMERIC_TEXT | SORT_MISSING_LOW);
  std::filesystem::remove(beside);
  EXPECT_EQ(afterCopy, 1);  // still the fallback: with the module it would be -1
}

}  // namespace
