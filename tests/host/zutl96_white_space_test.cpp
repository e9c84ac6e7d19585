#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kNull = -1;

int Offset(const char* p, const std::string& text) {
  return p == nullptr ? kNull : static_cast<int>(p - text.data());
}

struct SkipCase {
  const char* name;
  std::string text;
  int nSkipWhite;
  int nSkipAfterSep;
};

class SkipWhiteTest : public ::testing::TestWithParam<SkipCase> {};

TEST_P(SkipWhiteTest, SkipsLeadingWhiteSpaceOnly) {
  SkipCase c = GetParam();
  const std::string before = c.text;
  EXPECT_EQ(Offset(utlSkipWhite(c.text.data()), c.text), c.nSkipWhite);
  EXPECT_EQ(Offset(utlSkipWhiteAfterSep(c.text.data()), c.text), c.nSkipAfterSep);
  EXPECT_EQ(c.text, before);  // trailing white space is not cut
}

INSTANTIATE_TEST_SUITE_P(utlSkipWhite, SkipWhiteTest,
                         ::testing::Values(SkipCase{"None", "ab ", 0, 0},
                                           SkipCase{"EveryKind", " \t\r\n\v\fx", 6, 6},
                                           SkipCase{"OnlyWhite", " \t ", 3, kNull},
                                           SkipCase{"Empty", "", 0, kNull},
                                           SkipCase{"HighByteIsNotWhite", "\xA0x", 0, 0},
                                           SkipCase{"ControlByteIsNotWhite", "\x01x", 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(utlSkipWhite, NullGivesNull) {
  EXPECT_EQ(utlSkipWhite(nullptr), nullptr);
  EXPECT_EQ(utlSkipWhiteAfterSep(nullptr), nullptr);
}

}  // namespace
