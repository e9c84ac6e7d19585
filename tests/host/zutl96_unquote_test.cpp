#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <string>

using namespace kxu::zutl96;

namespace {

struct UnquoteCase {
  const char* name;
  std::string token;
  int nPairs;
  std::string expected;
  int nRemoved;
};

class UnquoteTest : public ::testing::TestWithParam<UnquoteCase> {};

TEST_P(UnquoteTest, RemovesOnlyAnEnclosingPair) {
  UnquoteCase c = GetParam();
  int nPairs = c.nPairs;
  const char* pResult = utlUnquote(c.token.data(), &nPairs);
  EXPECT_EQ(std::string(pResult), c.expected);
  EXPECT_EQ(nPairs, c.nRemoved);
}

INSTANTIATE_TEST_SUITE_P(
    utlUnquote, UnquoteTest,
    ::testing::Values(UnquoteCase{"DoubleQuotes", "\"a b\"", kUnquoteQuotes, "a b", 1},
                      UnquoteCase{"SingleQuotes", "'a'", kUnquoteQuotes, "a", 1},
                      UnquoteCase{"MixedQuotesStay", "\"a'", kUnquoteQuotes, "\"a'", 0},
                      UnquoteCase{"UnterminatedStays", "\"abc", kUnquoteQuotes, "\"abc", 0},
                      UnquoteCase{"LoneQuoteStays", "\"", kUnquoteQuotes, "\"", 0},
                      UnquoteCase{"EmptyQuotes", "\"\"", kUnquoteQuotes, "", 1},
                      UnquoteCase{"InnerDoubledQuotesStay", "\"a\"\"b\"", kUnquoteQuotes, "a\"\"b",
                                  1},
                      UnquoteCase{"BracketsOnlyWhenAsked", "(x)", kUnquoteQuotes, "(x)", 0},
                      UnquoteCase{"Parentheses", "(x)", kUnquoteQuotesAndBrackets, "x", 1},
                      UnquoteCase{"SquareBrackets", "[x y]", kUnquoteQuotesAndBrackets, "x y", 1},
                      UnquoteCase{"Braces", "{}", kUnquoteQuotesAndBrackets, "", 1},
                      UnquoteCase{"WrongCloser", "(x]", kUnquoteQuotesAndBrackets, "(x]", 0},
                      UnquoteCase{"AngleNeverRemoved", "<x>", kUnquoteQuotesAndBrackets, "<x>", 0},
                      UnquoteCase{"Empty", "", kUnquoteQuotesAndBrackets, "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(utlUnquote, NullGivesNullAndNullOptionMeansQuotesOnly) {
  EXPECT_EQ(utlUnquote(nullptr, nullptr), nullptr);
  std::string token = "(x)";
  EXPECT_EQ(std::string(utlUnquote(token.data(), nullptr)), "(x)");
  std::string quoted = "'x'";
  EXPECT_EQ(std::string(utlUnquote(quoted.data(), nullptr)), "x");
}

struct CsvUnquoteCase {
  const char* name;
  std::string field;
  DWORD dwFlags;
  std::string expected;
  int nClosed;
};

class CsvUnquoteTest : public ::testing::TestWithParam<CsvUnquoteCase> {};

TEST_P(CsvUnquoteTest, RemovesCsvQuotingInPlace) {
  CsvUnquoteCase c = GetParam();
  int nClosed = 1;
  char* pField = c.field.data();
  EXPECT_EQ(utlCsvUnquote(pField, &nClosed, c.dwFlags), pField);
  EXPECT_EQ(std::string(pField), c.expected);
  EXPECT_EQ(nClosed, c.nClosed);
}

INSTANTIATE_TEST_SUITE_P(
    utlCsvUnquote, CsvUnquoteTest,
    ::testing::Values(CsvUnquoteCase{"Quoted", "\"a,b\"", 0, "a,b", 1},
                      CsvUnquoteCase{"DoubledQuotes", "\"say \"\"hi\"\"\"", 0, "say \"hi\"", 1},
                      CsvUnquoteCase{"EmptyQuoted", "\"\"", 0, "", 1},
                      CsvUnquoteCase{"TextAfterCloseKept", "\"ab\"c d", 0, "abc d", 1},
                      CsvUnquoteCase{"QuotesAfterCloseKeptVerbatim", "\"a\"b\"\"", 0, "ab\"\"", 1},
                      CsvUnquoteCase{"Unterminated", "\"abc", 0, "abc", 0},
                      CsvUnquoteCase{"UnterminatedAfterDoubled", "\"a\"\"", 0, "a\"", 0},
                      CsvUnquoteCase{"BackslashLiteralByDefault", "\"a\\\"b", 0, "a\\b", 1},
                      CsvUnquoteCase{"BackslashEscapes", "\"a\\\"b\"", kCsvBackslashEscapes, "a\"b",
                                     1},
                      CsvUnquoteCase{"LowBitsIgnored", "\"a\\\"b", 0x00FFFFFF, "a\\b", 1},
                      CsvUnquoteCase{"NotQuotedUnchanged", "a\"b\"", 0, "a\"b\"", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(utlCsvUnquote, NullGivesNull) {
  int nClosed = 1;
  EXPECT_EQ(utlCsvUnquote(nullptr, &nClosed, 0), nullptr);
  EXPECT_EQ(nClosed, 0);
}

}  // namespace
