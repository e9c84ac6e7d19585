#include <kxutils96/tokens/key_values.h>

#include <gtest/gtest.h>

#include <string>

#include "support/array_text.h"

namespace {

using kxu::test::ArrayOf;
using kxu::test::Texts;
using kxu::test::TextsOf;

struct SeparateCase {
  const char* name;
  std::string text;
  char chSep;
  Texts keys;
  Texts values;
};

class SeparateKeyValuesTest : public ::testing::TestWithParam<SeparateCase> {};

TEST_P(SeparateKeyValuesTest, SplitsPairsAtTheFirstAssign) {
  const SeparateCase& c = GetParam();
  CZQVStringArray keys = ArrayOf({"old"});
  CZQVStringArray values = ArrayOf({"old", "older"});
  EXPECT_EQ(kxutilsSeparateKeyValues(c.text.c_str(), &keys, &values, c.chSep),
            static_cast<int>(c.keys.size()));
  EXPECT_EQ(TextsOf(keys), c.keys);
  EXPECT_EQ(TextsOf(values), c.values);
}

INSTANTIATE_TEST_SUITE_P(
    kxutilsSeparateKeyValues, SeparateKeyValuesTest,
    ::testing::Values(
        SeparateCase{"Trimmed", "a=1, b = 2", ',', {"a", "b"}, {"1", "2"}},
        SeparateCase{"NoAssign", "a=1, lone ", ',', {"a", ""}, {"1", "lone"}},
        SeparateCase{"SeveralAssigns", "x=y=z", ',', {"x"}, {"y=z"}},
        SeparateCase{"InnerSpacesStay", " my key = my value ", ',', {"my key"}, {"my value"}},
        SeparateCase{"Empty", "", ',', {}, {}},
        SeparateCase{
            "QuotedValueKeepsSeparator", "t=\"a,b\",u=1", ',', {"t", "u"}, {"\"a,b\"", "1"}},
        SeparateCase{"CsvQuotedPair", "\"k=a,b\",u=1", ',', {"k", "u"}, {"a,b", "1"}},
        SeparateCase{"OtherSeparatorKeepsQuotes", "\"k=v\";w=2", ';', {"\"k", "w"}, {"v\"", "2"}},
        SeparateCase{"WhiteSpaceUnquotesPairs", "a=1 \"b=2 3\"", '\0', {"a", "b"}, {"1", "2 3"}},
        SeparateCase{"EmptyPairs", "a=1,,", ',', {"a", "", ""}, {"1", "", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxutilsSeparateKeyValues, NullListChangesNothing) {
  CZQVStringArray keys = ArrayOf({"k"});
  EXPECT_EQ(kxutilsSeparateKeyValues("a=1", &keys, nullptr, ','), -1);
  EXPECT_EQ(kxutilsSeparateKeyValues("a=1", nullptr, &keys, ','), -1);
  EXPECT_EQ(TextsOf(keys), Texts{"k"});
}

struct MakeCase {
  const char* name;
  Texts keys;
  Texts values;
  int chSep;
  int nExpected;
  std::string expected;  // appended after "pre:"
};

class MakeKeyValuesStrTest : public ::testing::TestWithParam<MakeCase> {};

TEST_P(MakeKeyValuesStrTest, AppendsPairs) {
  const MakeCase& c = GetParam();
  CZQVStringArray keys = ArrayOf(c.keys);
  CZQVStringArray values = ArrayOf(c.values);
  CStringUTF8 strResult("pre:");
  EXPECT_EQ(kxutilsMakeKeyValuesStr(&strResult, &keys, &values, c.chSep), c.nExpected);
  EXPECT_EQ(std::string(strResult), "pre:" + c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    kxutilsMakeKeyValuesStr, MakeKeyValuesStrTest,
    ::testing::Values(MakeCase{"Two", {"a", "b"}, {"1", "2"}, ',', 2, "a=1,b=2"},
                      MakeCase{"One", {"k"}, {"v"}, ';', 1, "k=v"},
                      MakeCase{"EmptyParts", {"", "b"}, {"", ""}, ' ', 2, "= b="},
                      MakeCase{"DifferentLengths", {"a", "b"}, {"1", "2", "3"}, ',', 0, ""},
                      MakeCase{"BothEmpty", {}, {}, ',', 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxutilsMakeKeyValuesStr, ResultMayBeAKeyOrValue) {
  CZQVStringArray pair = ArrayOf({"x"});
  EXPECT_EQ(kxutilsMakeKeyValuesStr(&pair[0], &pair, &pair, ','), 1);
  EXPECT_EQ(TextsOf(pair), Texts{"xx=x"});
}

TEST(kxutilsMakeKeyValuesStr, NullArgumentsChangeNothing) {
  CZQVStringArray keys = ArrayOf({"a"});
  CStringUTF8 strResult("keep");
  EXPECT_EQ(kxutilsMakeKeyValuesStr(&strResult, &keys, nullptr, ','), -1);
  EXPECT_EQ(kxutilsMakeKeyValuesStr(&strResult, nullptr, &keys, ','), -1);
  EXPECT_EQ(kxutilsMakeKeyValuesStr(nullptr, &keys, &keys, ','), -1);
  EXPECT_EQ(strResult, "keep");
}

TEST(kxutilsMakeKeyValuesStr, RoundTripsThroughSeparate) {
  CZQVStringArray keys = ArrayOf({"alpha", "beta", "gamma"});
  CZQVStringArray values = ArrayOf({"1", "two words", "3.5"});
  CStringUTF8 strText;
  ASSERT_EQ(kxutilsMakeKeyValuesStr(&strText, &keys, &values, ';'), 3);
  CZQVStringArray keysBack;
  CZQVStringArray valuesBack;
  EXPECT_EQ(kxutilsSeparateKeyValues(strText, &keysBack, &valuesBack, ';'), 3);
  EXPECT_EQ(TextsOf(keysBack), TextsOf(keys));
  EXPECT_EQ(TextsOf(valuesBack), TextsOf(values));
}

}  // namespace
