// Wrapping lines in place and padding to an exact width.
#include <kxutils96/format/transforms/wrap_pad.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct WrapCase {
  const char* name;
  const char* text;
  int nWidth;
  int nIndent;
  const char* expected;
  int nResult;
};

class WrapTextTest : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WrapTextTest, BreaksAtBreakCharacters) {
  const WrapCase& c = GetParam();
  CStringUTF8 text(c.text);
  EXPECT_EQ(kxu_wrap_text(&text, c.nWidth, c.nIndent), c.nResult);
  EXPECT_STREQ(text.GetString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    kxu_wrap_text, WrapTextTest,
    ::testing::Values(WrapCase{"TwoWords", "hello world", 6, 0, "hello \nworld", 2},
                      WrapCase{"Indent", "hello world", 5, 2, "hello \n  world", 2},
                      WrapCase{"ThreeLines", "a b c d e f", 3, 1, "a b \n c d \n e f", 3},
                      WrapCase{"Paragraphs", "ab\ncd", 5, 3, "ab\n   cd", 2},
                      WrapCase{"TrailingLineFeed", "ab\n", 5, 0, "ab\n", 1},
                      WrapCase{"CannotBreak", "abcdefgh", 4, 0, "abcdefgh", -1},
                      WrapCase{"ExactWidthFits", "abcde", 5, 2, "abcde", 1},
                      WrapCase{"BreakCharAtWidth", "abcde ", 5, 2, "abcde \n", 1},
                      WrapCase{"IndentedEmptyLine", "abcde \nxyz", 5, 2, "abcde \n  \n  xyz", 3},
                      WrapCase{"Empty", "", 4, 0, "", 0},
                      WrapCase{"ZeroWidth", "any", 0, 0, "any", -1},
                      WrapCase{"WidthLargerThanText", "a b", 100, 4, "a b", 1},
                      WrapCase{"OtherBreakChars", "one,two;three", 5, 0, "one,\ntwo;\nthree", 3},
                      WrapCase{"LaterLineCannotBreak", "ab cdefgh", 3, 0, "ab cdefgh", -1},
                      WrapCase{"HugeIndentUnused", "one line", 10, INT_MAX, "one line", 1},
                      WrapCase{"HugeIndentTooLong", "ab cd", 3, INT_MAX, "ab cd", -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxu_wrap_text, NullText) {
  EXPECT_EQ(kxu_wrap_text(nullptr, 5, 0), -1);
}

struct PadCase {
  const char* name;
  const char* text;
  int nWidth;
  int nAlign;
  char chPad;
  const char* expected;
};

class PadTest : public ::testing::TestWithParam<PadCase> {};

TEST_P(PadTest, GivesExactWidth) {
  const PadCase& c = GetParam();
  const CStringUTF8 result = kxu_str_pad_char(c.text, c.nWidth, c.nAlign, c.chPad);
  EXPECT_STREQ(result.GetString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(kxu_str_pad_char, PadTest,
                         ::testing::Values(PadCase{"Left", "ab", 6, 0, '.', "ab...."},
                                           PadCase{"Center", "ab", 6, 1, '.', "..ab.."},
                                           PadCase{"Right", "ab", 6, 2, '.', "....ab"},
                                           PadCase{"CenterOddGoesRight", "abc", 6, 1, '.',
                                                   ".abc.."},
                                           PadCase{"CutLeft", "abcdefgh", 5, 0, '.', "abcde"},
                                           PadCase{"CutCenter", "abcdefgh", 5, 1, '.', "abcde"},
                                           PadCase{"CutRight", "abcdefgh", 5, 2, '.', "abcde"},
                                           PadCase{"ExactWidth", "abc", 3, 2, '.', "abc"},
                                           PadCase{"ZeroWidth", "abc", 0, 0, '.', ""},
                                           PadCase{"UnknownAlignIsLeft", "ab", 6, 3, '.', "ab...."},
                                           PadCase{"NulPadCenter", "ab", 6, 1, '\0', "ab"},
                                           PadCase{"NulPadRight", "ab", 6, 2, '\0', "ab"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
