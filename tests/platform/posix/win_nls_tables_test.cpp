// This platform's own code-page tables and its map from locale codesets to
// the ANSI page. The tables keep to the pages' strict definitions; Windows
// answers from its own instead: look-alikes for characters a page lacks
// (unless WC_NO_BEST_FIT_CHARS), U+30FB for a broken double-byte code in 932,
// bytes above 0x7F of 20127 read as their low seven bits.
#include <kxutils96/platform/win32/win_nls.h>

#include <gtest/gtest.h>

#include "platform/win_nls_conversions.h"

namespace {

using kxu::test::ToBytes;
using kxu::test::ToWide;

// A lead byte without a valid trail, or at the end, is U+FFFD and the next
// byte is read again; no look-alikes are written, even without the flag.
TEST(OwnTables, UndefinedInputBecomesTheReplacementCharacterAndNoLookAlikes) {
  EXPECT_EQ(ToWide(932, 0, "\x81 x"), u"\uFFFD x");
  EXPECT_EQ(ToWide(932, 0, "a\x81"), u"a\uFFFD");
  EXPECT_EQ(ToWide(20127, 0, "A\xC1"), u"A\uFFFD");
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(MultiByteToWideChar(20127, MB_ERR_INVALID_CHARS, "\x80", 1, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
  BOOL bUsed = FALSE;
  EXPECT_EQ(ToBytes(1252, 0, u"\u0101", &bUsed), "?");  // a-macron is not written as a
  EXPECT_TRUE(bUsed);
}

// The map from locale codesets to ANSI code pages behind GetACP: one row a
// way a name is read (the names' table is data).
TEST(CodePageTest, CodesetNamesMapToAnsiPages) {
  const struct {
    const char* codeset;
    UINT nPage;
  } rows[] = {{"UTF-8", 65001},  {"utf8", 65001},  {"ISO-8859-1", 1252},
              {"EUC-JP", 932},   {"CP1251", 1251}, {"WINDOWS-1257", 1257},
              {"CP12345", 1252}, {"", 1252},       {"A-VERY-LONG-UNKNOWN-CODESET-NAME", 1252}};
  for (const auto& row : rows) {
    EXPECT_EQ(kxu::platform::AnsiCodePageForCodeset(row.codeset), row.nPage) << row.codeset;
  }
}

}  // namespace
