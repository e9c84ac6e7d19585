#include <kxutils96/tokens/token_splitter.h>

#include <gtest/gtest.h>

#include <kxutils96/host/zutl96/zutl96.h>

#include <string>

#include "support/array_text.h"

using namespace kxu::zutl96;

namespace {

using kxu::test::ArrayOf;
using kxu::test::Texts;
using kxu::test::TextsOf;
using namespace kxu::tokens;

struct SplitCase {
  const char* name;
  std::string text;
  char chSep;
  int nQuote;
  DWORD dwFlags;
  Texts expected;
};

class GetTokensTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(GetTokensTest, SplitsAndFinishesTokens) {
  const SplitCase& c = GetParam();
  CZQVStringArray tokens = ArrayOf({"left over"});
  const int nCount =
      kxutilsGetTokens(c.text.c_str(), &tokens, c.chSep, nullptr, c.nQuote, c.dwFlags);
  EXPECT_EQ(TextsOf(tokens), c.expected);
  EXPECT_EQ(nCount, static_cast<int>(c.expected.size()));
  // Counting only gives the same number.
  EXPECT_EQ(kxutilsGetTokens(c.text.c_str(), nullptr, c.chSep, nullptr, c.nQuote, c.dwFlags),
            nCount);
}

INSTANTIATE_TEST_SUITE_P(
    kxutilsGetTokens, GetTokensTest,
    ::testing::Values(
        // Separator byte.
        SplitCase{"TwoFieldsEachFollowedByComma", "a,b,", ',', 0, 0, {"a", "b", ""}},
        SplitCase{"TwoCommasAlone", ",,", ',', 0, 0, {"", "", ""}},
        SplitCase{"NoSeparator", "abc", ',', 0, 0, {"abc"}},
        SplitCase{"EmptyText", "", ',', 0, 0, {}},
        SplitCase{"QuotesKeptWithOtherOption", "\"a,b\",c", ',', 0, 0, {"\"a,b\"", "c"}},
        SplitCase{"BracketsKeepSeparators", "f(a,b),[c,d]", ',', 0, 0, {"f(a,b)", "[c,d]"}},
        SplitCase{"UnbalancedQuoteKeepsRest", "a,\"b,c", ',', 0, 0, {"a", "\"b,c"}},
        SplitCase{"UnbalancedBracketKeepsRest", "a,(b,c", ',', 0, 0, {"a", "(b,c"}},
        SplitCase{"OtherSeparatorKeepsQuotes", "\"a;b\";c", ';', kQuoteDouble, 0, {"\"a;b\"", "c"}},
        SplitCase{"HighBytes", "\xC3\xA9,\xE2\x82\xAC", ',', 0, 0, {"\xC3\xA9", "\xE2\x82\xAC"}},
        SplitCase{"HighByteSeparator",
                  "a\xA7"
                  "b",
                  static_cast<char>(0xA7),
                  0,
                  0,
                  {"a", "b"}},
        // Line feeds.
        SplitCase{"WindowsLineEnds", "one\r\ntwo\r\n", '\n', 0, 0, {"one", "two", ""}},
        SplitCase{"OnlyLastCarriageReturnGoes", "a\r\r\nb", '\n', 0, 0, {"a\r", "b"}},
        // Leading white space.
        SplitCase{"SkipLeadingWhite", " a,\t b ", ',', kQuoteSkipLeadingWhite, 0, {"a", "b "}},
        SplitCase{"NoSkipByDefault", " a, b", ',', 0, 0, {" a", " b"}},
        // CSV unquoting with ',' and double quotes.
        SplitCase{"CsvQuotedComma", "\"a,b\",c", ',', kQuoteDouble, 0, {"a,b", "c"}},
        SplitCase{"CsvDoubledQuote", " \"x\"\"y\" ,z", ',', kQuoteDouble, 0, {"x\"y ", "z"}},
        SplitCase{"CsvUnquotedKeepsQuotes", "a\"b\",c", ',', kQuoteDouble, 0, {"a\"b\"", "c"}},
        SplitCase{"CsvBackslashNeedsFlag", "\"a\\\"b\",c", ',', kQuoteDouble, 0, {"a\\b\"", "c"}},
        SplitCase{"CsvBackslashFlags",
                  "\"a\\\",b\",c",
                  ',',
                  kQuoteDouble,
                  DWORD{kSplitExtendedSearch} | DWORD{kCsvBackslashEscapes},
                  {"a\",b", "c"}},
        // Search choice.
        SplitCase{"QuoteAwareSearchIgnoresBrackets",
                  "(a,b),c",
                  ',',
                  0,
                  kSplitQuoteAwareSearch,
                  {"(a", "b)", "c"}},
        SplitCase{"QuoteAwareSearchIgnoresSingleQuotes",
                  "'a,b'",
                  ',',
                  0,
                  kSplitQuoteAwareSearch,
                  {"'a", "b'"}},
        SplitCase{
            "AngleBracketsWithOption", "<a,b>,c", ',', kQuoteAngleBrackets, 0, {"<a,b>", "c"}},
        SplitCase{"AngleBracketsOrdinaryOtherwise", "<a,b>,c", ',', 0, 0, {"<a", "b>", "c"}},
        // White space.
        SplitCase{"WhiteSpace", "  a \t b\r\nc  ", 0, 0, 0, {"a", "b", "c"}},
        SplitCase{"WhiteSpaceOnly", "   ", 0, 0, 0, {""}},
        SplitCase{"WhiteSpaceQuotedStretch", "x \"a b\" y", 0, 0, 0, {"x", "\"a b\"", "y"}},
        SplitCase{"WhiteSpaceQuoteCharUnquotes", "x \"a b\" 'c'", 0, '"', 0, {"x", "a b", "'c'"}},
        SplitCase{"WhiteSpaceSingleQuoteChar", "'a b' \"c\"", 0, '\'', 0, {"a b", "\"c\""}},
        SplitCase{"WhiteSpaceUnquoteAll",
                  "\"a b\" (c d) [e] x",
                  0,
                  kQuoteUnquoteAll,
                  0,
                  {"a b", "c d", "e", "x"}},
        SplitCase{"WhiteSpaceBracketsKeepBlanks", "f(a, b) g", 0, 0, 0, {"f(a, b)", "g"}},
        SplitCase{"WhiteSpaceAngle", "<a b> c", 0, kQuoteAngleBrackets, 0, {"<a b>", "c"}},
        SplitCase{"WhiteSpaceAcrossBlockEdges",
                  "aaaaaaaaaaaaaa\xC3\xA9 \"b c\"\t(d e)  <f g>\r\n",
                  0,
                  '"',
                  0,
                  {"aaaaaaaaaaaaaa\xC3\xA9", "b c", "(d e)", "<f", "g>"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxutilsGetTokens, EmptyTextStillEmptiesTheArray) {
  CZQVStringArray tokens = ArrayOf({"a", "b"});
  EXPECT_EQ(kxutilsGetTokens("", &tokens, ',', nullptr, 0, 0), 0);
  EXPECT_EQ(tokens.GetSize(), 0);
}

TEST(kxutilsGetTokens, ReusedArrayHoldsExactlyTheNewTokens) {
  CZQVStringArray tokens = ArrayOf({"a much longer old element", "x", "y", "z", "w"});
  EXPECT_EQ(kxutilsGetTokens("a,bb", &tokens, ',', nullptr, 0, 0), 2);
  EXPECT_EQ(TextsOf(tokens), (Texts{"a", "bb"}));
  EXPECT_EQ(kxutilsGetTokens("1,2,3", &tokens, ',', nullptr, 0, 0), 3);
  EXPECT_EQ(TextsOf(tokens), (Texts{"1", "2", "3"}));
}

TEST(kxutilsGetTokens, NullTextIsOneEmptyToken) {
  CZQVStringArray tokens = ArrayOf({"a"});
  EXPECT_EQ(kxutilsGetTokens(nullptr, &tokens, ',', nullptr, 0, 0), 1);
  EXPECT_EQ(TextsOf(tokens), Texts{""});
}

TEST(kxutilsGetTokens, DoesNotChangeTheText) {
  std::string text = "\"a\"\"b\",c\r\n";
  kxutilsGetTokens(text.c_str(), nullptr, ',', nullptr, kQuoteDouble, 0);
  EXPECT_EQ(text, "\"a\"\"b\",c\r\n");
}

TEST(kxutilsGetTokens, HandsTheStateToTheSearch) {
  // A state that says "inside a double quote" keeps the first comma hidden.
  int nState = '"';
  CZQVStringArray tokens;
  EXPECT_EQ(kxutilsGetTokens("a,b\",c", &tokens, ',', &nState, 0, 0), 2);
  EXPECT_EQ(TextsOf(tokens), (Texts{"a,b\"", "c"}));
  EXPECT_EQ(nState, kSearchOutsideQuotes);
}

TEST(kxutilsGetTokens, RestoresTheAngleSwitch) {
  const int nBefore = set_parenth_use_angle_brackets(0);
  kxutilsGetTokens("<a,b>", nullptr, ',', nullptr, kQuoteAngleBrackets, 0);
  EXPECT_EQ(set_parenth_use_angle_brackets(1), 0);
  kxutilsGetTokens("<a,b>", nullptr, ',', nullptr, kQuoteAngleBrackets, 0);
  EXPECT_EQ(set_parenth_use_angle_brackets(nBefore), 1);
}

TEST(kxutilsGetTokens, TenMegabyteLineSplitsCompletely) {
  std::string text;
  const int nFields = 1'000'000;
  text.reserve(static_cast<size_t>(10) * nFields);
  for (int i = 0; i < nFields; ++i) text += "\"x,y\",abc,";
  CZQVStringArray tokens;
  EXPECT_EQ(kxutilsGetTokens(text.c_str(), &tokens, ',', nullptr, kQuoteDouble, 0),
            2 * nFields + 1);
  EXPECT_EQ(tokens[2 * nFields - 2], "x,y");
  EXPECT_EQ(tokens[2 * nFields], "");
}

}  // namespace
