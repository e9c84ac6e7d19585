// Whole-keyword replacement and expression correction.
#include <kxutils96/format/transforms/keyword_replace.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct ReplaceCase {
  const char* name;
  const char* text;
  const char* keyword;
  const char* replacement;
  bool bOption;
  const char* expected;
  int nResult;
};

class KeywordReplaceTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(KeywordReplaceTest, ReplacesWholeKeywordsOnly) {
  const ReplaceCase& c = GetParam();
  CStringUTF8 text(c.text);
  EXPECT_EQ(kxu_keyword_replace(&text, c.keyword, c.replacement, c.bOption), c.nResult);
  EXPECT_STREQ(text.GetString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    kxu_keyword_replace, KeywordReplaceTest,
    ::testing::Values(
        ReplaceCase{"Word", "a and b", "and", "&&", false, "a && b", 1},
        ReplaceCase{"InsideWords", "android or band", "and", "&&", false, "android or band", 0},
        ReplaceCase{"JoinerNeighbours", "and_x x$and 9and and:", "and", "&&", false,
                    "and_x x$and 9and and:", 0},
        ReplaceCase{"EveryJoiner", "*a \\a ~a ^a @a %a a~", "a", "b", false,
                    "*a \\a ~a ^a @a %a a~", 0},
        ReplaceCase{"OpenParenthesisOnly", "(and x", "and", "&&", false, "(&& x", 1},
        ReplaceCase{"EnclosedInParentheses", "(and)", "and", "&&", false, "(and)", 0},
        ReplaceCase{"ReplacementNotSearchedAgain", "a a", "a", "aa", false, "aa aa", 2},
        ReplaceCase{"EmptyReplacement", "a, a", "a", "", false, ", ", 2},
        ReplaceCase{"EmptyText", "", "and", "&&", false, "", 0},
        ReplaceCase{"EmptyKeyword", "a and b", "", "&&", false, "a and b", -1},
        ReplaceCase{"CaseMattersWithoutOption", "a AND b", "and", "&&", false, "a AND b", 0},
        ReplaceCase{"OptionIgnoresCase", "a AND b And c", "and", "&&", true, "a && b && c", 2},
        ReplaceCase{"NonAsciiNeighbourIsBoundary",
                    "\xC3\xA9"
                    "and\xC3\xA9",
                    "and", "x", false, "\xC3\xA9x\xC3\xA9", 1},
        // An occurrence right after a replaced one sees the replacement as its left neighbour.
        ReplaceCase{"ReplacementJoinsNextMatch", "-x-x", "-x", "y", false, "y-x", 1},
        ReplaceCase{"ReplacementSeparatesNextMatch", "-x-x", "-x", "+", false, "++", 2},
        ReplaceCase{"OverlapSkipped", "aaa", "aa", "b", false, "aaa", 0},
        // A partial match that fails goes on from its longest part that starts the keyword.
        ReplaceCase{"PartialMatchRestarts", "a ---+ b", "--+", "X", false, "a -X b", 1},
        ReplaceCase{"PartialMatchRestartsIgnoringCase", "x --AB y", "-ab", "z", true, "x -z y", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxu_keyword_replace, NullArgumentsChangeNothing) {
  CStringUTF8 text("a and b");
  EXPECT_EQ(kxu_keyword_replace(nullptr, "and", "&&", false), -1);
  EXPECT_EQ(kxu_keyword_replace(&text, nullptr, "&&", false), -1);
  EXPECT_EQ(kxu_keyword_replace(&text, "and", nullptr, false), -1);
  EXPECT_STREQ(text.GetString(), "a and b");
}

// Many replacements, each growing the text by 49 bytes.
TEST(kxu_keyword_replace, LongReplacementOnALongText) {
  std::string source;
  for (int i = 0; i < 20000; ++i) source += "a ";
  CStringUTF8 text(source.c_str());
  const std::string replacement(50, 'r');
  EXPECT_EQ(kxu_keyword_replace(&text, "a", replacement.c_str(), false), 20000);
  std::string expected;
  for (int i = 0; i < 20000; ++i) expected += replacement + " ";
  EXPECT_EQ(std::string(text.GetString(), text.GetLength()), expected);
}

// The keyword and the replacement may be read from the text that grows.
TEST(kxu_keyword_replace, KeywordOrReplacementFromTheText) {
  CStringUTF8 text("x and");
  EXPECT_EQ(kxu_keyword_replace(&text, text.GetString() + 2, "&&&&&&&&", false), 1);
  EXPECT_STREQ(text.GetString(), "x &&&&&&&&");
  CStringUTF8 other("a b");
  EXPECT_EQ(kxu_keyword_replace(&other, "a", other.GetString(), false), 1);
  EXPECT_STREQ(other.GetString(), "a b b");
}

TEST(kxu_keyword_replace, WholeTextReplacedByLongerText) {
  CStringUTF8 text("abc");
  EXPECT_EQ(kxu_keyword_replace(&text, "abc", "0123456789", false), 1);
  EXPECT_STREQ(text.GetString(), "0123456789");
}

struct ExpressionCase {
  const char* name;
  const char* expression;
  const char* expected;
};

class CorrectExpressionTest : public ::testing::TestWithParam<ExpressionCase> {};

TEST_P(CorrectExpressionTest, GivesScriptOperators) {
  const ExpressionCase& c = GetParam();
  CStringUTF8 result("old");
  EXPECT_EQ(kxu_get_correct_KS_expression(c.expression, &result, false), 1);
  EXPECT_STREQ(result.GetString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    kxu_get_correct_KS_expression, CorrectExpressionTest,
    ::testing::Values(ExpressionCase{"Mixed", "x=1 & y=2 | not z", "x==1 && y==2 || ! z"},
                      ExpressionCase{"ComparisonsStay", "x!=1, x<=1, x>=1", "x!=1, x<=1, x>=1"},
                      ExpressionCase{"DoubledStay", "a==b, a&&b, a||b", "a==b, a&&b, a||b"},
                      ExpressionCase{"QuotedStays", "s=\"a=b\"", "s==\"a=b\""},
                      ExpressionCase{"LineFeedsBecomeBlanks", "a\nb\"c\nd\"", "a b\"c d\""},
                      ExpressionCase{"CarriageReturnStays", "a\rb", "a\rb"},
                      ExpressionCase{"WordsInAnyCase", "a AND b Or Not c", "a && b || ! c"},
                      ExpressionCase{"WordsInsideNamesStay", "android=1", "android==1"},
                      ExpressionCase{"OperatorAtEdges", "=a&", "==a&&"},
                      ExpressionCase{"TripleStays", "a===b", "a===b"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxu_get_correct_KS_expression, EmptyOrMissing) {
  CStringUTF8 result("old");
  EXPECT_EQ(kxu_get_correct_KS_expression("", &result, false), 0);
  EXPECT_TRUE(result.IsEmpty());
  EXPECT_EQ(kxu_get_correct_KS_expression("a=b", nullptr, false), 0);
}

TEST(kxu_get_correct_KS_expression, ConvertsPastedQuotesFirst) {
  CStringUTF8 result;
  // s = “a=b” with typographic quotes: once they are ASCII quotes, the = inside stays.
  EXPECT_EQ(kxu_get_correct_KS_expression("s=\xE2\x80\x9C"
                                          "a=b\xE2\x80\x9D",
                                          &result, true),
            1);
  EXPECT_STREQ(result.GetString(), "s==\"a=b\"");
  EXPECT_EQ(kxu_get_correct_KS_expression("s=\xE2\x80\x9C"
                                          "a=b\xE2\x80\x9D",
                                          &result, false),
            1);
  EXPECT_STREQ(result.GetString(),
               "s==\xE2\x80\x9C"
               "a==b\xE2\x80\x9D");
}

}  // namespace
