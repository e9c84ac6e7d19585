#include <kxutils96/tokens/join_tokens.h>

#include <gtest/gtest.h>

#include <string>

#include "support/array_text.h"

namespace {

using kxu::test::ArrayOf;
using kxu::test::Texts;
using kxu::test::TextsOf;

// Joined with ';' and with ", ", the result's old text replaced.
TEST(kxutilsSetTokens, JoinsWithSeparatorBetweenElements) {
  const struct {
    Texts tokens;
    std::string byChar, byText;
  } cases[] = {{{}, "", ""},
               {{"a"}, "a", "a"},
               {{"a", "b", "c"}, "a;b;c", "a, b, c"},
               {{"", "", ""}, ";;", ", , "}};
  for (const auto& c : cases) {
    CZQVStringArray tokens = ArrayOf(c.tokens);
    CStringUTF8 strResult("old");
    EXPECT_EQ(kxutilsSetTokens(&strResult, &tokens, ';'), static_cast<int>(c.tokens.size()));
    EXPECT_EQ(std::string(strResult), c.byChar);
    strResult = "old";
    EXPECT_EQ(kxutilsSetTokensByStr(&strResult, &tokens, ", "), static_cast<int>(c.tokens.size()));
    EXPECT_EQ(std::string(strResult), c.byText);
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
  EXPECT_EQ(kxutilsSetTokensByStr(&strResult, nullptr, ","), -1);
  EXPECT_EQ(kxutilsSetTokensByStr(&strResult, &tokens, nullptr), -1);
  EXPECT_EQ(kxutilsSetTokensByStr(nullptr, &tokens, ","), -1);
  EXPECT_EQ(strResult, "keep");
}

}  // namespace
