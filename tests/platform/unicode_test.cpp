// The UTF-8 and UTF-16 codec: the boundaries of each sequence length, one
// U+FFFD per maximal invalid subsequence, lone surrogates, escaping, every
// scalar value, and generated texts whose block-by-block conversion must
// match the pieces' own.
#include <kxutils96/platform/win32/unicode.h>

#include <gtest/gtest.h>

#include "support/hex_text.h"

#include <random>
#include <string>
#include <string_view>

namespace {

using kxu::platform::InvalidInput;
using kxu::platform::IsValidUtf8;
using kxu::platform::Utf16ToUtf8;
using kxu::platform::Utf8ToUtf16;
using kxu::test::Hex;
using U16 = std::basic_string<WCHAR>;

constexpr WCHAR kFFFD = 0xFFFD;

// Rows that round-trip are valid UTF-8 read both ways; the others are what
// decoding gives.
TEST(UnicodeTest, DecodesEachFormAndReplacesEachMaximalInvalidSubsequence) {
  const struct {
    std::string_view utf8;
    U16 utf16;
    bool bRoundTrips;
  } rows[] = {
      {std::string_view("a\0b", 3), U16(u"a\0b", 3), true},
      {"\xDF\xBF", u"\u07FF", true},
      {"\xE0\xA0\x80", u"\u0800", true},
      {"\xED\x9F\xBF", u"\uD7FF", true},
      {"\xEE\x80\x80", u"\uE000", true},
      {"\xF0\x90\x80\x80", u"\U00010000", true},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF", true},
      {"\x80\xBF", U16(2, kFFFD), false},          // continuation bytes without a lead
      {"\xC0\xAF\xC1\xBF", U16(4, kFFFD), false},  // C0 and C1 never start a sequence
      {"\xE0\x9F\xBF", U16(3, kFFFD), false},      // overlong three-byte form
      {"\xED\xA0\x80", U16(3, kFFFD), false},      // an encoded surrogate
      {"\xF0\x8F\xBF\xBF", U16(4, kFFFD), false},  // overlong four-byte form
      {"\xF4\x90\x80\x80", U16(4, kFFFD), false},  // past U+10FFFF
      {"\xF8\x88\x80\x80\x80", U16(5, kFFFD), false},
      {"\xF0\x9F\x98", U16(1, kFFFD), false},  // truncated at the end
      {"\xE2\x82\x41", u"\uFFFDA", false},     // truncated before another character
      {"\xF0\x9F\x41", u"\uFFFDA", false},
      {"\xC3\xC3\xA9", u"\uFFFD\u00E9", false},
      {"\xE2\xF0\x9F\x98\x80", u"\uFFFD\U0001F600", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Hex(row.utf8));
    EXPECT_EQ(Hex(Utf8ToUtf16(row.utf8)), Hex(row.utf16));
    EXPECT_EQ(IsValidUtf8(row.utf8), row.bRoundTrips);
    if (row.bRoundTrips) {
      EXPECT_EQ(Hex(Utf16ToUtf8(row.utf16)), Hex(row.utf8));
    }
  }
}

// Lone surrogates become U+FFFD, or with escaping carry the invalid bytes
// there and back; a lone surrogate that escapes no byte is replaced.
TEST(UnicodeTest, LoneSurrogatesAndEscaping) {
  const struct {
    InvalidInput mode;
    U16 utf16;
    std::string_view utf8;
    bool bBothWays;
  } rows[] = {
      // A high one at the end, before a non-surrogate or before another high
      // one, and a low one alone, each become U+FFFD.
      {InvalidInput::kReplace, U16{0xD800, u'z', 0xDC00, 0xD800},
       "\xEF\xBF\xBDz\xEF\xBF\xBD\xEF\xBF\xBD", false},
      {InvalidInput::kReplace, U16{0xD800, 0xD800, 0xDC00}, "\xEF\xBF\xBD\xF0\x90\x80\x80", false},
      {InvalidInput::kEscape, U16{0xD800, u'z', 0xDC7F}, "\xEF\xBF\xBDz\xEF\xBF\xBD", false},
      {InvalidInput::kEscape, U16{0xDCE2, 0xDC82, u'(', 0xE9, 0xDCFF}, "\xE2\x82(\xC3\xA9\xFF",
       true},
      {InvalidInput::kEscape, U16{0xDCED, 0xDCA0, 0xDC80, 0xD83D, 0xDE00},
       "\xED\xA0\x80\xF0\x9F\x98\x80", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Hex(row.utf16));
    EXPECT_EQ(Hex(Utf16ToUtf8(row.utf16, row.mode)), Hex(row.utf8));
    if (row.bBothWays) {
      EXPECT_EQ(Hex(Utf8ToUtf16(row.utf8, row.mode)), Hex(row.utf16));
    }
  }
}

TEST(UnicodeTest, EveryScalarValueRoundTrips) {
  U16 all;
  std::size_t expectedBytes = 0;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    if (cp < 0x10000) all.push_back(static_cast<WCHAR>(cp));
    if (cp >= 0x10000)
      all += {WCHAR(0xD800 + ((cp - 0x10000) >> 10)), WCHAR(0xDC00 + (cp & 0x3FF))};
    expectedBytes += cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
  }
  const std::string utf8 = Utf16ToUtf8(all);
  EXPECT_EQ(utf8.size(), expectedBytes);
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_TRUE(Utf8ToUtf16(utf8) == all);
}

