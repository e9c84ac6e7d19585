// What the zq conversions add to the system's conversion calls (whose codec
// the platform's tests hold): the length and terminator rules, what a failure
// leaves, the report of a default character, and the array forms; and
// code-page text to UTF-8 straight into the string.
#include <kxutils96/strings/encoding_conversions.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <kxutils96/platform/text/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <kxutils96/strings/wide_conversion.h>

#include "support/array_text.h"
#include "support/code_page_reference.h"

namespace {

using namespace kxu::test;
using U16 = std::basic_string<WCHAR>;

constexpr int kUnknownPage = 12345;

template <class String>
auto Units(const String& str) {
  return std::basic_string(str.GetString(), static_cast<std::size_t>(str.GetLength()));
}

TEST(ZqMBCStoUTF16Test, ConvertsWithTheLengthAndTerminatorRules) {
  const char embedded[] = "ab\0cd";
  // A length without the NUL keeps every character; one past the NUL ends at the NUL.
  const std::tuple<const char*, int, int, U16> rows[] = {
      {"caf\xE9", 1252, -1, u"café"}, {"abcdef", 1252, 2, u"ab"}, {embedded, 1252, 5, u"ab"},
      {nullptr, 1252, -1, u""},       {"abc", 1252, 0, u""},      {"abc", kUnknownPage, -1, u""},
  };
  for (const auto& [pSource, nCodePage, nLen, expected] : rows) {
    CString strDest(u"old");
    EXPECT_EQ(zqMBCStoUTF16(strDest, pSource, nCodePage, nLen), static_cast<int>(expected.size()))
        << nLen;
    EXPECT_EQ(Units(strDest), expected) << nLen;
  }
  // A destination with room for the result keeps all of it for the next one.
  CString strRoomy(u"a text longer than the result");
  const int nRoom = strRoomy.GetAllocLength();
  zqMBCStoUTF16(strRoomy, "caf\xE9", 1252, -1);
  EXPECT_EQ(strRoomy.GetAllocLength(), nRoom);
}

TEST(ZqUTF16toMBCSTest, ConvertsReportsAndEmpties) {
  struct Row {
    U16 source;
    int nCodePage;
    int nLen;
    DWORD dwFlags;
    std::string expected;
    int bUsedDefault;
  };
  const Row rows[] = {
      {u"na\u00EFve", 1252, -1, 0, "na\xEFve", FALSE},
      {u"a\u4E2D", 1252, -1, WC_NO_BEST_FIT_CHARS, "a?", TRUE},
      {u"abcdef", 1252, 2, 0, "ab", -1},
      {U16(u"ab\0cd", 5), 1252, 5, 0, "ab", -1},
      {u"abc", kUnknownPage, -1, 0, "", -1},
  };
  for (const auto& [source, nCodePage, nLen, dwFlags, expected, bUsedDefault] : rows) {
    CStringA strDest("old");
    int bUsed = -1;
    EXPECT_EQ(zqUTF16toMBCS(strDest, source.c_str(), nCodePage, nLen,
                            bUsedDefault == -1 ? nullptr : &bUsed, dwFlags),
              static_cast<int>(expected.size()));
    EXPECT_EQ(Units(strDest), expected);
    EXPECT_EQ(bUsed, bUsedDefault) << expected;
  }
  CStringA strDest("old");
  EXPECT_EQ(zqUTF16toMBCS(strDest, nullptr, 1252, -1, nullptr, 0), 0);
  EXPECT_TRUE(strDest.IsEmpty());
  CStringUTF8 strUtf8("old");
  EXPECT_EQ(zqUTF16toUTF8(strUtf8, u"\U0001F600!\u00E9", 3), 5);
  EXPECT_EQ(Units(strUtf8), "\xF0\x9F\x98\x80!");
  // From UTF-8 the length counts bytes of the source.
  EXPECT_EQ(zqUTF8toMBCS(strDest, "\xC3\xA9t\xC3\xA9", 1252, 3), 2);
  EXPECT_EQ(Units(strDest), "\xE9t");
}

// A string's room is filled piece by piece (8192 units a piece), the
// text's end found as it goes: the results are the codec's on the whole run
// (a pair across a piece's end, a caller's length that splits it, a lone
// high surrogate ending the text), also into too little room or none, and a
// strict conversion fails whole.
TEST(ZqUTF16toMBCSTest, TextsConvertedIntoRoomPieceByPieceAsWhole) {
  constexpr int kPiece = 8192;
  U16 text(std::size_t{3} * kPiece, u'a');
  text[kPiece - 1] = 0xD83D;
  text[kPiece] = 0xDE00;
  text.back() = 0xD800;
  for (const int nLen : {-1, kPiece, 2 * kPiece + 5}) {
    const std::string expected = kxu::platform::Utf16ToUtf8(std::basic_string_view<WCHAR>(
        text.c_str(), nLen < 0 ? text.size() : static_cast<std::size_t>(nLen)));
    CStringUTF8 strRoomy;
    strRoomy.Preallocate(4 * kPiece);
    CStringUTF8 strShort("short");
    CStringUTF8 strFresh;
    for (CStringUTF8* pDest : {&strRoomy, &strShort, &strFresh}) {
      EXPECT_EQ(zqUTF16toUTF8(*pDest, text.c_str(), nLen), static_cast<int>(expected.size()));
      EXPECT_EQ(Units(*pDest), expected) << nLen;
    }
  }
  CStringA strDest("old");
  EXPECT_EQ(zqUTF16toMBCS(strDest, text.c_str(), CP_UTF8, -1, nullptr, WC_ERR_INVALID_CHARS), 0);
  EXPECT_TRUE(strDest.IsEmpty());
}

std::vector<U16> WideTexts(const CStringArray& array) {
  std::vector<U16> texts;
  for (INT_PTR i = 0; i < array.GetSize(); ++i) texts.push_back(Units(array[i]));
  return texts;
}

TEST(ZqArrayTest, EachFormConvertsEveryElementAndTakesTheSourceCount) {
  CStringArray saWide;
  saWide.SetSize(7);
  CZQVStringArray saUtf8 = ArrayOf({"x", "", "\xE4\xB8\xAD"});
  EXPECT_EQ(zqUTF8toUTF16(saWide, saUtf8), 3);
  EXPECT_EQ(WideTexts(saWide), (std::vector<U16>{u"x", u"", u"中"}));
  saWide[0] = CString(u"\u00E9");
  saUtf8 = ArrayOf({"1", "2", "3", "4", "5"});
  EXPECT_EQ(zqUTF16toUTF8(saUtf8, saWide), 3);
  EXPECT_EQ(TextsOf(saUtf8), (Texts{"\xC3\xA9", "", "\xE4\xB8\xAD"}));
  CZQVStringArray sa = ArrayOf({"\xE9t\xE9", "", "\x80"});
  EXPECT_EQ(zqMBCStoUTF8(sa, 1252), 3);
  EXPECT_EQ(TextsOf(sa), (Texts{"\xC3\xA9t\xC3\xA9", "", "\xE2\x82\xAC"}));
  EXPECT_EQ(zqUTF8toMBCS(sa, 1252), 3);
  EXPECT_EQ(TextsOf(sa), (Texts{"\xE9t\xE9", "", "\x80"}));
  CZQVStringArray saEmpty;
  EXPECT_EQ(zqUTF8toUTF16(saWide, saEmpty), 0);
  EXPECT_EQ(saWide.GetSize(), 0);
}

// Buffers of no units: the conversions must not even look at a first unit.
TEST(ZeroLengthRunTest, ReadsNoUnit) {
  const std::unique_ptr<char[]> pNoBytes(new char[0]);
  const std::unique_ptr<WCHAR[]> pNoUnits(new WCHAR[0]);
  CString strWide(u"old");
  CStringA strBytes("old");
  EXPECT_EQ(kxu::strings::ConvertToWide(strWide, pNoBytes.get(), 65001, 0), 0);
  EXPECT_EQ(zqUTF16toMBCS(strBytes, pNoUnits.get(), 1252, 0, nullptr, 0), 0);
  EXPECT_TRUE(strWide.IsEmpty());
  EXPECT_TRUE(strBytes.IsEmpty());
}

// Code-page text converts to UTF-8 straight from the source into the
// string (single-byte pages through their tables, the others by way of
// UTF-16), or within the string when the source is the string itself. Both
// against the system's conversion to UTF-16 followed by the codec, over
// random texts whose non-ASCII bytes lie anywhere in and across blocks (in
// 932 also cut double-byte codes and lone lead bytes), into a string reused
// from text to text.
TEST(ZqMBCStoUTF8Test, CodePagesConvertAsTheSystemDoes) {
  std::mt19937 rng(1252);
  CStringUTF8 reused;
  for (const UINT nPage : {1252u, 1251u, 437u, 932u}) {
    for (int round = 0; round < 400; ++round) {
      // Up to nine blocks; from no byte to every byte beyond ASCII.
      std::string text(rng() % 150, ' ');
      const unsigned nHighInFour = rng() % 5;
      for (char& ch : text) {
        ch = static_cast<char>(rng() % 4 < nHighInFour ? 0x80 + rng() % 0x80 : ' ' + rng() % 0x5F);
      }
      const std::string expected = kxu::test::Utf8ByWayOfUtf16(text, nPage);
      SCOPED_TRACE(testing::Message() << "page " << nPage << " round " << round);
      EXPECT_EQ(zqMBCStoUTF8(reused, text.c_str(), static_cast<int>(nPage)),
                static_cast<int>(expected.size()));
      EXPECT_EQ(TextOf(reused), expected);
      CStringUTF8 inPlace(text.c_str());
      EXPECT_EQ(zqMBCStoUTF8(inPlace, nullptr, static_cast<int>(nPage)),
                static_cast<int>(expected.size()));
      EXPECT_EQ(TextOf(inPlace), expected);
    }
  }
}

}  // namespace
