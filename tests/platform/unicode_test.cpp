#include <kxutils96/platform/win32/unicode.h>

#include <gtest/gtest.h>

#include "support/hex_text.h"

#include <random>
#include <string>
#include <string_view>

namespace {

using kxu::platform::IsValidUtf8;
using kxu::platform::Utf16ToUtf8;
using kxu::platform::Utf8ToUtf16;
using kxu::test::Hex;
using U16 = std::basic_string<WCHAR>;

constexpr WCHAR kFFFD = 0xFFFD;

struct WellFormed {
  std::string_view utf8;
  U16 utf16;
};

TEST(UnicodeTest, WellFormedTextRoundTrips) {
  const WellFormed rows[] = {
      {"", u""},
      {"plain ASCII text, long enough for the word-at-a-time path",
       u"plain ASCII text, long enough for the word-at-a-time path"},
      {std::string_view("a\0b", 3), U16(u"a\0b", 3)},
      {"\xDF\xBF", u"\u07FF"},
      {"\xE0\xA0\x80", u"\u0800"},
      {"\xED\x9F\xBF", u"\uD7FF"},
      {"\xEE\x80\x80", u"\uE000"},
      {"\xEF\xBF\xBF", u"\uFFFF"},
      {"\xF0\x90\x80\x80", u"\U00010000"},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Hex(Utf8ToUtf16(row.utf8)), Hex(row.utf16)) << Hex(row.utf8);
    EXPECT_EQ(Hex(Utf16ToUtf8(row.utf16)), Hex(row.utf8)) << Hex(row.utf16);
    EXPECT_TRUE(IsValidUtf8(row.utf8)) << Hex(row.utf8);
  }
}

struct IllFormed {
  std::string_view utf8;
  U16 utf16;  // what decoding gives: one U+FFFD per maximal invalid subsequence
};

TEST(UnicodeTest, EachMaximalInvalidSubsequenceBecomesOneReplacement) {
  const IllFormed rows[] = {
      {"\x80\xBF", U16(2, kFFFD)},          // continuation bytes without a lead
      {"\xC0\xAF\xC1\xBF", U16(4, kFFFD)},  // C0 and C1 never start a sequence
      {"\xE0\x9F\xBF", U16(3, kFFFD)},      // overlong three-byte form
      {"\xED\xA0\x80", U16(3, kFFFD)},      // an encoded surrogate
      {"\xF0\x8F\xBF\xBF", U16(4, kFFFD)},  // overlong four-byte form
      {"\xF4\x90\x80\x80", U16(4, kFFFD)},  // past U+10FFFF
      {"\xF8\x88\x80\x80\x80", U16(5, kFFFD)},
      {"\xC3", U16(1, kFFFD)},  // truncated at the end
      {"\xF0\x9F\x98", U16(1, kFFFD)},
      {"\xE2\x82\x41", u"\uFFFDA"},  // truncated before another character
      {"\xF0\x9F\x41", u"\uFFFDA"},
      {"\xC3\xC3\xA9", u"\uFFFD\u00E9"},
      {"\xE2\xF0\x9F\x98\x80", u"\uFFFD\U0001F600"},
      // The worked example of the maximal-subpart practice.
      {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
       u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Hex(Utf8ToUtf16(row.utf8)), Hex(row.utf16)) << Hex(row.utf8);
    EXPECT_FALSE(IsValidUtf8(row.utf8)) << Hex(row.utf8);
  }
}

