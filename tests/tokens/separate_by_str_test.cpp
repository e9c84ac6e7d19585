#include <kxutils96/tokens/separate_by_str.h>

#include <gtest/gtest.h>

#include <string>

#include "support/array_text.h"

namespace {

using kxu::test::ArrayOf;
using kxu::test::Texts;
using kxu::test::TextsOf;

TEST(kxutilsSeparateByStr, CutsAtEveryOccurrence) {
  const struct {
    std::string text, separator;
    Texts expected;
  } cases[] = {
      {"abc", ",", {"abc"}},
      {"a,b,", ",", {"a", "b", ""}},
      {",a", ",", {"", "a"}},
      {"a,,b", ",", {"a", "", "b"}},
      {"a::b::c", "::", {"a", "b", "c"}},
      {"a:::b", "::", {"a", ":b"}},
      {"::::", "::", {"", "", ""}},
      {"\"a,b\"", ",", {"\"a", "b\""}},
      {"", ",", {}},
  };
  for (const auto& c : cases) {
    CZQVStringArray result = ArrayOf({"left over"});
    EXPECT_EQ(kxutilsSeparateByStr(c.text.c_str(), &result, c.separator.c_str()),
              static_cast<int>(c.expected.size()));
    EXPECT_EQ(TextsOf(result), c.expected) << c.text;
  }
}

TEST(kxutilsSeparateByStr, BadArguments) {
  CZQVStringArray result = ArrayOf({"keep"});
  EXPECT_EQ(kxutilsSeparateByStr("a,b", &result, ""), -1);
  EXPECT_EQ(kxutilsSeparateByStr("a,b", &result, nullptr), -1);
  EXPECT_EQ(kxutilsSeparateByStr("a,b", nullptr, ","), -1);
  EXPECT_EQ(TextsOf(result), Texts{"keep"});
  EXPECT_EQ(kxutilsSeparateByStr("", nullptr, ","), 0);
  EXPECT_EQ(kxutilsSeparateByStr(nullptr, &result, ","), 0);
  EXPECT_EQ(result.GetSize(), 0);
}

TEST(kxutilsSeparateByStr, TextOrSeparatorMayLiveInTheResult) {
  CZQVStringArray result = ArrayOf({"a;b", ";"});
  EXPECT_EQ(kxutilsSeparateByStr(result[0], &result, result[1]), 2);
  EXPECT_EQ(TextsOf(result), (Texts{"a", "b"}));
}

}  // namespace