// Texts generated from short pieces (ASCII runs, characters of every length,
// ill-formed bytes and lone surrogates each closed by ASCII so that none joins
// the next) at random places against the 16-unit blocks convert, whole and
// into one unit too little room, to the pieces' results in a row, and are
// valid exactly when every piece is.
TEST(UnicodeTest, GeneratedTextsConvertAsTheirPiecesDo) {
  const std::string_view pieces[] = {
      "a",         "bcdefgh",      "ijklmnopqrstu", "\xC3\xA9",
      "\xD0\x96",  "\xE6\x97\xA5", "\xEF\xBF\xBD",  "\xF0\x9F\x98\x80",
      "\xE4\xB8 ", "\xFF!",        "\xED\xA0\x80.", "\x80x"};
  const U16 widePieces[] = {U16{0xD800, u'x'}, U16{0xDC80, u'y'}, U16{0xDFFF, u'z'}};
  std::mt19937 random(2026);
  for (int nText = 0; nText < 300; ++nText) {
    for (const InvalidInput mode : {InvalidInput::kReplace, InvalidInput::kEscape}) {
      std::string text, expectedText;
      U16 wide, expectedWide;
      bool bValid = true;
      for (std::size_t n = random() % 120; n > 0; --n) {
        const std::string_view piece = pieces[random() % std::size(pieces)];
        text += piece;
        bValid = bValid && IsValidUtf8(piece);
        expectedWide += Utf8ToUtf16(piece, mode);
        const U16 widePiece = random() % 4 == 0 ? widePieces[random() % std::size(widePieces)]
                                                : Utf8ToUtf16(piece, InvalidInput::kEscape);
        wide += widePiece;
        expectedText += Utf16ToUtf8(widePiece, mode);
      }
      ASSERT_EQ(Hex(Utf8ToUtf16(text, mode)), Hex(expectedWide)) << Hex(text);
      ASSERT_EQ(Hex(Utf16ToUtf8(wide, mode)), Hex(expectedText)) << Hex(wide);
      EXPECT_EQ(IsValidUtf8(text), bValid) << Hex(text);
      if (expectedWide.empty() || expectedText.empty()) continue;
      U16 wideOut(expectedWide.size() - 1, 0);
      const auto toWide = Utf8ToUtf16(text, wideOut.data(), wideOut.size(), mode);
      EXPECT_NE(toWide.status, kxu::platform::ConversionStatus::kDone);
      EXPECT_EQ(wideOut.substr(0, toWide.nUnits), expectedWide.substr(0, toWide.nUnits));
      std::string textOut(expectedText.size() - 1, '\0');
      const auto toText = Utf16ToUtf8(wide, textOut.data(), textOut.size(), mode);
      EXPECT_NE(toText.status, kxu::platform::ConversionStatus::kDone);
      EXPECT_EQ(textOut.substr(0, toText.nUnits), expectedText.substr(0, toText.nUnits));
    }
  }
}

}  // namespace
