#include <kxutils96/tokens/separate_by_str.h>

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
  std::string separator;
  Texts expected;
};

class SeparateByStrTest : public ::testing::TestWithParam<SeparateCase> {};

TEST_P(SeparateByStrTest, CutsAtEveryOccurrence) {
  const SeparateCase& c = GetParam();
  CZQVStringArray result = ArrayOf({"left over"});
  EXPECT_EQ(kxutilsSeparateByStr(c.text.c_str(), &result, c.separator.c_str()),
            static_cast<int>(c.expected.size()));
  EXPECT_EQ(TextsOf(result), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    kxutilsSeparateByStr, SeparateByStrTest,
    ::testing::Values(SeparateCase{"NotFound", "abc", ",", {"abc"}},
                      SeparateCase{"EndsWithSeparator", "a,b,", ",", {"a", "b", ""}},
                      SeparateCase{"StartsWithSeparator", ",a", ",", {"", "a"}},
                      SeparateCase{"Adjacent", "a,,b", ",", {"a", "", "b"}},
                      SeparateCase{"MultiByte", "a::b::c", "::", {"a", "b", "c"}},
                      SeparateCase{"NoOverlap", "a:::b", "::", {"a", ":b"}},
                      SeparateCase{"OnlySeparators", "::::", "::", {"", "", ""}},
                      SeparateCase{"QuotesIgnored", "\"a,b\"", ",", {"\"a", "b\""}},
                      SeparateCase{"Utf8Separator", "x\xE2\x86\x92y", "\xE2\x86\x92", {"x", "y"}},
                      SeparateCase{"EmptyText", "", ",", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxutilsSeparateByStr, EmptyOrNullSeparatorLeavesTheArray) {
  CZQVStringArray result = ArrayOf({"keep"});
  EXPECT_EQ(kxutilsSeparateByStr("a,b", &result, ""), -1);
  EXPECT_EQ(kxutilsSeparateByStr("a,b", &result, nullptr), -1);
  EXPECT_EQ(TextsOf(result), Texts{"keep"});
}

TEST(kxutilsSeparateByStr, TextOrSeparatorMayLiveInTheResult) {
  CZQVStringArray result = ArrayOf({"a;b", ";"});
  EXPECT_EQ(kxutilsSeparateByStr(result[0], &result, result[1]), 2);
  EXPECT_EQ(TextsOf(result), (Texts{"a", "b"}));
}

TEST(kxutilsSeparateByStr, NullTextEmptiesTheArray) {
  CZQVStringArray result = ArrayOf({"a"});
  EXPECT_EQ(kxutilsSeparateByStr(nullptr, &result, ","), 0);
  EXPECT_EQ(result.GetSize(), 0);
  EXPECT_EQ(kxutilsSeparateByStr("", nullptr, ","), 0);
}

TEST(kxutilsSeparateByStr, NullArrayWithTextIsMissingArgument) {
  EXPECT_EQ(kxutilsSeparateByStr("a,b", nullptr, ","), -1);
}

TEST(kxutilsSeparateByStr, TenMegabytesOfSeparatorsSplitCompletely) {
  const std::string text(10'000'000, ',');  // NOLINT(bugprone-string-constructor): large on purpose
  CZQVStringArray result;
  EXPECT_EQ(kxutilsSeparateByStr(text.c_str(), &result, ","), 10'000'001);
}

}  // namespace