TEST(UnicodeTest, LoneSurrogatesBecomeReplacementsAndPairsJoin) {
  const struct {
    U16 utf16;
    std::string_view utf8;
  } rows[] = {
      {U16{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
      {U16{0xD800}, "\xEF\xBF\xBD"},                      // high at the end
      {U16{0xDC00}, "\xEF\xBF\xBD"},                      // low alone
      {U16{0xD800, u'A'}, "\xEF\xBF\xBD\x41"},            // high before a non-surrogate
      {U16{0xDC00, 0xD800}, "\xEF\xBF\xBD\xEF\xBF\xBD"},  // reversed pair
      {U16{0xD800, 0xD800, 0xDC00}, "\xEF\xBF\xBD\xF0\x90\x80\x80"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Hex(Utf16ToUtf8(row.utf16)), Hex(row.utf8)) << Hex(row.utf16);
  }
}

TEST(UnicodeTest, EscapingCarriesEveryInvalidByteThereAndBack) {
  using kxu::platform::InvalidInput;
  const WellFormed rows[] = {
      {"caf\xE9", U16{u'c', u'a', u'f', 0xDCE9}},
      {"\xE2\x82(\xC3\xA9\xFF", U16{0xDCE2, 0xDC82, u'(', 0xE9, 0xDCFF}},
      {"\xED\xA0\x80\xF0\x9F\x98\x80", U16{0xDCED, 0xDCA0, 0xDC80, 0xD83D, 0xDE00}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Hex(Utf8ToUtf16(row.utf8, InvalidInput::kEscape)), Hex(row.utf16)) << Hex(row.utf8);
    EXPECT_EQ(Hex(Utf16ToUtf8(row.utf16, InvalidInput::kEscape)), Hex(row.utf8)) << Hex(row.utf16);
  }
  // Lone surrogates that escape no byte are replaced.
  EXPECT_EQ(Utf16ToUtf8(U16{0xD800, u'a', 0xDC7F}, InvalidInput::kEscape),
            "\xEF\xBF\xBD"
            "a\xEF\xBF\xBD");
}

TEST(UnicodeTest, EveryScalarValueRoundTrips) {
  U16 all;
  std::size_t expectedBytes = 0;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    if (cp < 0x10000) {
      all.push_back(static_cast<WCHAR>(cp));
    } else {
      all.push_back(static_cast<WCHAR>(0xD800 + ((cp - 0x10000) >> 10)));
      all.push_back(static_cast<WCHAR>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
    expectedBytes += cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
  }
  const std::string utf8 = Utf16ToUtf8(all);
  EXPECT_EQ(utf8.size(), expectedBytes);
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_TRUE(Utf8ToUtf16(utf8) == all);
}

// Texts generated from short pieces (each converts alone on the scalar path)
// convert, whole and block by block, to the pieces' results in a row, and
// are valid exactly when every piece is: in
// every mode, with room for the bound, for the exact result (each character
// checked) and one unit short. The pieces are ASCII runs, characters of every
// length, units at 0x8000 and above, and ill-formed bytes and lone
// surrogates, each ill-formed piece closed by ASCII so that none joins the
// next; their places against the 16-unit blocks fall at random.
TEST(UnicodeTest, GeneratedTextsConvertAsTheirPiecesDo) {
  using kxu::platform::ConversionStatus;
  using kxu::platform::InvalidInput;
  const std::string_view pieces[] = {
      "a",
      "bcdefgh",
      "ijklmnopqrstu",
      "\xC3\xA9",
      "\xD0\x96",
      "\xE6\x97\xA5",
      "\xEF\xBF\xBD",
      "\xEE\x80\x80",
      "\xF0\x9F\x98\x80",
      "\xE4\xB8 ",
      "\xFF!",
      "\xED\xA0\x80.",
      "\xC0\xAF,",
      "\xF4\x90\x80\x80;",
      "\x80x",
  };
  const U16 widePieces[] = {U16{0xD800, u'x'}, U16{0xDC80, u'y'}, U16{0xDFFF, u'z'}};
  std::mt19937 random(2026);
  for (int nText = 0; nText < 300; ++nText) {
    for (const InvalidInput mode : {InvalidInput::kReplace, InvalidInput::kEscape}) {
      std::string text;
      U16 wide;
      U16 expectedWide;
      std::string expectedText;
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
      EXPECT_EQ(kxu::platform::Utf8ToUtf16(text, nullptr, 0, mode).nUnits, expectedWide.size());
      EXPECT_EQ(Utf16ToUtf8(wide, nullptr, 0, mode).nUnits, expectedText.size());
      for (const std::size_t nShort : {std::size_t{0}, std::size_t{1}}) {
        if (expectedWide.size() < nShort || expectedText.size() < nShort) continue;
        U16 wideOut(expectedWide.size() - nShort, 0);
        const auto toWide = kxu::platform::Utf8ToUtf16(text, wideOut.data(), wideOut.size(), mode);
        EXPECT_EQ(toWide.status == ConversionStatus::kDone, nShort == 0 || expectedWide.empty());
        EXPECT_EQ(wideOut.substr(0, toWide.nUnits), expectedWide.substr(0, toWide.nUnits));
        std::string textOut(expectedText.size() - nShort, '\0');
        const auto toText = Utf16ToUtf8(wide, textOut.data(), textOut.size(), mode);
        EXPECT_EQ(toText.status == ConversionStatus::kDone, nShort == 0 || expectedText.empty());
        EXPECT_EQ(textOut.substr(0, toText.nUnits), expectedText.substr(0, toText.nUnits));
      }
    }
  }
}

}  // namespace
