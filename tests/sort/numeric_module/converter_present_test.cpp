// Numeric text mode with the host's numeric module beside the program: the
// converter is found at the first numeric comparison, and the texts it
// rejects count as NANUM.
#include <gtest/gtest.h>

#include <kxutils96/sort/generic_callbacks.h>
#include <kxutils96/sort/sort_family.h>

#include "support/loaded_module.h"
#include "support/program_path.h"

namespace {

int CompareTexts(const char* a, const char* b, unsigned long flags) {
  CStringUTF8 first(a);
  CStringUTF8 second(b);
  return SortStringGenericCallBack(&first, &second, flags);
}

// True when the numeric module beside the program is loaded in the process.
bool ModuleLoaded() {
  return kxu::test::ModuleLoaded(kxu::test::ProgramPath().parent_path() /
                                 KXU_TEST_NUMERIC_MODULE_NAME);
}

// ctest runs each test in a process of its own, so this one starts with the
// converter not yet sought.
TEST(ConverterPresent, LoadedOnlyAtTheFirstNumericComparison) {
  EXPECT_FALSE(ModuleLoaded());
  EXPECT_EQ(CompareTexts("b", "a", 0), 1);  // text mode does not look for it
  EXPECT_FALSE(ModuleLoaded());
  EXPECT_EQ(CompareTexts("10", "9", SORT_NUMERIC_TEXT), 1);
  EXPECT_TRUE(ModuleLoaded());
}

TEST(ConverterPresent, RejectedTextsAreMissingValues) {
  for (unsigned long mode = 0; mode < 16; ++mode) {
    EXPECT_EQ(CompareTexts("abc", "1x", SORT_NUMERIC_TEXT | mode), 0) << mode;
    EXPECT_EQ(CompareTexts("abc", "1x", SORT_NUMERIC_TEXT | SORT_DESCENDING | mode), 0) << mode;
  }
  EXPECT_EQ(CompareTexts("abc", "5", SORT_NUMERIC_TEXT | SORT_MISSING_LOW), -1);
  EXPECT_EQ(CompareTexts("abc", "5", SORT_NUMERIC_TEXT | SORT_MISSING_HIGH), 1);
  EXPECT_EQ(CompareTexts("abc", "-1", SORT_NUMERIC_TEXT),
            1);  // mode 0: NANUM by value, just below zero
  EXPECT_EQ(CompareTexts("abc", "0", SORT_NUMERIC_TEXT), -1);
}

}  // namespace
