#include <kxutils96/tokens/join_tokens.h>

#include <gtest/gtest.h>

#include <string>

#include "support/array_text.h"

namespace {

using kxu::test::ArrayOf;
using kxu::test::Texts;
using kxu::test::TextsOf;

struct JoinCase {
  const char* name;
  Texts tokens;
  std::string expectedByChar;  // joined with ';'
  std::string expectedByText;  // joined with ", "
};

class JoinTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinTest, JoinsWithSeparatorBetweenElements) {
  const JoinCase& c = GetParam();
  CZQVStringArray tokens = ArrayOf(c.tokens);
  CStringUTF8 strResult("old");
  EXPECT_EQ(kxutilsSetTokens(&strResult, &tokens, ';'), static_cast<int>(c.tokens.size()));
  EXPECT_EQ(std::string(strResult), c.expectedByChar);
  strResult = "old";
  EXPECT_EQ(kxutilsSetTokensByStr(&strResult, &tokens, ", "), static_cast<int>(c.tokens.size()));
  EXPECT_EQ(std::string(strResult), c.expectedByText);
}

INSTANTIATE_TEST_SUITE_P(
    kxutilsSetTokens, JoinTest,
    ::testing::Values(JoinCase{"Empty", {}, "", ""}, JoinCase{"One", {"a"}, "a", "a"},
                      JoinCase{"Three", {"a", "b", "c"}, "a;b;c", "a, b, c"},
                      JoinCase{"EmptyElements", {"", "", ""}, ";;", ", , "},
                      JoinCase{"Utf8", {"\xC3\xA9", "x"}, "\xC3\xA9;x", "\xC3\xA9, x"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxutilsSetTokens, ResultMayBeAnInput) {
  CZQVStringArray tokens = ArrayOf({"a", "b"});
  CStringUTF8 strResult(", ");
  EXPECT_EQ(kxutilsSetTokensByStr(&strResult, &tokens, strResult), 2);
  EXPECT_EQ(strResult, "a, b");
  EXPECT_EQ(kxutilsSetTokens(&tokens[1], &tokens, ';'), 2);
  EXPECT_EQ(TextsOf(tokens), (Texts{"a", "a;b"}));
}

TEST(kxutilsSetTokens, NulSeparatorIsAppendedAsAByte) {
  CZQVStringArray tokens = ArrayOf({"a", "b"});
  CStringUTF8 strResult;
  EXPECT_EQ(kxutilsSetTokens(&strResult, &tokens, '\0'), 2);
  EXPECT_EQ(std::string(strResult.GetString(), strResult.GetLength()), std::string("a\0b", 3));
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

TEST(kxutilsSetTokensByStr, EmptySeparatorConcatenates) {
  CZQVStringArray tokens = ArrayOf({"a", "b"});
  CStringUTF8 strResult;
  EXPECT_EQ(kxutilsSetTokensByStr(&strResult, &tokens, ""), 2);
  EXPECT_EQ(strResult, "ab");
}

}  // namespace
