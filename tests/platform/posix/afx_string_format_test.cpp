// The C library's printf refuses a wide character that the locale cannot
// convert, and Format passes the refusal on.
#include <kxutils96/platform/framework/afx_string.h>

#include <gtest/gtest.h>

#include <clocale>

#include <kxutils96/platform/framework/afx_exception.h>

#include "support/caught_exception.h"

namespace {

TEST(CStringAFormatTest, UnconvertibleWideTextRaisesInvalidArgAndKeepsTheText) {
  ASSERT_NE(std::setlocale(LC_CTYPE, "C"), nullptr);
  CStringA s("kept");
  EXPECT_TRUE(kxu::test::Caught<CInvalidArgException>([&] { s.Format("%ls", L"\u00e9"); }));
  EXPECT_STREQ(s.GetString(), "kept");
}

}  // namespace
