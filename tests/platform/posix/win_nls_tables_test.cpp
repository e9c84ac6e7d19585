// This platform's own code-page tables and UTF-8 decoder, which keep to the
// pages' strict definitions. Windows answers from its own tables instead:
// look-alikes for characters a page lacks (unless WC_NO_BEST_FIT_CHARS),
// U+30FB for a broken double-byte code in 932, bytes above 0x7F of 20127
// read as their low seven bits.
#include <kxutils96/platform/win32/win_nls.h>

#include <gtest/gtest.h>

#include <string_view>

#include "platform/win_nls_conversions.h"
#include "support/hex_text.h"

namespace {

using kxu::test::Hex;
using kxu::test::ToBytes;
using kxu::test::ToWide;
using kxu::test::U16;

TEST(OwnTables, UndefinedInputBecomesTheReplacementCharacter) {
  const struct {
    UINT nPage;
    std::string_view bytes;
    U16 expected;
  } rows[] = {
      // Maximal invalid subsequences: an encoded surrogate is three, a code
      // past U+10FFFF four.
      {CP_UTF8, "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {CP_UTF8, "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      // A lead byte without a valid trail: U+FFFD, and the next byte is read
      // again; a lead byte at the end likewise.
      {932, "\x81 x", u"\uFFFD x"},
      {932, "a\x81", u"a\uFFFD"},
      {20127, "A\xC1", u"A\uFFFD"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Hex(ToWide(row.nPage, 0, row.bytes)), Hex(row.expected))
        << row.nPage << ": " << Hex(row.bytes);
  }
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(MultiByteToWideChar(20127, MB_ERR_INVALID_CHARS, "\x80", 1, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

TEST(OwnTables, WriteNoLookAlikes) {
  BOOL bUsed = FALSE;
  EXPECT_EQ(ToBytes(1252, 0, u"\u0101", &bUsed), "?");  // a-macron is not written as a
  EXPECT_TRUE(bUsed);
  EXPECT_EQ(ToBytes(20127, 0, u"A\u00E9", &bUsed), "A?");
  EXPECT_TRUE(bUsed);
}

}  // namespace
