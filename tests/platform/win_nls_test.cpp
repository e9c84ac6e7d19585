// The code-page calls' contract: each page's codes, the sizes, room and
// terminator, the flags and the errors, and every served page's round trip.
#include <kxutils96/platform/win32/win_nls.h>

#include <gtest/gtest.h>

#include "platform/win_nls_conversions.h"
#include "support/concurrently.h"
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

// Each served page with the least number of codes it defines: ASCII 128,
// the other single-byte pages nearly all 256, the double-byte pages their
// character sets.
constexpr struct {
  UINT nPage;
  int nLeastDefined;
} kServedPages[] = {{437, 240},   {850, 240},  {874, 240},  {932, 7000}, {936, 21000}, {949, 17000},
                    {950, 13000}, {1250, 240}, {1251, 240}, {1252, 240}, {1253, 240},  {1254, 240},
                    {1255, 240},  {1256, 240}, {1257, 240}, {1258, 240}, {20127, 128}};
constexpr UINT kUnknownPage = 12345;

TEST(MultiByteToWideCharTest, ConvertsEachPageAndMode) {
  const struct {
    UINT nPage;
    DWORD dwFlags;
    std::string_view bytes;
    U16 expected;
  } rows[] = {
      {CP_UTF8, 0, "Gr\xC3\xBC\xC3\x9F", u"Grüß"},
      {CP_UTF8, 0, "\xF0\x9F\x98\x80", u"\U0001F600"},
      // Invalid UTF-8 as the platform's decoder reads it (its own tests hold the rules).
      {CP_UTF8, 0, "\x80x\xC0\xAF", u"\uFFFDx\uFFFD\uFFFD"},
      {CP_UTF8, 0, std::string_view("a\0b", 3), U16(u"a\0b", 3)},
      {1252, 0, "\x80\xE9\xFF", u"\u20AC\u00E9\u00FF"},
      // Bytes 1252 leaves undefined stand for the control characters.
      {1252, 0, "\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"},
      {1252, MB_ERR_INVALID_CHARS, "\x81", u"\u0081"},
      {437, 0, "\xB0\xDB", u"\u2591\u2588"},
      {932, 0, "\x93\xFA\x96\x7B\xB1", u"日本\uFF71"},
      {936, 0, "\xD6\xD0\xCE\xC4", u"中文"},
      {949, 0, "\xC7\xD1\xB1\xDB", u"한글"},
      {950, 0, "\xA4\xA4\xA4\xE5", u"中文"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Hex(ToWide(row.nPage, row.dwFlags, row.bytes)), Hex(row.expected))
        << row.nPage << ": " << Hex(row.bytes);
  }
}

TEST(MultiByteToWideCharTest, LengthMinusOneIncludesTheTerminatorAndRoomIsKept) {
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
  if (UnderWine()) return;  // Wine writes half a pair and reads any negative length as -1
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xF0\x9F\x98\x80", 4, out, 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER) << "a pair is never split";
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", -2, out, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

// The argument checks both directions share are tested here once.
TEST(MultiByteToWideCharTest, BadArgumentsFailWithTheirError) {
  WCHAR out[4];
  constexpr DWORD kNoText = ERROR_NO_UNICODE_TRANSLATION;
  const struct {
    const char* name;
    UINT nPage;
    DWORD dwFlags;
    const char* pSource;
    int nLength;
    WCHAR* pOut;
    int nRoom;
    DWORD dwError;
  } rows[] = {
      {"null source", CP_UTF8, 0, nullptr, -1, out, 4, ERROR_INVALID_PARAMETER},
      {"length 0", CP_UTF8, 0, "a", 0, out, 4, ERROR_INVALID_PARAMETER},
      {"negative room", CP_UTF8, 0, "a", 1, out, -1, ERROR_INVALID_PARAMETER},
      {"null buffer with room", CP_UTF8, 0, "a", 1, nullptr, 4, ERROR_INVALID_PARAMETER},
      {"unknown page", kUnknownPage, 0, "a", 1, out, 4, ERROR_INVALID_PARAMETER},
      {"unknown flag", CP_UTF8, 0x10, "a", 1, out, 4, ERROR_INVALID_FLAGS},
      {"code-page unknown flag", 1252, 0x10, "a", 1, out, 4, ERROR_INVALID_FLAGS},
      // The strict flag rejects what is not text in the page.
      {"truncated", CP_UTF8, MB_ERR_INVALID_CHARS, "ok\xC3", 3, nullptr, 0, kNoText},
      {"bad trail", 932, MB_ERR_INVALID_CHARS, "\x81 ", 2, nullptr, 0, kNoText},
      {"undefined", 1253, MB_ERR_INVALID_CHARS, "\xAA", 1, nullptr, 0, kNoText},
  };
  for (const auto& row : rows) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(
        MultiByteToWideChar(row.nPage, row.dwFlags, row.pSource, row.nLength, row.pOut, row.nRoom),
        0)
        << row.name;
    EXPECT_EQ(GetLastError(), row.dwError) << row.name;
  }
}

