// The UTF-8 and UTF-16 codec (the boundaries of each sequence length, one
// U+FFFD per maximal invalid subsequence, lone surrogates and escaping; long
// texts through the block paths are tested through the families'
// conversions), then the code-page calls: each page's codes both ways, default
// characters and errors, every served page's round trip, the last error;
// and the run-time library's locale conversions.
#include <kxutils96/platform/crt/crt_locale.h>
#include <kxutils96/platform/win32/unicode.h>
#include <kxutils96/platform/win32/win_nls.h>

#include <gtest/gtest.h>

#include "platform/win_nls_conversions.h"
#include "support/hex_text.h"

#include <atomic>
#include <clocale>
#include <string>
#include <string_view>
#include <thread>

namespace {

using kxu::platform::InvalidInput;
using kxu::platform::IsValidUtf8;
using kxu::platform::Utf16ToUtf8;
using kxu::platform::Utf8ToUtf16;
using kxu::test::Hex;
using kxu::test::ToBytes;
using kxu::test::ToWide;
using kxu::test::U16;

constexpr UINT kUnknownPage = 12345;
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

// Each row's units encode to its bytes, or to the error a bad argument names,
// reporting whether the default character was used where the row says; the
// defined codes of rows without a default character decode back.
TEST(CodePageTest, ConvertsEachPageBothWaysWithItsDefaultCharacter) {
  enum Report { kNone, kUsed, kUnused };
  const struct {
    UINT nPage;
    DWORD dwFlags;  // the decoding and encoding flags together
    std::string_view bytes;
    U16 units;
    Report report;
    const char* pszDefault;
  } rows[] = {
      {1252, 0, "\x80\xE9\xFF", u"\u20AC\u00E9\u00FF", kUnused, nullptr},
      // Bytes 1252 leaves undefined stand for the control characters.
      {1252, MB_ERR_INVALID_CHARS, "\x81\x8D\x90", u"\u0081\u008D\u0090", kUnused, nullptr},
      {437, 0, "\xB0\xDB", u"\u2591\u2588", kUnused, nullptr},
      {932, 0, "\x93\xFA\x96\x7B\xB1", u"日本\uFF71", kUnused, nullptr},
      {936, 0, "\xD6\xD0\xCE\xC4", u"中文", kUnused, nullptr},
      {949, 0, "\xC7\xD1\xB1\xDB", u"한글", kUnused, nullptr},
      {950, 0, "\xA4\xA4\xA4\xE5", u"中文", kUnused, nullptr},
      {CP_UTF8, 0, std::string_view("G\xC3\xBC\0\xF0\x9F\x98\x80", 8),
       U16(u"G\u00FC\0\U0001F600", 5), kNone, nullptr},
      // No look-alikes: a-macron is not written as a.
      {1252, WC_NO_BEST_FIT_CHARS, "\xE9??", u"\u00E9\u4E2D\u0101", kUsed, nullptr},
      // Each unit of a surrogate pair becomes a default character.
      {1252, 0, "??", u"\U0001F600", kUsed, nullptr},
      {20127, WC_NO_BEST_FIT_CHARS, "A?", u"A\u00E9", kUsed, nullptr},
      {1252, 0, "a*", u"a\u4E2D", kNone, "*"},
      {932, 0, "a\x81\x45", u"a\u0101", kNone, "\x81\x45"},  // a double-byte default, whole
      {CP_UTF8, WC_ERR_INVALID_CHARS, "<error 1113>", U16(1, 0xDE00), kNone, nullptr},
      {CP_UTF8, WC_ERR_INVALID_CHARS, "\xF0\x9F\x98\x80", u"\U0001F600", kNone, nullptr},
      {kUnknownPage, 0, "<error 87>", u"a", kNone, nullptr},
      {CP_UTF8, 0, "<error 87>", u"a", kUnused, nullptr},
      {CP_UTF8, 0, "<error 87>", u"a", kNone, "?"},
      {CP_UTF8, WC_NO_BEST_FIT_CHARS, "<error 1004>", u"a", kNone, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.nPage << ": " << Hex(row.bytes));
    BOOL bUsed = 7;
    EXPECT_EQ(Hex(ToBytes(row.nPage, row.dwFlags & ~DWORD{MB_ERR_INVALID_CHARS}, row.units,
                          row.report == kNone ? nullptr : &bUsed, row.pszDefault)),
              Hex(row.bytes));
    if (row.bytes[0] == '<') continue;
    EXPECT_EQ(bUsed, row.report == kNone ? 7 : row.report == kUsed);
    if (row.report != kUsed && row.pszDefault == nullptr) {
      EXPECT_EQ(ToWide(row.nPage, row.dwFlags & MB_ERR_INVALID_CHARS, row.bytes), row.units);
    }
  }
}

// Only the served pages are valid (CP_ACP stands for the ANSI page but is
// none); every single-byte and double-byte code a page defines converts to one
// unit and back to a code of that unit, without a default or a look-alike.
TEST(CodePageTest, EveryServedPageRoundTripsWhatItDefines) {
  for (const UINT nPage : {437u, 850u, 874u, 932u, 936u, 949u, 950u, 1250u, 1251u, 1252u, 1253u,
                           1254u, 1255u, 1256u, 1257u, 1258u, 20127u}) {
    ASSERT_TRUE(IsValidCodePage(nPage)) << nPage;
    for (unsigned code = 0; code < 256 * 257; ++code) {
      std::string bytes(1, static_cast<char>(code / 257));
      if (code % 257 < 256) bytes += static_cast<char>(code % 257);
      WCHAR unit[2];
      const int nLength = static_cast<int>(bytes.size());
      if (MultiByteToWideChar(nPage, MB_ERR_INVALID_CHARS, bytes.data(), nLength, unit, 2) != 1)
        continue;
      BOOL bUsed = TRUE;
      const std::string back = ToBytes(nPage, WC_NO_BEST_FIT_CHARS, U16(1, unit[0]), &bUsed);
      ASSERT_FALSE(bUsed) << nPage << ": " << Hex(bytes);
      ASSERT_EQ(ToWide(nPage, MB_ERR_INVALID_CHARS, back), U16(1, unit[0]))
          << nPage << ": " << Hex(bytes);
    }
  }
  EXPECT_TRUE(IsValidCodePage(CP_UTF8));
  EXPECT_FALSE(IsValidCodePage(CP_ACP));
  EXPECT_FALSE(IsValidCodePage(kUnknownPage));
  EXPECT_EQ(ToWide(CP_ACP, 0, "caf\xE9 \x80"), ToWide(GetACP(), 0, "caf\xE9 \x80"));
}

// The two threads take turns through an atomic counter alone: a lock or a
// wait of the system's could itself set the thread's last error.
TEST(LastErrorTest, IsKeptPerThread) {
  std::atomic<int> turn{0};
  const auto awaitTurn = [&turn](int nTurn) {
    while (turn.load() != nTurn) {
    }
  };
  DWORD dwOtherThread = 0;
  std::thread other([&] {
    MultiByteToWideChar(kUnknownPage, 0, "a", 1, nullptr, 0);  // ERROR_INVALID_PARAMETER
    turn = 1;
    awaitTurn(2);
    dwOtherThread = GetLastError();
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    turn = 3;
  });
  awaitTurn(1);
  SetLastError(ERROR_INVALID_FLAGS);
  turn = 2;
  awaitTurn(3);
  const DWORD dwThisThread = GetLastError();
  other.join();
  EXPECT_EQ(dwOtherThread, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(dwThisThread, ERROR_INVALID_FLAGS);
}

constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

// The run-time library's conversions between the locale's multibyte text and
// wide text in a UTF-8 locale: whole characters only, and what is not text
// refused. (The classic locale's one byte a unit is tested through the shell
// item export, which converts its paths and texts so.)
TEST(CrtLocale, ConvertsWholeCharactersOrRefusesWhatIsNotText) {
  EXPECT_EQ(wcstombs(nullptr, static_cast<const WCHAR*>(nullptr), 4), kFailed);
  EXPECT_EQ(mbstowcs(static_cast<WCHAR*>(nullptr), static_cast<const char*>(nullptr), 4), kFailed);
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) GTEST_SKIP() << "no C.UTF-8 locale";
  // A character that does not fit the room is not written at all.
  std::string bytes(4, '#');
  EXPECT_EQ(wcstombs(bytes.data(), u"\u00E9\U0001F600!", 4), 2u);
  EXPECT_EQ(bytes, "\xC3\xA9##");
  U16 units(4, u'#');
  EXPECT_EQ(mbstowcs(units.data(), "\xC3\xA9\xF0\x9F\x98\x80!", 2), 1u);
  EXPECT_EQ(units, u"\u00E9###");
  EXPECT_EQ(mbstowcs(units.data(), "\xC3\xA9\xF0\x9F\x98\x80!", 4), 4u);
  EXPECT_EQ(units, u"\u00E9\U0001F600!");
  EXPECT_EQ(wcstombs(nullptr, u"\u00E9\U0001F600!", 0), 7u);
  for (const char* text : {"a\xC3(", "a\xE2\x82"})
    EXPECT_EQ(mbstowcs(static_cast<WCHAR*>(nullptr), text, 0), kFailed);
  for (const U16& text : {U16{u'a', 0xDC00, u'b'}, U16{u'a', 0xD83D}})
    EXPECT_EQ(wcstombs(nullptr, text.c_str(), 0), kFailed);
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
