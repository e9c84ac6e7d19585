// URL encoding, HTML entities, C literal bodies and identifiers.
#include <kxutils96/format/transforms/escaping.h>

#include <gtest/gtest.h>

#include "support/array_text.h"

#include <string>
#include <tuple>

namespace {

using kxu::test::TextOf;

TEST(kxu_url_encode, EncodesEveryByteButLettersAndDigitsAndDecodesLeniently) {
  const std::tuple<std::string, int, std::string> rows[] = {
      {"AZaz09 b&c/\xC3\xBC", 1, "AZaz09+b%26c%2F%C3%BC"},
      {"-._~\x01\xFF", 1, "%2D%2E%5F%7E%01%FF"},
      {"a+b%26c", 0, "a b&c"},
      {"%c3%bc", 0, "\xC3\xBC"},
      {"100%", 0, "100"},
      {"%+", 0, "+"},  // the byte after a last-but-one % is kept
      {"%zz", 0, "3"},
      {"ab%00cd", 0, "ab"},  // a NUL ends the text
      {"%%41", 0, "\xE4\x31"}};
  for (const auto& [text, bEncode, expected] : rows) {
    CStringUTF8 url(text.c_str());
    kxu_url_encode(&url, bEncode);
    EXPECT_EQ(TextOf(url), expected) << text;
  }
  kxu_url_encode(nullptr, 0);  // no crash
}

// The wide form is the URL and HTML fuzz target's, which holds it to this one
// on every input. (A set that is the text itself, which the first
// replacement rewrites, is the aliasing fuzz target's.)
TEST(kxu_check_escape_html_charcters, EscapesAndUnescapesTheChosenCharacters) {
  struct Row {
    const char* source;
    const char* chars;
    int bUnescape;
    const char* expected;
    int nResult;
  };
  const Row rows[] = {{"a<b & \"c\"", "&<>\" ", 0, "a&lt;b&nbsp;&amp;&nbsp;&quot;c&quot;", 1},
                      {"plain", "<>", 0, "plain", 0},
                      {"<a&b>", "<", 0, "&lt;a&b>", 1},
                      {"a\nb", "\n", 0, "a<br>b", 1},
                      {"&amp;lt;", "&<", 1, "&lt;", 1},  // the ampersand last
                      {"a<br />b<br>c", "\n", 1, "a\nb\nc", 1},
                      {"&LT;<br/>", "<\n", 1, "&LT;<br/>", 0},
                      {"&lt;&gt;", ">", 1, "&lt;>", 1}};
  for (const auto& [source, chars, bUnescape, expected, nResult] : rows) {
    CStringUTF8 text(source);
    EXPECT_EQ(kxu_check_escape_html_charcters(&text, chars, bUnescape), nResult);
    EXPECT_STREQ(text.GetString(), expected);
  }
  CStringUTF8 text;
  EXPECT_EQ(kxu_check_escape_html_charcters(nullptr, "<", 0), 0);
  EXPECT_EQ(kxu_check_escape_html_charcters(&text, nullptr, 0), 0);
}

// Each byte's escape is the host's (utlCharToCEscape); this layer strings them.
// (A source that is the result's own text is the aliasing fuzz target's.)
TEST(kxu_make_C_string_from_ascii, EscapesEveryByteThatNeedsIt) {
  CStringUTF8 result("old");
  kxu_make_C_string_from_ascii("say \"hi\"\\\x1b\x31\n", &result);
  EXPECT_STREQ(result.GetString(), "say \\\"hi\\\"\\\\\\0331\\n");
  kxu_make_C_string_from_ascii(nullptr, &result);
  EXPECT_STREQ(result.GetString(), "");
  kxu_make_C_string_from_ascii("abc", nullptr);  // a null result is no crash
}

TEST(kxuMakeValidCName, GivesAnIdentifier) {
  const std::tuple<std::string, char, const char*> rows[] = {
      {"3d-plot", '_', "_3dplot"},
      {"12ab", '-', "ab"},  // leading digits go with a prefix that is no identifier's
      {std::string("ab\0cd", 5), '_', "abcd"}};  // an embedded NUL is deleted
  for (const auto& [source, chPrefix, expected] : rows) {
    CStringUTF8 text(source.data(), static_cast<int>(source.size()));
    kxuMakeValidCName(&text, chPrefix);
    EXPECT_STREQ(text.GetString(), expected) << source;
  }
  kxuMakeValidCName(nullptr, '_');  // no crash
}

}  // namespace
