// Joining tokens into one text and separating a text by a string.
#include <kxutils96/tokens/join_tokens.h>
#include <kxutils96/tokens/separate_by_str.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/array_text.h"

namespace {

using namespace kxu::test;

// Joined with ';' and with ", ", the result's old text replaced.
TEST(kxutilsSetTokens, JoinsWithSeparatorBetweenElements) {
  const std::tuple<Texts, std::string, std::string> cases[] = {
      {{}, "", ""}, {{"a", "b", "c"}, "a;b;c", "a, b, c"}, {{"", "", ""}, ";;", ", , "}};
  for (const auto& [texts, byChar, byText] : cases) {
    CZQVStringArray tokens = ArrayOf(texts);
    CStringUTF8 strResult("old");
    EXPECT_EQ(kxutilsSetTokens(&strResult, &tokens, ';'), static_cast<int>(texts.size()));
    EXPECT_EQ(std::string(strResult), byChar);
    strResult = "old";
    EXPECT_EQ(kxutilsSetTokensByStr(&strResult, &tokens, ", "), static_cast<int>(texts.size()));
    EXPECT_EQ(std::string(strResult), byText);
  }
  CZQVStringArray tokens = ArrayOf({"a", "b"});
  CStringUTF8 strResult;
  EXPECT_EQ(kxutilsSetTokens(&strResult, &tokens, '\0'), 2);
  EXPECT_EQ(std::string(strResult.GetString(), strResult.GetLength()), std::string("a\0b", 3));
  EXPECT_EQ(kxutilsSetTokensByStr(&strResult, &tokens, ""), 2);
  EXPECT_EQ(strResult, "ab");
}

TEST(kxutilsSetTokens, ResultMayBeAnInput) {
  CZQVStringArray tokens = ArrayOf({"a", "b"});
  CStringUTF8 strResult(", ");
  EXPECT_EQ(kxutilsSetTokensByStr(&strResult, &tokens, strResult), 2);
  EXPECT_EQ(strResult, "a, b");
  EXPECT_EQ(kxutilsSetTokens(&tokens[1], &tokens, ';'), 2);
  EXPECT_EQ(TextsOf(tokens), (Texts{"a", "a;b"}));
}

TEST(kxutilsSetTokens, NullArgumentsChangeNothing) {
  CZQVStringArray tokens = ArrayOf({"a"});
  CStringUTF8 strResult("keep");
  EXPECT_EQ(kxutilsSetTokens(&strResult, nullptr, ','), -1);
  EXPECT_EQ(kxutilsSetTokens(nullptr, &tokens, ','), -1);
  EXPECT_EQ(kxutilsSetTokensByStr(&strResult, &tokens, nullptr), -1);
  EXPECT_EQ(strResult, "keep");
}

TEST(kxutilsSeparateByStr, CutsAtEveryOccurrence) {
  const std::tuple<std::string, std::string, Texts> cases[] = {
      {"abc", ",", {"abc"}},         {"a,b,", ",", {"a", "b", ""}},
      {"a,,b", ",", {"a", "", "b"}}, {"a::b::c", "::", {"a", "b", "c"}},
      {"a:::b", "::", {"a", ":b"}},  {"", ",", {}},
  };
  for (const auto& [text, separator, expected] : cases) {
    CZQVStringArray result = ArrayOf({"left over"});
    EXPECT_EQ(kxutilsSeparateByStr(text.c_str(), &result, separator.c_str()),
              static_cast<int>(expected.size()));
    EXPECT_EQ(TextsOf(result), expected) << text;
  }
}

TEST(kxutilsSeparateByStr, BadArguments) {
  CZQVStringArray result = ArrayOf({"keep"});
  EXPECT_EQ(kxutilsSeparateByStr("a,b", &result, ""), -1);
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