TEST(WideCharToMultiByteTest, ConvertsAndReportsTheDefaultCharacter) {
  const struct {
    UINT nPage;
    DWORD dwFlags;
    U16 units;
    std::string expected;
    BOOL bUsedDefault;
  } rows[] = {
      {1252, 0, u"\u00E9t\u00E9 \u20AC", "\xE9t\xE9 \x80", FALSE},
      {1252, WC_NO_BEST_FIT_CHARS, u"\u00E9\u4E2D", "\xE9?", TRUE},
      // No look-alikes: a-macron is not written as a.
      {1252, WC_NO_BEST_FIT_CHARS, u"\u0101", "?", TRUE},
      // Each unit of a surrogate pair becomes a default character.
      {1252, 0, u"\U0001F600", "??", TRUE},
      {1252, 0, u"\u0081\u009D", "\x81\x9D", FALSE},
      {932, 0, u"日本\uFF71", "\x93\xFA\x96\x7B\xB1", FALSE},
      {20127, WC_NO_BEST_FIT_CHARS, u"A\u00E9", "A?", TRUE},
  };
  for (const auto& row : rows) {
    BOOL bUsed = 7;
    EXPECT_EQ(Hex(ToBytes(row.nPage, row.dwFlags, row.units, &bUsed)), Hex(row.expected))
        << row.nPage << ": " << Hex(row.units);
    EXPECT_EQ(bUsed, row.bUsedDefault) << row.nPage << ": " << Hex(row.units);
  }
}

TEST(WideCharToMultiByteTest, DefaultCharactersSurrogatesAndTheTerminator) {
  EXPECT_EQ(ToBytes(1252, 0, u"a\u4E2D", nullptr, "*"), "a*");
  // A double-byte default character is written whole.
  EXPECT_EQ(Hex(ToBytes(932, 0, u"a\u0101", nullptr, "\x81\x45")), Hex("a\x81\x45"));
  EXPECT_EQ(ToBytes(CP_UTF8, WC_ERR_INVALID_CHARS, U16(1, 0xDE00)), "<error 1113>");
  EXPECT_EQ(ToBytes(CP_UTF8, WC_ERR_INVALID_CHARS, u"\U0001F600"), "\xF0\x9F\x98\x80");
  char out[8] = "#######";
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00E9", -1, out, 8, nullptr, nullptr), 3);
  EXPECT_EQ(std::string(out, 4), std::string("\xC3\xA9\0#", 4));
  EXPECT_EQ(WideCharToMultiByte(1252, 0, u"\u00E9", -1, nullptr, 0, nullptr, nullptr), 2);
  if (UnderWine()) return;  // Wine takes WC_ERR_INVALID_CHARS with every code page
  EXPECT_EQ(WideCharToMultiByte(1252, WC_ERR_INVALID_CHARS, u"a", 1, out, 4, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS) << "the strict flag is for UTF-8 only";
}

TEST(WideCharToMultiByteTest, BadArgumentsFailWithTheirError) {
  char out[4];
  BOOL bUsed = FALSE;
  const struct {
    const char* name;
    UINT nPage;
    DWORD dwFlags;
    const WCHAR* pSource;
    int nLength;
    const char* pszDefault;
    BOOL* pbUsed;
    DWORD dwError;
  } rows[] = {
      {"unknown page", kUnknownPage, 0, u"a", 1, nullptr, nullptr, ERROR_INVALID_PARAMETER},
      {"short buffer", 1252, 0, u"abcdef", 6, nullptr, nullptr, ERROR_INSUFFICIENT_BUFFER},
      {"report with UTF-8", CP_UTF8, 0, u"a", 1, nullptr, &bUsed, ERROR_INVALID_PARAMETER},
      {"default with UTF-8", CP_UTF8, 0, u"a", 1, "?", nullptr, ERROR_INVALID_PARAMETER},
      {"best fit flag with UTF-8", CP_UTF8, WC_NO_BEST_FIT_CHARS, u"a", 1, nullptr, nullptr,
       ERROR_INVALID_FLAGS},
  };
  for (const auto& row : rows) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(WideCharToMultiByte(row.nPage, row.dwFlags, row.pSource, row.nLength, out, 4,
                                  row.pszDefault, row.pbUsed),
              0)
        << row.name;
    EXPECT_EQ(GetLastError(), row.dwError) << row.name;
  }
}

