// The code-page calls' contract: each page's codes both ways, the sizes, room
// and terminator, the errors, and every served page's round trip.
#include <kxutils96/platform/win32/win_nls.h>

#include <gtest/gtest.h>

#include "platform/win_nls_conversions.h"
#include "support/hex_text.h"
#include "support/wine.h"

#include <algorithm>
#include <atomic>
#include <functional>
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

TEST(CodePageTest, LengthMinusOneIncludesTheTerminatorAndRoomIsKept) {
  WCHAR out[8];
  for (const UINT nPage : {CP_UTF8, 1252u, 932u}) {
    std::fill(std::begin(out), std::end(out), u'#');
    EXPECT_EQ(MultiByteToWideChar(nPage, 0, "abc", -1, nullptr, 0), 4) << nPage;
    EXPECT_EQ(MultiByteToWideChar(nPage, 0, "abc", -1, out, 8), 4) << nPage;
    EXPECT_EQ(U16(out, 5), U16(u"abc\0#", 5)) << "nothing past the result is written";
    EXPECT_EQ(MultiByteToWideChar(nPage, 0, "abc", 3, out, 8), 3) << "no terminator added";
  }
  std::fill(std::begin(out), std::end(out), u'#');
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcdef", -1, out, 3), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(U16(out, 4), u"abc#") << "what fits is written";
  char bytes[8] = "#######";
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00E9", -1, bytes, 8, nullptr, nullptr), 3);
  EXPECT_EQ(std::string(bytes, 4), std::string("\xC3\xA9\0#", 4));
  EXPECT_EQ(WideCharToMultiByte(1252, 0, u"\u00E9", -1, nullptr, 0, nullptr, nullptr), 2);
  if (UnderWine()) return;  // Wine writes half a pair and reads any negative length as -1
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xF0\x9F\x98\x80", 4, out, 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER) << "a pair is never split";
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", -2, out, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(CodePageTest, DefaultCharactersAndStrictUtf8) {
  EXPECT_EQ(ToBytes(1252, 0, u"a\u4E2D", nullptr, "*"), "a*");
  // A double-byte default character is written whole.
  EXPECT_EQ(Hex(ToBytes(932, 0, u"a\u0101", nullptr, "\x81\x45")), Hex("a\x81\x45"));
  EXPECT_EQ(ToBytes(CP_UTF8, WC_ERR_INVALID_CHARS, U16(1, 0xDE00)), "<error 1113>");
  EXPECT_EQ(ToBytes(CP_UTF8, WC_ERR_INVALID_CHARS, u"\U0001F600"), "\xF0\x9F\x98\x80");
  if (UnderWine()) return;  // Wine takes WC_ERR_INVALID_CHARS with every code page
  EXPECT_EQ(ToBytes(1252, WC_ERR_INVALID_CHARS, u"a"), "<error 1004>") << "for UTF-8 only";
}

