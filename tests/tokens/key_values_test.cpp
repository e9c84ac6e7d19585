#include <kxutils96/tokens/key_values.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/array_text.h"

namespace {

using namespace kxu::test;

TEST(kxutilsSeparateKeyValues, SplitsPairsAtTheFirstAssign) {
  const std::tuple<std::string, char, Texts, Texts> cases[] = {
      {"a=1, lone ", ',', {"a", ""}, {"1", "lone"}},
      {"x=y=z", ',', {"x"}, {"y=z"}},
      {" my key = my value ", ',', {"my key"}, {"my value"}},
      {"", ',', {}, {}},
      {"\"k=a,b\",u=1", ',', {"k", "u"}, {"a,b", "1"}},
      {"\"k=v\";w=2", ';', {"\"k", "w"}, {"v\"", "2"}},
      {"a=1 \"b=2 3\"", '\0', {"a", "b"}, {"1", "2 3"}},
  };
  for (const auto& [text, chSep, wantKeys, wantValues] : cases) {
    CZQVStringArray keys = ArrayOf({"old"});
    CZQVStringArray values = ArrayOf({"old", "older"});
    EXPECT_EQ(kxutilsSeparateKeyValues(text.c_str(), &keys, &values, chSep),
              static_cast<int>(wantKeys.size()));
    EXPECT_EQ(TextsOf(keys), wantKeys) << text;
    EXPECT_EQ(TextsOf(values), wantValues) << text;
  }
  CZQVStringArray keys = ArrayOf({"k"});
  EXPECT_EQ(kxutilsSeparateKeyValues("a=1", &keys, nullptr, ','), -1);
  EXPECT_EQ(TextsOf(keys), Texts{"k"});
}

// Appended after "pre:"; arrays of different lengths give 0 and append nothing.
TEST(kxutilsMakeKeyValuesStr, AppendsPairs) {
  const std::tuple<Texts, Texts, int, int, std::string> cases[] = {
      {{"a", "b"}, {"1", "2"}, ',', 2, "a=1,b=2"},
      {{"", "b"}, {"", ""}, ' ', 2, "= b="},
      {{"a", "b"}, {"1", "2", "3"}, ',', 0, ""},
      {{}, {}, ',', 0, ""}};
  for (const auto& [keyTexts, valueTexts, chSep, nExpected, expected] : cases) {
    CZQVStringArray keys = ArrayOf(keyTexts);
    CZQVStringArray values = ArrayOf(valueTexts);
    CStringUTF8 strResult("pre:");
    EXPECT_EQ(kxutilsMakeKeyValuesStr(&strResult, &keys, &values, chSep), nExpected);
    EXPECT_EQ(std::string(strResult), "pre:" + expected);
  }
  CZQVStringArray keys = ArrayOf({"a"});
  CStringUTF8 strResult("keep");
  EXPECT_EQ(kxutilsMakeKeyValuesStr(&strResult, &keys, nullptr, ','), -1);
  EXPECT_EQ(kxutilsMakeKeyValuesStr(nullptr, &keys, &keys, ','), -1);
  EXPECT_EQ(strResult, "keep");
}

TEST(kxutilsMakeKeyValuesStr, ResultMayBeAKeyOrValue) {
  CZQVStringArray pair = ArrayOf({"x"});
  EXPECT_EQ(kxutilsMakeKeyValuesStr(&pair[0], &pair, &pair, ','), 1);
  EXPECT_EQ(TextsOf(pair), Texts{"xx=x"});
}

}  // namespace
