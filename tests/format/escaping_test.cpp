// URL encoding, HTML entities, C literal bodies and identifiers.
#include <kxutils96/format/transforms/escaping.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string TextOf(const CStringUTF8& str) {
  return std::string(str.GetString(), static_cast<std::size_t>(str.GetLength()));
}

struct UrlCase {
  const char* name;
  std::string text;
  int bEncode;
  std::string expected;
};

class UrlEncodeTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(UrlEncodeTest, ByteExact) {
  const UrlCase& c = GetParam();
  CStringUTF8 url(c.text.data(), static_cast<int>(c.text.size()));
  kxu_url_encode(&url, c.bEncode);
  EXPECT_EQ(TextOf(url), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    kxu_url_encode, UrlEncodeTest,
    ::testing::Values(UrlCase{"EncodeMixed", "a b&c/\xC3\xBC", 1, "a+b%26c%2F%C3%BC"},
                      UrlCase{"EncodeEmpty", "", 1, ""},
                      UrlCase{"EncodeUnreservedToo", "-._~", 1, "%2D%2E%5F%7E"},
                      UrlCase{"EncodeControlAndHigh", "\x01\xFF", 1, "%01%FF"},
                      UrlCase{"EncodeKeepsAlnum", "AZaz09", 1, "AZaz09"},
                      UrlCase{"DecodeMixed", "a+b%26c", 0, "a b&c"},
                      UrlCase{"DecodeLowerHex", "%c3%bc", 0, "\xC3\xBC"},
                      UrlCase{"DecodePercentAtEnd", "100%", 0, "100"},
                      UrlCase{"DecodePercentAndOneByte", "%4", 0, "4"},
                      UrlCase{"DecodePercentAndOneByteKept", "%+", 0, "+"},
                      UrlCase{"DecodePercentPercentAtEnd", "100%%", 0, "100%"},
                      UrlCase{"DecodeNotHex", "%zz", 0, "3"},
                      UrlCase{"DecodeNulEndsText", "ab%00cd", 0, "ab"},
                      UrlCase{"DecodePercentPercent", "%%41", 0, std::string(1, '\xE4') + "1"},
                      UrlCase{"DecodePlainBytesStay", "a-b.c", 0, "a-b.c"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxu_url_encode, NullDoesNothing) {
  kxu_url_encode(nullptr, 1);
  kxu_url_encode(nullptr, 0);
}

TEST(kxu_url_encode, EveryByteRoundTrips) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  CStringUTF8 url(all.data(), static_cast<int>(all.size()));
  kxu_url_encode(&url, 1);
  kxu_url_encode(&url, 0);
  EXPECT_EQ(TextOf(url), all);
}

struct HtmlCase {
  const char* name;
  const char* text;
  const char* chars;
  int bUnescape;
  const char* expected;
  int nResult;
};

class HtmlEscapeTest : public ::testing::TestWithParam<HtmlCase> {};

TEST_P(HtmlEscapeTest, Utf8) {
  const HtmlCase& c = GetParam();
  CStringUTF8 text(c.text);
  EXPECT_EQ(kxu_check_escape_html_charcters(&text, c.chars, c.bUnescape), c.nResult);
  EXPECT_STREQ(text.GetString(), c.expected);
}

// The same table through the wide variant (the texts are ASCII).
TEST_P(HtmlEscapeTest, Wide) {
  const HtmlCase& c = GetParam();
  auto widen = [](const char* p) {
    std::u16string w;
    for (; *p != '\0'; ++p) w += static_cast<char16_t>(static_cast<unsigned char>(*p));
    return w;
  };
  CStringW text(widen(c.text).c_str());
  EXPECT_EQ(kxutilsCheckEscapeHTMLCharcters(&text, widen(c.chars).c_str(), c.bUnescape), c.nResult);
  EXPECT_EQ(std::u16string(text.GetString()), widen(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    kxu_check_escape_html_charcters, HtmlEscapeTest,
    ::testing::Values(HtmlCase{"EscapeFive", "a<b & \"c\"", "&<>\" ", 0,
                               "a&lt;b&nbsp;&amp;&nbsp;&quot;c&quot;", 1},
                      HtmlCase{"NoneInText", "plain", "<>", 0, "plain", 0},
                      HtmlCase{"OnlyChosenChars", "<a&b>", "<", 0, "&lt;a&b>", 1},
                      HtmlCase{"LineFeedGivesShortBreak", "a\nb", "\n", 0, "a<br>b", 1},
                      HtmlCase{"UnescapeAmpersandLast", "&amp;lt;", "&<", 1, "&lt;", 1},
                      HtmlCase{"UnescapeBothBreaks", "a<br />b<br>c", "\n", 1, "a\nb\nc", 1},
                      HtmlCase{"UnescapeOtherFormsStay", "&LT;<br/>", "<\n", 1, "&LT;<br/>", 0},
                      HtmlCase{"UnescapeOnlyChosen", "&lt;&gt;", ">", 1, "&lt;>", 1},
                      HtmlCase{"EmptySet", "a<b", "", 0, "a<b", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxu_check_escape_html_charcters, EscapeThenUnescapeGivesTheTextBack) {
  const char* set = "&<>\" \n";
  CStringUTF8 text("x < y && z > \"w\"\nnext line");
  kxu_check_escape_html_charcters(&text, set, 0);
  kxu_check_escape_html_charcters(&text, set, 1);
  EXPECT_STREQ(text.GetString(), "x < y && z > \"w\"\nnext line");
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

TEST(kxu_check_escape_html_charcters, NullPointersGiveZero) {
  CStringUTF8 text("a<b");
  EXPECT_EQ(kxu_check_escape_html_charcters(nullptr, "<", 0), 0);
  EXPECT_EQ(kxu_check_escape_html_charcters(&text, nullptr, 0), 0);
  EXPECT_EQ(kxutilsCheckEscapeHTMLCharcters(nullptr, u"<", 0), 0);
  EXPECT_STREQ(text.GetString(), "a<b");
}

struct CStringCase {
  const char* name;
  const char* source;
  const char* expected;
};

class MakeCStringTest : public ::testing::TestWithParam<CStringCase> {};

TEST_P(MakeCStringTest, EscapesWhatACompilerNeeds) {
  const CStringCase& c = GetParam();
  CStringUTF8 result("old");
  kxu_make_C_string_from_ascii(c.source, &result);
  EXPECT_STREQ(result.GetString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    kxu_make_C_string_from_ascii, MakeCStringTest,
    ::testing::Values(CStringCase{"Plain", "abc", "abc"},
                      CStringCase{"QuotesAndLineFeed", "say \"hi\"\n", "say \\\"hi\\\"\\n"},
                      CStringCase{"Backslash", "a\\b", "a\\\\b"},
                      CStringCase{"Controls", "\t\r\a\b\f\v", "\\t\\r\\a\\b\\f\\v"},
                      CStringCase{"OctalNotExtendedByDigit",
                                  "\x1b"
                                  "1",
                                  "\\0331"},
                      CStringCase{"Delete", "\x7f", "\\177"},
                      CStringCase{"Utf8Stays", "\xC3\xBC", "\xC3\xBC"},
                      CStringCase{"SingleQuoteStays", "it's", "it's"},
                      CStringCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxu_make_C_string_from_ascii, NullResultDoesNothing) {
  kxu_make_C_string_from_ascii("abc", nullptr);
}

TEST(kxu_make_C_string_from_ascii, SourceMayBeTheResult) {
  CStringUTF8 result("a\"b");
  kxu_make_C_string_from_ascii(result, &result);
  EXPECT_STREQ(result.GetString(), "a\\\"b");
}

struct CNameCase {
  const char* name;
  std::string text;
  char chPrefix;
  const char* expected;
};

class MakeValidCNameTest : public ::testing::TestWithParam<CNameCase> {};

TEST_P(MakeValidCNameTest, GivesAnIdentifier) {
  const CNameCase& c = GetParam();
  CStringUTF8 text(c.text.data(), static_cast<int>(c.text.size()));
  kxuMakeValidCName(&text, c.chPrefix);
  EXPECT_STREQ(text.GetString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    kxuMakeValidCName, MakeValidCNameTest,
    ::testing::Values(CNameCase{"UnderscorePrefix", "3d-plot", '_', "_3dplot"},
                      CNameCase{"LetterPrefix", "3d-plot", 'v', "v3dplot"},
                      CNameCase{"NoPrefixDropsDigits", "3d-plot", '\0', "dplot"},
                      CNameCase{"OtherPrefixDropsDigits", "12ab", '-', "ab"},
                      CNameCase{"AllDigits", "123", '\0', ""},
                      CNameCase{"AlreadyValid", "good_name2", '_', "good_name2"},
                      CNameCase{"NonAsciiDeleted",
                                "gr\xC3\xBC\xC3\x9F"
                                "e",
                                '_', "gre"},
                      CNameCase{"NothingLeft", "-+ ", '_', ""}, CNameCase{"Empty", "", '_', ""},
                      CNameCase{"EmbeddedNulDeleted", std::string("ab\0cd", 5), '_', "abcd"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(kxuMakeValidCName, NullDoesNothing) {
  kxuMakeValidCName(nullptr, '_');
}

}  // namespace
