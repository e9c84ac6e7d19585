// The code-page calls' contract: each page's codes both ways, the sizes, room
// and terminator, the errors, and every served page's round trip.
#include <kxutils96/platform/win32/win_nls.h>

#include <gtest/gtest.h>

#include "platform/win_nls_conversions.h"
#include "support/hex_text.h"
#include "support/wine.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <string_view>
#include <thread>

namespace {

using kxu::test::Hex;
using kxu::test::ToBytes;
using kxu::test::ToWide;
using kxu::test::U16;
using kxu::test::UnderWine;

constexpr UINT kUnknownPage = 12345;

// Rows without a used default are read both ways (bytes to units with the
// decoding flags, units to bytes with the encoding flags); rows with one only
// encode.
TEST(CodePageTest, ConvertsEachPageBothWays) {
  const struct {
    UINT nPage;
    DWORD dwFlags;
    std::string_view bytes;
    U16 units;
    BOOL bUsedDefault;
  } rows[] = {
      {1252, 0, "\x80\xE9\xFF", u"\u20AC\u00E9\u00FF", FALSE},
      // Bytes 1252 leaves undefined stand for the control characters.
      {1252, MB_ERR_INVALID_CHARS, "\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D",
       FALSE},
      {437, 0, "\xB0\xDB", u"\u2591\u2588", FALSE},
      {932, 0, "\x93\xFA\x96\x7B\xB1", u"日本\uFF71", FALSE},
      {936, 0, "\xD6\xD0\xCE\xC4", u"中文", FALSE},
      {949, 0, "\xC7\xD1\xB1\xDB", u"한글", FALSE},
      {950, 0, "\xA4\xA4\xA4\xE5", u"中文", FALSE},
      {CP_UTF8, 0, std::string_view("G\xC3\xBC\0\xF0\x9F\x98\x80", 8),
       U16(u"G\u00FC\0\U0001F600", 5), FALSE},
      {1252, WC_NO_BEST_FIT_CHARS, "\xE9?", u"\u00E9\u4E2D", TRUE},
      // No look-alikes: a-macron is not written as a.
      {1252, WC_NO_BEST_FIT_CHARS, "?", u"\u0101", TRUE},
      // Each unit of a surrogate pair becomes a default character.
      {1252, 0, "??", u"\U0001F600", TRUE},
      {20127, WC_NO_BEST_FIT_CHARS, "A?", u"A\u00E9", TRUE},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.nPage << ": " << Hex(row.bytes));
    if (!row.bUsedDefault) {
      EXPECT_EQ(Hex(ToWide(row.nPage, row.dwFlags & MB_ERR_INVALID_CHARS, row.bytes)),
                Hex(row.units));
    }
    BOOL bUsed = 7;
    const DWORD dwFlags = row.dwFlags & WC_NO_BEST_FIT_CHARS;
    EXPECT_EQ(Hex(ToBytes(row.nPage, dwFlags, row.units, row.nPage == CP_UTF8 ? nullptr : &bUsed)),
              Hex(row.bytes));
    EXPECT_EQ(bUsed, row.nPage == CP_UTF8 ? 7 : row.bUsedDefault);
  }
}

// Encoding writes the default character given (a double-byte one whole) or
// fails with the error a bad argument names.
TEST(CodePageTest, DefaultCharactersAndErrors) {
  BOOL bUsed = FALSE;
  const struct {
    UINT nPage;
    DWORD dwFlags;
    U16 units;
    const char* pszDefault;
    BOOL* pbUsed;
    std::string bytes;
  } encodings[] = {
      {1252, 0, u"a\u4E2D", "*", nullptr, "a*"},
      {932, 0, u"a\u0101", "\x81\x45", nullptr, "a\x81\x45"},
      {CP_UTF8, WC_ERR_INVALID_CHARS, U16(1, 0xDE00), nullptr, nullptr, "<error 1113>"},
      {CP_UTF8, WC_ERR_INVALID_CHARS, u"\U0001F600", nullptr, nullptr, "\xF0\x9F\x98\x80"},
      {kUnknownPage, 0, u"a", nullptr, nullptr, "<error 87>"},
      {CP_UTF8, 0, u"a", nullptr, &bUsed, "<error 87>"},
      {CP_UTF8, 0, u"a", "?", nullptr, "<error 87>"},
      {CP_UTF8, WC_NO_BEST_FIT_CHARS, u"a", nullptr, nullptr, "<error 1004>"},
  };
  for (const auto& row : encodings) {
    EXPECT_EQ(Hex(ToBytes(row.nPage, row.dwFlags, row.units, row.pbUsed, row.pszDefault)),
              Hex(row.bytes));
  }
  // Decoding: the strict flag refuses what is not text in the page, and a
  // short room never takes half a pair (Wine writes half of it).
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, "\x81 ", 2, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
  WCHAR out[1];
  EXPECT_EQ(MultiByteToWideChar(kUnknownPage, 0, "a", 1, out, 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  if (UnderWine()) return;
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xF0\x9F\x98\x80", 4, out, 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
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

}  // namespace
