#include <kxutils96/tokens/csv_line.h>

#include <gtest/gtest.h>

#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/tokens/detail/csv_field.h>

#include <string>

#include "support/array_text.h"

namespace {

using kxu::test::ArrayOf;
using kxu::test::Texts;
using kxu::test::TextsOf;
using kxu::tokens::detail::CsvUnquoteFieldInto;
using kxu::tokens::detail::kFieldLoneQuote;
using kxu::tokens::detail::kFieldUnterminated;

struct LineCase {
  const char* name;
  std::string line;
  Texts expected;
};

class TokenizeOneCSVLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(TokenizeOneCSVLineTest, SplitsAndUnquotesFields) {
  const LineCase& c = GetParam();
  CZQVStringArray fields = ArrayOf({"left over"});
  EXPECT_EQ(kxutilsTokenizeOneCSVLine(c.line.c_str(), &fields),
            static_cast<int>(c.expected.size()));
  EXPECT_EQ(TextsOf(fields), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    kxutilsTokenizeOneCSVLine, TokenizeOneCSVLineTest,
    ::testing::Values(LineCase{"ThreeOneCharFields", "a,b,c", {"a", "b", "c"}},
                      LineCase{"QuotedLosesQuotes", "\"abc\",d", {"abc", "d"}},
                      LineCase{"DoubledQuoteBecomesOne", "\"a \"\"b\"\"\"", {"a \"b\""}},
                      LineCase{"QuotedComma", "\"a,b\",c", {"a,b", "c"}},
                      LineCase{"TwoQuotesAlone", "\"\",x", {"", "x"}},
                      LineCase{"TrailingComma", "1,2,", {"1", "2", ""}},
                      LineCase{"UnterminatedQuoted", "\"abc,d", {"abc,d"}},
                      LineCase{"UnquotedEndingInQuote", "ab\",c", {"ab", "c"}},
                      LineCase{"LoneQuoteInside", "\"a\"b\",c", {"a", "c"}},
                      LineCase{"AngleBracketsKeepCommas", "<a,b>,c", {"<a,b>", "c"}},
                      LineCase{"BracketsKeepCommas", "f(1,2),3", {"f(1,2)", "3"}},
                      LineCase{"LineFeedFieldEmpties", "a,\n", {"a", ""}},
                      LineCase{"SpacesKept", " a , b ", {" a ", " b "}},
                      LineCase{"Utf8",
                               "\xC3\xA9t\xC3\xA9,\"\xE2\x82\xAC\"",
                               {"\xC3\xA9t\xC3\xA9", "\xE2\x82\xAC"}},
                      // A multi-byte character across the first block edge, then
                      // an apostrophe after it, angle brackets and doubled quotes.
                      LineCase{"AcrossBlockEdges",
                               "0123456789abcde\xC3\xA9'x,<a,b>,\"1,\"\"2\"\"\"",
                               {"0123456789abcde\xC3\xA9'x", "<a,b>", "1,\"2\""}},
                      LineCase{"Empty", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxutilsTokenizeOneCSVLine, NullArrayIsMissingArgument) {
  EXPECT_EQ(kxutilsTokenizeOneCSVLine("a,b", nullptr), -1);
}

TEST(kxutilsTokenizeOneCSVLine, LineFromTheFieldsArraySplitsTheSame) {
  CZQVStringArray fields = ArrayOf({"x", "a,bcdef,\"g,h\""});
  EXPECT_EQ(kxutilsTokenizeOneCSVLine(fields[1], &fields), 3);
  EXPECT_EQ(TextsOf(fields), (Texts{"a", "bcdef", "g,h"}));
}

TEST(kxutilsTokenizeOneCSVLine, LeavesTheAngleSwitchAsItWas) {
  const int nBefore = set_parenth_use_angle_brackets(0);
  CZQVStringArray fields;
  kxutilsTokenizeOneCSVLine("<a,b>", &fields);
  EXPECT_EQ(set_parenth_use_angle_brackets(nBefore), 0);
}

struct FieldCase {
  const char* name;
  std::string field;
  int nResult;
  std::string expected;
};

class CsvUnquoteFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CsvUnquoteFieldTest, ReportsAndKeepsWhatItRead) {
  const FieldCase& c = GetParam();
  CStringUTF8 strField("left over");
  EXPECT_EQ(CsvUnquoteFieldInto(c.field, strField), c.nResult);
  EXPECT_EQ(std::string(strField.GetString(), strField.GetLength()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    CsvUnquoteField, CsvUnquoteFieldTest,
    ::testing::Values(FieldCase{"Plain", "abc", 3, "abc"}, FieldCase{"OneByte", "x", 1, "x"},
                      FieldCase{"OneQuote", "\"", 0, ""}, FieldCase{"LineFeed", "\n", 0, ""},
                      FieldCase{"Empty", "", 0, ""}, FieldCase{"Quoted", "\"a\"\"b\"", 3, "a\"b"},
                      FieldCase{"DoubledQuoteAtEnd", "\"a\"\"", 2, "a\""},
                      FieldCase{"LoneQuote", "\"ab\"c\"", kFieldLoneQuote, "ab"},
                      FieldCase{"UnquotedLoneQuote", "a\"b", kFieldLoneQuote, "a"},
                      FieldCase{"Unterminated", "\"abc", kFieldUnterminated, "abc"},
                      FieldCase{"UnquotedEndQuoteDropped", "ab\"", 2, "ab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxutilsReadCSVFile, ReadsNothingAndReturnsOne) {
  CZQVStringArray fields = ArrayOf({"a"});
  EXPECT_EQ(kxutilsReadCSVFile("/no/such/file.csv", fields, 7, 8), 1);
  EXPECT_EQ(TextsOf(fields), Texts{"a"});
}

}  // namespace
