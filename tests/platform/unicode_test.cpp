// The UTF-8 and UTF-16 codec: the boundaries of each sequence length, one
// U+FFFD per maximal invalid subsequence, lone surrogates and escaping. (Long
// texts through the block paths are tested through the families' conversions.)
#include <kxutils96/platform/win32/unicode.h>

#include <gtest/gtest.h>

#include "support/hex_text.h"

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

}  // namespace