// Every served page is valid and defines its codes; every single byte and
// double-byte code a page defines converts to one UTF-16 unit and back to a
// code of that unit (the same code, but for the duplicates some pages have);
// every unit the page encodes without look-alikes and without the default
// character decodes to itself.
TEST(CodePageTest, EveryServedPageRoundTripsWhatItDefines) {
  for (const auto [nPage, nLeastDefined] : kServedPages) {
    EXPECT_TRUE(IsValidCodePage(nPage)) << nPage;
    int nDefined = 0;
    int nSameCode = 0;
    for (unsigned lead = 0; lead < 256; ++lead) {
      for (unsigned trail = 0; trail <= 256; ++trail) {
        std::string code(1, static_cast<char>(lead));
        if (trail < 256) code += static_cast<char>(trail);
        WCHAR unit[2];
        if (MultiByteToWideChar(nPage, MB_ERR_INVALID_CHARS, code.data(),
                                static_cast<int>(code.size()), unit, 2) != 1) {
          continue;
        }
        ++nDefined;
        char back[3] = {};
        BOOL bUsed = TRUE;
        const int nBack =
            WideCharToMultiByte(nPage, WC_NO_BEST_FIT_CHARS, unit, 1, back, 3, nullptr, &bUsed);
        ASSERT_GT(nBack, 0) << nPage << ": " << Hex(code);
        ASSERT_FALSE(bUsed) << nPage << ": " << Hex(code);
        nSameCode += std::string(back, static_cast<std::size_t>(nBack)) == code;
        WCHAR again[2];
        ASSERT_EQ(MultiByteToWideChar(nPage, MB_ERR_INVALID_CHARS, back, nBack, again, 2), 1);
        ASSERT_EQ(again[0], unit[0]) << nPage << ": " << Hex(code);
      }
    }
    EXPECT_GE(nDefined, nLeastDefined) << nPage;
    // None but ASCII has more than a few percent of duplicates. Windows reads
    // ASCII's bytes above 0x7F as their low seven bits: all duplicates.
    if (nPage == 20127) {
      EXPECT_EQ(nSameCode, 128);
    } else {
      EXPECT_GT(nSameCode, nDefined * 95 / 100) << nPage;
    }
    for (unsigned unit = 0; unit < 0x10000; ++unit) {
      const WCHAR source = static_cast<WCHAR>(unit);
      char bytes[3];
      BOOL bUsed = FALSE;
      const int nBytes =
          WideCharToMultiByte(nPage, WC_NO_BEST_FIT_CHARS, &source, 1, bytes, 3, nullptr, &bUsed);
      ASSERT_GT(nBytes, 0);
      if (bUsed) continue;
      // Read back without the strict flag: Windows' tables write a few
      // private-use characters to bytes they read only that way.
      WCHAR back[2];
      ASSERT_EQ(MultiByteToWideChar(nPage, 0, bytes, nBytes, back, 2), 1)
          << nPage << ": U+" << std::hex << unit;
      ASSERT_EQ(back[0], source) << nPage << ": U+" << std::hex << unit;
    }
  }
}

TEST(CodePageTest, OnlyServedPagesAreValidAndCpAcpIsTheAnsiPage) {
  EXPECT_TRUE(IsValidCodePage(CP_UTF8));
  EXPECT_FALSE(IsValidCodePage(CP_ACP));  // it stands for a page, but is none
  EXPECT_FALSE(IsValidCodePage(kUnknownPage));
  EXPECT_TRUE(IsValidCodePage(GetACP()));
  const std::string_view bytes = "caf\xE9 \x80";
  EXPECT_EQ(ToWide(CP_ACP, 0, bytes), ToWide(GetACP(), 0, bytes));
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

// The tables are built at the first conversion through each page; each
// thread takes the pages in its own order, so that the builds overlap, and
// every conversion, the first included, reads a whole table.
TEST(CodePageTest, FirstConversionsOnManyThreadsReadWholeTables) {
  kxu::test::RunConcurrently(kxu::test::kThreads, [](int k) {
    const std::pair<UINT, std::string_view> pages[] = {
        {1252, "\x80"}, {932, "\x82\xA0"}, {1251, "\xC0"}};
    const U16 units[] = {u"\u20AC", u"\u3042", u"\u0410"};  // euro, hiragana a, Cyrillic A
    for (std::size_t i = 0; i < std::size(pages); ++i) {
      const auto& [nPage, bytes] = pages[(i + static_cast<std::size_t>(k)) % std::size(pages)];
      const U16& unit = units[(i + static_cast<std::size_t>(k)) % std::size(pages)];
      EXPECT_EQ(ToWide(nPage, 0, bytes), unit) << nPage;
      EXPECT_EQ(ToBytes(nPage, 0, unit), bytes) << nPage;
    }
  });
}

}  // namespace
