// Whole-keyword replacement and expression correction.
#include <kxutils96/format/transforms/keyword_replace.h>

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(kxu_keyword_replace, ReplacesWholeKeywordsOnly) {
  struct Row {
    const char* source;
    const char* keyword;
    const char* replacement;
    bool bIgnoreCase;
    const char* expected;
    int nResult;
  };
  const Row rows[] = {
      {"a and b", "and", "&&", false, "a && b", 1},
      {"android or band", "and", "&&", false, "android or band", 0},
      {"and_x x$and 9and and:", "and", "&&", false, "and_x x$and 9and and:", 0},
      {"*a \\a ~a ^a @a %a a~", "a", "b", false, "*a \\a ~a ^a @a %a a~", 0},  // every joiner
      {"(and x", "and", "&&", false, "(&& x", 1},  // an opening parenthesis only
      {"(and)", "and", "&&", false, "(and)", 0},
      {"a a", "a", "aa", false, "aa aa", 2},  // a replacement is not searched again
      {"a and b", "", "&&", false, "a and b", -1},
      {"a and b", nullptr, "&&", false, "a and b", -1},
      {"a and b", "and", nullptr, false, "a and b", -1},
      {"a AND b", "and", "&&", false, "a AND b", 0},
      {"a AND b And c", "and", "&&", true, "a && b && c", 2},
      {"\xC3\xA9\x61nd\xC3\xA9", "and", "x", false, "\xC3\xA9x\xC3\xA9", 1},
      // An occurrence right after a replaced one sees the replacement as its left neighbour.
      {"-x-x", "-x", "y", false, "y-x", 1},
      {"-x-x", "-x", "+", false, "++", 2},
  };
  for (const auto& [source, keyword, replacement, bIgnoreCase, expected, nResult] : rows) {
    CStringUTF8 text(source);
    EXPECT_EQ(kxu_keyword_replace(&text, keyword, replacement, bIgnoreCase), nResult) << source;
    EXPECT_STREQ(text.GetString(), expected) << source;
  }
  CStringUTF8 text("and");
  EXPECT_EQ(kxu_keyword_replace(nullptr, "and", "&&", false), -1);
  EXPECT_EQ(kxu_keyword_replace(&text, nullptr, "&&", false), -1);
  EXPECT_EQ(kxu_keyword_replace(&text, "and", nullptr, false), -1);
  EXPECT_STREQ(text.GetString(), "and");
}

// Pasted typographic quotes become ASCII ones first when asked: then an = inside them stays.
TEST(kxu_get_correct_KS_expression, GivesScriptOperators) {
  const char* kPasted = "s=\xE2\x80\x9C\x61=b\xE2\x80\x9D";
  const std::tuple<const char*, bool, const char*> rows[] = {
      {"x=1 & y=2 | not z", false, "x==1 && y==2 || ! z"},
      {"x!=1, x<=1, x>=1", false, "x!=1, x<=1, x>=1"},
      {"a==b, a&&b, a||b", false, "a==b, a&&b, a||b"},
      {"s=\"a=b\"", false, "s==\"a=b\""},
      {"a\nb\"c\nd\"", false, "a b\"c d\""},  // line feeds become blanks
      {"a AND b Or Not c", false, "a && b || ! c"},
      {"=a&", false, "==a&&"},
      {"a===b", false, "a===b"},
      {kPasted, true, "s==\"a=b\""},
      {kPasted, false, "s==\xE2\x80\x9C\x61==b\xE2\x80\x9D"},
      {"", false, ""}};
  for (const auto& [expression, bQuotes, expected] : rows) {
    CStringUTF8 result("old");
    EXPECT_EQ(kxu_get_correct_KS_expression(expression, &result, bQuotes), *expected ? 1 : 0);
    EXPECT_STREQ(result.GetString(), expected) << expression;
  }
  EXPECT_EQ(kxu_get_correct_KS_expression("a=b", nullptr, false), 0);
}

}  // namespace
