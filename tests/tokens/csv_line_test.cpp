#include <kxutils96/tokens/csv_line.h>

#include <gtest/gtest.h>

#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/tokens/detail/csv_field.h>

#include <string>
#include <tuple>

#include "support/array_text.h"

namespace {

using namespace kxu::test;
using kxu::tokens::detail::CsvUnquoteFieldInto;
using kxu::tokens::detail::kFieldLoneQuote;
using kxu::tokens::detail::kFieldUnterminated;

TEST(kxutilsTokenizeOneCSVLine, SplitsAndUnquotesFields) {
  const std::pair<std::string, Texts> cases[] = {
      {"\"a,b\",c", {"a,b", "c"}},
      {"1,2,", {"1", "2", ""}},
      {"<a,b>,f(1,2)", {"<a,b>", "f(1,2)"}},
      {"a,\n", {"a", ""}},
      {" a , b ", {" a ", " b "}},
      {"ab\",c", {"ab", "c"}},
      {"", {}},
  };
  for (const auto& [line, expected] : cases) {
    CZQVStringArray fields = ArrayOf({"left over"});
    EXPECT_EQ(kxutilsTokenizeOneCSVLine(line.c_str(), &fields), static_cast<int>(expected.size()));
    EXPECT_EQ(TextsOf(fields), expected) << line;
  }
  EXPECT_EQ(kxutilsTokenizeOneCSVLine("a,b", nullptr), -1);
}

// The line may be one of the fields array's strings.
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

TEST(CsvUnquoteField, ReportsAndKeepsWhatItRead) {
  const std::tuple<std::string, int, std::string> cases[] = {
      {"abc", 3, "abc"},
      {"\"", 0, ""},
      {"", 0, ""},
      {"\"a\"\"b\"", 3, "a\"b"},
      {"\"a\"\"", 2, "a\""},
      {"\"ab\"c\"", kFieldLoneQuote, "ab"},
      {"a\"b", kFieldLoneQuote, "a"},
      {"\"abc", kFieldUnterminated, "abc"},
      {"ab\"", 2, "ab"},
  };
  for (const auto& [field, nResult, expected] : cases) {
    CStringUTF8 strField("left over");
    EXPECT_EQ(CsvUnquoteFieldInto(field, strField), nResult) << field;
    EXPECT_EQ(std::string(strField.GetString(), strField.GetLength()), expected) << field;
  }
}

TEST(kxutilsReadCSVFile, ReadsNothingAndReturnsOne) {
  CZQVStringArray fields = ArrayOf({"a"});
  EXPECT_EQ(kxutilsReadCSVFile("/no/such/file.csv", fields, 7, 8), 1);
  EXPECT_EQ(TextsOf(fields), Texts{"a"});
}

}  // namespace