// Both directions fail with the error each bad argument names.
TEST(CodePageTest, BadArgumentsFailWithTheirError) {
  WCHAR units[4];
  char bytes[4];
  BOOL bUsed = FALSE;
  const auto toWide = [&](UINT nPage, DWORD dwFlags, const char* p, int n, WCHAR* pOut, int nRoom) {
    return [=] { return MultiByteToWideChar(nPage, dwFlags, p, n, pOut, nRoom); };
  };
  const auto toBytes = [&](UINT nPage, DWORD dwFlags, const WCHAR* p, int n, const char* pszDefault,
                           BOOL* pbUsed) {
    return [=, &bytes] {
      return WideCharToMultiByte(nPage, dwFlags, p, n, bytes, 4, pszDefault, pbUsed);
    };
  };
  constexpr DWORD kNoText = ERROR_NO_UNICODE_TRANSLATION, kBad = ERROR_INVALID_PARAMETER;
  const struct {
    const char* name;
    std::function<int()> call;
    DWORD dwError;
  } rows[] = {
      {"length 0", toWide(CP_UTF8, 0, "a", 0, units, 4), kBad},
      {"null buffer with room", toWide(CP_UTF8, 0, "a", 1, nullptr, 4), kBad},
      {"unknown page", toWide(kUnknownPage, 0, "a", 1, units, 4), kBad},
      {"unknown flag", toWide(CP_UTF8, 0x10, "a", 1, units, 4), ERROR_INVALID_FLAGS},
      // The strict flag rejects what is not text in the page.
      {"truncated", toWide(CP_UTF8, MB_ERR_INVALID_CHARS, "ok\xC3", 3, nullptr, 0), kNoText},
      {"bad trail", toWide(932, MB_ERR_INVALID_CHARS, "\x81 ", 2, nullptr, 0), kNoText},
      {"undefined", toWide(1253, MB_ERR_INVALID_CHARS, "\xAA", 1, nullptr, 0), kNoText},
      {"encoding unknown page", toBytes(kUnknownPage, 0, u"a", 1, nullptr, nullptr), kBad},
      {"short buffer", toBytes(1252, 0, u"abcdef", 6, nullptr, nullptr), ERROR_INSUFFICIENT_BUFFER},
      {"report with UTF-8", toBytes(CP_UTF8, 0, u"a", 1, nullptr, &bUsed), kBad},
      {"default with UTF-8", toBytes(CP_UTF8, 0, u"a", 1, "?", nullptr), kBad},
      {"best fit flag with UTF-8",
       toBytes(CP_UTF8, WC_NO_BEST_FIT_CHARS, u"a", 1, nullptr, nullptr), ERROR_INVALID_FLAGS},
  };
  for (const auto& row : rows) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(row.call(), 0) << row.name;
    EXPECT_EQ(GetLastError(), row.dwError) << row.name;
  }
}

// Every served page (with the least number of codes it defines) is valid;
// every single-byte and double-byte code it defines converts to one unit and
// back to a code of that unit (the same code, but for the few duplicates).
TEST(CodePageTest, EveryServedPageRoundTripsWhatItDefines) {
  constexpr struct {
    UINT nPage;
    int nLeastDefined;
  } pages[] = {{437, 240},   {850, 240},  {874, 240},  {932, 7000}, {936, 21000}, {949, 17000},
               {950, 13000}, {1250, 240}, {1251, 240}, {1252, 240}, {1253, 240},  {1254, 240},
               {1255, 240},  {1256, 240}, {1257, 240}, {1258, 240}, {20127, 128}};
  for (const auto [nPage, nLeastDefined] : pages) {
    EXPECT_TRUE(IsValidCodePage(nPage)) << nPage;
    int nDefined = 0, nSameCode = 0;
    for (unsigned code = 0; code < 256 * 257; ++code) {
      std::string bytes(1, static_cast<char>(code / 257));
      if (code % 257 < 256) bytes += static_cast<char>(code % 257);
      WCHAR unit[2];
      const int nLength = static_cast<int>(bytes.size());
      if (MultiByteToWideChar(nPage, MB_ERR_INVALID_CHARS, bytes.data(), nLength, unit, 2) != 1)
        continue;
      ++nDefined;
      char back[3] = {};
      BOOL bUsed = TRUE;
      const int nBack =
          WideCharToMultiByte(nPage, WC_NO_BEST_FIT_CHARS, unit, 1, back, 3, nullptr, &bUsed);
      ASSERT_TRUE(nBack > 0 && !bUsed) << nPage << ": " << Hex(bytes);
      nSameCode += std::string(back, static_cast<std::size_t>(nBack)) == bytes;
      ASSERT_EQ(ToWide(nPage, MB_ERR_INVALID_CHARS, std::string_view(back, nBack)),
                U16(1, unit[0]));
    }
    EXPECT_GE(nDefined, nLeastDefined) << nPage;
    // Windows reads ASCII's bytes above 0x7F as their low seven bits: all duplicates.
    EXPECT_GT(nSameCode, nPage == 20127 ? 127 : nDefined * 95 / 100) << nPage;
  }
  EXPECT_TRUE(IsValidCodePage(CP_UTF8));
  EXPECT_FALSE(IsValidCodePage(CP_ACP));  // it stands for a page, but is none
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
