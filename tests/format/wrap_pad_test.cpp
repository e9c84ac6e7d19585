// Wrapping lines in place and padding to an exact width.
#include <kxutils96/format/transforms/wrap_pad.h>

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(kxu_wrap_text, BreaksAfterBreakCharactersAndIndentsTheLinesAfter) {
  const struct {
    const char* text;
    int nWidth, nIndent;
    const char* expected;
    int nResult;
  } rows[] = {{"a b", 1, 0, "a \nb", 2},  // the narrowest width
              {"hello world", 5, 2, "hello \n  world", 2},
              {"a b c d e f", 3, 1, "a b \n c d \n e f", 3},
              {"ab\ncd", 5, 3, "ab\n   cd", 2},
              {"abcdefgh", 4, 0, "abcdefgh", -1},
              {"abcde", 5, 2, "abcde", 1},
              {"abcde ", 5, 2, "abcde \n", 1},
              {"abcde \nxyz", 5, 2, "abcde \n  \n  xyz", 3},
              {"any", 0, 0, "any", -1},
              {"ab cdefgh", 3, 0, "ab cdefgh", -1},
              {"ab cd", 3, INT_MAX, "ab cd", -1}};
  for (const auto& row : rows) {
    CStringUTF8 text(row.text);
    EXPECT_EQ(kxu_wrap_text(&text, row.nWidth, row.nIndent), row.nResult) << row.text;
    EXPECT_STREQ(text.GetString(), row.expected) << row.text;
  }
  EXPECT_EQ(kxu_wrap_text(nullptr, 5, 0), -1);
}

TEST(kxu_str_pad_char, GivesExactWidth) {
  const struct {
    const char* text;
    int nWidth, nAlign;  // 0 left, 1 centre, 2 right; others left
    char chPad;
    const char* expected;
  } rows[] = {{"ab", 6, 0, '.', "ab...."},      {"ab", 6, 1, '.', "..ab.."},
              {"ab", 6, 2, '.', "....ab"},      {"abc", 6, 1, '.', ".abc.."},
              {"abcdefgh", 5, 2, '.', "abcde"}, {"abc", 0, 0, '.', ""},
              {"ab", 6, 3, '.', "ab...."},      {"ab", 6, 2, '\0', "ab"}};
  for (const auto& row : rows) {
    EXPECT_STREQ(kxu_str_pad_char(row.text, row.nWidth, row.nAlign, row.chPad).GetString(),
                 row.expected)
        << row.text << ' ' << row.nWidth << ' ' << row.nAlign;
  }
}

}  // namespace
