// URL encoding, HTML entities, C literal bodies and identifiers.
#include <kxutils96/format/transforms/escaping.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string TextOf(const CStringUTF8& str) {
  return std::string(str.GetString(), static_cast<std::size_t>(str.GetLength()));
}

CStringUTF8 Utf8Of(const std::string& text) {
  return CStringUTF8(text.data(), static_cast<int>(text.size()));
}

TEST(kxu_url_encode, EncodesEveryByteButLettersAndDigitsAndDecodesLeniently) {
  const struct {
    std::string text;
    int bEncode;
    std::string expected;
  } rows[] = {
      {"a b&c/\xC3\xBC", 1, "a+b%26c%2F%C3%BC"},
      {"-._~", 1, "%2D%2E%5F%7E"},
      {"\x01\xFF", 1, "%01%FF"},
      {"AZaz09", 1, "AZaz09"},
      {"a+b%26c", 0, "a b&c"},
      {"%c3%bc", 0, "\xC3\xBC"},
      {"100%", 0, "100"},
      {"%+", 0, "+"},  // the byte after a last-but-one % is kept
      {"%zz", 0, "3"},
      {"ab%00cd", 0, "ab"},  // a NUL ends the text
      {"%%41", 0,
       "\xE4"
       "1"},
  };
  for (const auto& row : rows) {
    CStringUTF8 url = Utf8Of(row.text);
    kxu_url_encode(&url, row.bEncode);
    EXPECT_EQ(TextOf(url), row.expected) << row.text;
  }
  kxu_url_encode(nullptr, 0);
}

std::u16string Widen(const char* p) {
  std::u16string w;
  for (; *p != '\0'; ++p) w += static_cast<char16_t>(static_cast<unsigned char>(*p));
  return w;
}

// Both forms, UTF-8 and wide (the texts are ASCII).
TEST(kxu_check_escape_html_charcters, EscapesAndUnescapesTheChosenCharacters) {
  const struct {
    const char* text;
    const char* chars;
    int bUnescape;
    const char* expected;
    int nResult;
  } rows[] = {
      {"a<b & \"c\"", "&<>\" ", 0, "a&lt;b&nbsp;&amp;&nbsp;&quot;c&quot;", 1},
      {"plain", "<>", 0, "plain", 0},
      {"<a&b>", "<", 0, "&lt;a&b>", 1},
      {"a\nb", "\n", 0, "a<br>b", 1},
      {"&amp;lt;", "&<", 1, "&lt;", 1},  // the ampersand last
      {"a<br />b<br>c", "\n", 1, "a\nb\nc", 1},
      {"&LT;<br/>", "<\n", 1, "&LT;<br/>", 0},
      {"&lt;&gt;", ">", 1, "&lt;>", 1},
  };
  for (const auto& row : rows) {
    CStringUTF8 text(row.text);
    EXPECT_EQ(kxu_check_escape_html_charcters(&text, row.chars, row.bUnescape), row.nResult);
    EXPECT_STREQ(text.GetString(), row.expected);
    CStringW wide(Widen(row.text).c_str());
    EXPECT_EQ(kxutilsCheckEscapeHTMLCharcters(&wide, Widen(row.chars).c_str(), row.bUnescape),
              row.nResult);
    EXPECT_EQ(std::u16string(wide.GetString()), Widen(row.expected));
  }
  CStringUTF8 text;
  EXPECT_EQ(kxu_check_escape_html_charcters(nullptr, "<", 0), 0);
  EXPECT_EQ(kxu_check_escape_html_charcters(&text, nullptr, 0), 0);
  EXPECT_EQ(kxutilsCheckEscapeHTMLCharcters(nullptr, u"<", 0), 0);
}

// The set may be the text itself, which the first replacement rewrites.
TEST(kxu_check_escape_html_charcters, SetReadFromTheText) {
  CStringUTF8 text("<>");
  EXPECT_EQ(kxu_check_escape_html_charcters(&text, text.GetString(), 0), 1);
  EXPECT_STREQ(text.GetString(), "&lt;&gt;");
  CStringW wide(u"<>");
  EXPECT_EQ(kxutilsCheckEscapeHTMLCharcters(&wide, wide.GetString(), 0), 1);
  EXPECT_EQ(std::u16string(wide.GetString()), u"&lt;&gt;");
}

// Each byte's escape is the host's (utlCharToCEscape); this layer strings them.
TEST(kxu_make_C_string_from_ascii, EscapesEveryByteThatNeedsIt) {
  CStringUTF8 result("old");
  kxu_make_C_string_from_ascii(
      "say \"hi\"\x1b"
      "1\n",
      &result);
  EXPECT_STREQ(result.GetString(), "say \\\"hi\\\"\\0331\\n");
  kxu_make_C_string_from_ascii(nullptr, &result);
  EXPECT_STREQ(result.GetString(), "");
  kxu_make_C_string_from_ascii("abc", nullptr);
  // The source may be the result's own text.
  CStringUTF8 own("a\"b");
  kxu_make_C_string_from_ascii(own, &own);
  EXPECT_STREQ(own.GetString(), "a\\\"b");
}

TEST(kxuMakeValidCName, GivesAnIdentifier) {
  const struct {
    std::string text;
    char chPrefix;
    const char* expected;
  } rows[] = {{"3d-plot", '_', "_3dplot"},
              {"3d-plot", '\0', "dplot"},  // without a prefix leading digits go
              {"12ab", '-', "ab"},         // and with one that is no identifier's
              {"123", '\0', ""},
              {"gr\xC3\xBC\xC3\x9F"
               "e",
               '_', "gre"},
              {std::string("ab\0cd", 5), '_', "abcd"}};  // an embedded NUL is deleted
  for (const auto& row : rows) {
    CStringUTF8 text = Utf8Of(row.text);
    kxuMakeValidCName(&text, row.chPrefix);
    EXPECT_STREQ(text.GetString(), row.expected) << row.text;
  }
  kxuMakeValidCName(nullptr, '_');
}

}  // namespace
