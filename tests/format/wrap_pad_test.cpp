// Wrapping lines in place.
#include <kxutils96/format/transforms/wrap_pad.h>

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace {

TEST(kxu_wrap_text, BreaksAfterBreakCharactersAndIndentsTheLinesAfter) {
  struct Row {
    const char* source;
    int nWidth;
    int nIndent;
    const char* expected;
    int nResult;
  };
  const Row rows[] = {{"a b", 1, 0, "a \nb", 2},  // the narrowest width
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
  for (const auto& [source, nWidth, nIndent, expected, nResult] : rows) {
    CStringUTF8 text(source);
    EXPECT_EQ(kxu_wrap_text(&text, nWidth, nIndent), nResult) << source;
    EXPECT_STREQ(text.GetString(), expected) << source;
  }
  EXPECT_EQ(kxu_wrap_text(nullptr, 5, 0), -1);
}

}  // namespace
