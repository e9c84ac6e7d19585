#include <kxutils96/tokens/token_splitter.h>

#include <gtest/gtest.h>

#include <kxutils96/host/zutl96/zutl96.h>

#include <string>
#include <tuple>

#include "support/array_text.h"
#include "support/concurrently.h"

using namespace kxu::zutl96;

namespace {

using namespace kxu::test;
using namespace kxu::tokens;

// Each row splits into an array that held a longer old element, and counts
// the same without one.
TEST(kxutilsGetTokens, SplitsAndFinishesTokens) {
  const DWORD kBackslash = DWORD{kSplitExtendedSearch} | DWORD{kCsvBackslashEscapes};
  const std::tuple<std::string, char, int, DWORD, Texts> cases[] = {
      {"a,b,", ',', 0, 0, {"a", "b", ""}},
      {"", ',', 0, 0, {}},
      {"\"a,b\",c", ',', 0, 0, {"\"a,b\"", "c"}},
      {"\"a;b\";c", ';', kQuoteDouble, 0, {"\"a;b\"", "c"}},
      {"one\r\ntwo\r\n", '\n', 0, 0, {"one", "two", ""}},
      {"a\r\r\nb", '\n', 0, 0, {"a\r", "b"}},
      {" a,\t b ", ',', kQuoteSkipLeadingWhite, 0, {"a", "b "}},
      {"\"a,b\",c", ',', kQuoteDouble, 0, {"a,b", "c"}},
      {" \"x\"\"y\" ,z", ',', kQuoteDouble, 0, {"x\"y ", "z"}},
      {"a\"b\",c", ',', kQuoteDouble, 0, {"a\"b\"", "c"}},
      {"\"a\\\"b\",c", ',', kQuoteDouble, 0, {"a\\b\"", "c"}},
      {"\"a\\\",b\",c", ',', kQuoteDouble, kBackslash, {"a\",b", "c"}},
      {"<a,b>,c", ',', kQuoteAngleBrackets, 0, {"<a,b>", "c"}},
      {"  a \t b\r\nc  ", 0, 0, 0, {"a", "b", "c"}},
      {"   ", 0, 0, 0, {""}},
      {"x \"a b\" y", 0, 0, 0, {"x", "\"a b\"", "y"}},
      {"x \"a b\" 'c'", 0, '"', 0, {"x", "a b", "'c'"}},
      {"'a b' \"c\"", 0, '\'', 0, {"a b", "\"c\""}},
      {"\"a b\" (c d) [e] x", 0, kQuoteUnquoteAll, 0, {"a b", "c d", "e", "x"}},
  };
  for (const auto& [text, chSep, nQuote, dwFlags, expected] : cases) {
    CZQVStringArray tokens = ArrayOf({"a much longer old element", "x", "y", "z"});
    const int nCount = kxutilsGetTokens(text.c_str(), &tokens, chSep, nullptr, nQuote, dwFlags);
    EXPECT_EQ(TextsOf(tokens), expected) << text;
    EXPECT_EQ(nCount, static_cast<int>(expected.size())) << text;
    EXPECT_EQ(kxutilsGetTokens(text.c_str(), nullptr, chSep, nullptr, nQuote, dwFlags), nCount)
        << text;
  }
}

// A null text is one empty token; a state that says "inside a double quote"
// keeps the first comma hidden and comes back outside.
TEST(kxutilsGetTokens, NullTextAndTheSearchState) {
  CZQVStringArray tokens = ArrayOf({"a"});
  EXPECT_EQ(kxutilsGetTokens(nullptr, &tokens, ',', nullptr, 0, 0), 1);
  EXPECT_EQ(TextsOf(tokens), Texts{""});
  int nState = '"';
  EXPECT_EQ(kxutilsGetTokens("a,b\",c", &tokens, ',', &nState, 0, 0), 2);
  EXPECT_EQ(TextsOf(tokens), (Texts{"a,b\"", "c"}));
  EXPECT_EQ(nState, kSearchOutsideQuotes);
}

TEST(kxutilsGetTokens, RestoresTheAngleSwitch) {
  for (const int nSwitch : {0, 1}) {
    const int nBefore = set_parenth_use_angle_brackets(nSwitch);
    kxutilsGetTokens("<a,b>", nullptr, ',', nullptr, kQuoteAngleBrackets, 0);
    EXPECT_EQ(set_parenth_use_angle_brackets(nBefore), nSwitch);
  }
}

// The angle-bracket switch that a split turns on and restores, while other
// threads split without it: only the splits that ask keep "<a,b>" whole.
TEST(AngleBracketThreads, EachSplitSeesOnlyItsOwnSetting) {
  kxu::test::RunConcurrently(kxu::test::kThreads, [](int k) {
    const bool bAngle = k % 2 == 0;
    const int nQuote = bAngle ? kQuoteAngleBrackets : 0;
    for (int i = 0; i < 200; ++i)
      EXPECT_EQ(kxutilsGetTokens("<a,b>,c", nullptr, ',', nullptr, nQuote, 0), bAngle ? 2 : 3);
  });
}

}  // namespace
