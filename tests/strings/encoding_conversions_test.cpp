#include <kxutils96/strings/encoding_conversions.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/platform/win32/win_nls.h>
#include <kxutils96/strings/wide_conversion.h>

namespace {

using U16 = std::basic_string<WCHAR>;

constexpr int kUnknownPage = 12345;
constexpr int kChooseHostPage = -1;

U16 Wide(const CString& str) {
  return U16(str.GetString(), static_cast<std::size_t>(str.GetLength()));
}
std::string Bytes(const CStringA& str) {
  return std::string(str.GetString(), static_cast<std::size_t>(str.GetLength()));
}
std::string Bytes(const CStringUTF8& str) {
  return std::string(str.GetString(), static_cast<std::size_t>(str.GetLength()));
}

struct ToUtf16Row {
  const char* name;
  const char* pSource;
  int nCodePage;
  int nLen;
  U16 expected;
  int nResult;
};

TEST(ZqMBCStoUTF16Test, ConvertsWithTheLengthAndTerminatorRules) {
  const char embedded[] = "ab\0cd";
  const ToUtf16Row rows[] = {
      {"whole text", "caf\xE9", 1252, -1, u"café", 4},
      {"any negative length is the whole text", "caf\xE9", 1252, -7, u"café", 4},
      {"length covering the text but not its NUL keeps every character", "abc", 1252, 3, u"abc", 3},
      {"shorter length", "abcdef", 1252, 2, u"ab", 2},
      {"length past the NUL ends at the NUL", embedded, 1252, 5, u"ab", 2},
      {"length past the text's end ends at its NUL", "abc", 65001, 10, u"abc", 3},
      {"UTF-8", "\xE4\xB8\xAD\xE6\x96\x87", 65001, -1, u"中文", 2},
      {"double-byte page", "\x93\xFA\x96\x7B", 932, 4, u"日本", 2},
      {"null source", nullptr, 1252, -1, u"", 0},
      {"empty source", "", 1252, -1, u"", 0},
      {"length 0", "abc", 1252, 0, u"", 0},
      {"unknown page", "abc", kUnknownPage, -1, u"", 0},
      {"a negative page is the host's or the ANSI page", "abc", kChooseHostPage, -1, u"abc", 3},
  };
  for (const ToUtf16Row& row : rows) {
    CString strDest(u"old");
    EXPECT_EQ(zqMBCStoUTF16(strDest, row.pSource, row.nCodePage, row.nLen), row.nResult)
        << row.name;
    EXPECT_EQ(Wide(strDest), row.expected) << row.name;
  }
}

TEST(ZqUTF8toUTF16Test, ConvertsUtf8AndEmptiesOnEmptyText) {
  CString strDest(u"old");
  EXPECT_EQ(zqUTF8toUTF16(strDest, "", -1), 0);
  EXPECT_TRUE(strDest.IsEmpty());
  EXPECT_EQ(zqUTF8toUTF16(strDest, "x\xF0\x9F\x98\x80\xFF", -1), 4);
  EXPECT_EQ(Wide(strDest), u"x\U0001F600\uFFFD");
}

struct ToMbcsRow {
  const char* name;
  U16 source;
  int nCodePage;
  int nLen;
  DWORD dwFlags;
  std::string expected;
  int nResult;
  int bUsedDefault;  // -1: no report asked
};

TEST(ZqUTF16toMBCSTest, ConvertsReportsAndEmpties) {
  const ToMbcsRow rows[] = {
      {"code page", u"na\u00EFve", 1252, -1, 0, "na\xEFve", 5, FALSE},
      {"default character reported", u"a\u4E2D", 1252, -1, WC_NO_BEST_FIT_CHARS, "a?", 2, TRUE},
      {"no report asked", u"a\u4E2D", 1252, -1, 0, "a?", 2, -1},
      {"double-byte page", u"日本", 932, -1, 0, "\x93\xFA\x96\x7B", 4, FALSE},
      {"explicit length without NUL keeps the last character", u"abc", 1252, 3, 0, "abc", 3, -1},
      {"shorter length", u"abcdef", 1252, 2, 0, "ab", 2, -1},
      {"length past the NUL ends at the NUL", U16(u"ab\0cd", 5), 1252, 5, 0, "ab", 2, -1},
      {"length past the text's end ends at its NUL", u"abc", 65001, 10, 0, "abc", 3, -1},
      {"UTF-8 without a report", u"\u00E9", 65001, -1, 0, "\xC3\xA9", 2, -1},
      {"UTF-8 refuses a report", u"\u00E9", 65001, -1, 0, "", 0, FALSE},
      {"UTF-8 refuses the best-fit flag", u"\u00E9", 65001, -1, WC_NO_BEST_FIT_CHARS, "", 0, -1},
      {"unknown page", u"abc", kUnknownPage, -1, 0, "", 0, -1},
      {"empty source", u"", 1252, -1, 0, "", 0, -1},
  };
  for (const ToMbcsRow& row : rows) {
    CStringA strDest("old");
    int bUsed = 7;
    int* pbUsed = row.bUsedDefault == -1 ? nullptr : &bUsed;
    EXPECT_EQ(
        zqUTF16toMBCS(strDest, row.source.c_str(), row.nCodePage, row.nLen, pbUsed, row.dwFlags),
        row.nResult)
        << row.name;
    EXPECT_EQ(Bytes(strDest), row.expected) << row.name;
    if (pbUsed != nullptr && row.nResult != 0) {
      EXPECT_EQ(bUsed, row.bUsedDefault) << row.name;
    }
  }
  CStringA strDest("old");
  EXPECT_EQ(zqUTF16toMBCS(strDest, nullptr, 1252, -1, nullptr, 0), 0);
  EXPECT_TRUE(strDest.IsEmpty());
}

TEST(ZqUTF16toUTF8Test, ConvertsPairsWithinTheLength) {
  const struct {
    U16 source;
    int nLen;
    std::string expected;
  } rows[] = {
      {u"\U0001F600!", -1, "\xF0\x9F\x98\x80!"},
      {u"\u00E9\u00E9", 1, "\xC3\xA9"},
      {u"", -1, ""},
  };
  for (const auto& row : rows) {
    CStringUTF8 strDest("old");
    EXPECT_EQ(zqUTF16toUTF8(strDest, row.source.c_str(), row.nLen),
              static_cast<int>(row.expected.size()));
    EXPECT_EQ(Bytes(strDest), row.expected);
  }
  CStringUTF8 strDest("old");
  EXPECT_EQ(zqUTF16toUTF8(strDest, nullptr, -1), 0);
  EXPECT_TRUE(strDest.IsEmpty());
}

TEST(ZqUTF8toMBCSTest, GoesThroughUtf16WithTheGivenLength) {
  const struct {
    const char* pSource;
    int nCodePage;
    int nLen;
    std::string expected;
  } rows[] = {
      {"\xC3\xA9t\xC3\xA9", 1252, -1, "\xE9t\xE9"},
      {"\xC3\xA9t\xC3\xA9", 1252, 3, "\xE9t"},
      {"\xE6\x97\xA5\xE6\x9C\xAC", 932, -1, "\x93\xFA\x96\x7B"},
      {"\xE4\xB8\xAD", 1252, -1, "?"},
      {"abc", kUnknownPage, -1, ""},
      {nullptr, 1252, -1, ""},
      {"", 1252, -1, ""},
  };
  for (const auto& row : rows) {
    CStringA strDest("old");
    EXPECT_EQ(zqUTF8toMBCS(strDest, row.pSource, row.nCodePage, row.nLen),
              static_cast<int>(row.expected.size()));
    EXPECT_EQ(Bytes(strDest), row.expected);
  }
}

TEST(ZqMBCStoUTF8Test, ConvertsInPlaceGrowingTheBuffer) {
  const struct {
    const char* name;
    const char* pSource;
    const char* pInitial;
    int nCodePage;
    std::string expected;
  } rows[] = {
      {"source copied first", "\x93quoted\x94", "old", 1252, "\xE2\x80\x9Cquoted\xE2\x80\x9D"},
      {"null source converts the string itself", nullptr, "caf\xE9", 1252, "caf\xC3\xA9"},
      {"ASCII stays", "plain", "", 1252, "plain"},
      {"double-byte page", "\x93\xFA\x96\x7B", "", 932, "\xE6\x97\xA5\xE6\x9C\xAC"},
      {"valid UTF-8 stays", "\xC3\xA9", "", 65001, "\xC3\xA9"},
      {"empty text", "", "old", 1252, ""},
      {"null source and empty string", nullptr, "", 1252, ""},
      {"unknown page empties", "abc", "", kUnknownPage, ""},
  };
  for (const auto& row : rows) {
    CStringUTF8 strDest(row.pInitial);
    EXPECT_EQ(zqMBCStoUTF8(strDest, row.pSource, row.nCodePage),
              static_cast<int>(row.expected.size()))
        << row.name;
    EXPECT_EQ(Bytes(strDest), row.expected) << row.name;
  }
}

TEST(ZqArrayTest, Utf16ToUtf8TakesTheSourceCount) {
  CStringArray saSrc;
  saSrc.Add(CString(u"a"));
  saSrc.Add(CString(u"\u00E9"));
  saSrc.Add(CString());
  CZQVStringArray saDest;
  for (const char* psz : {"1", "2", "3", "4", "5"}) saDest.Add(psz);
  EXPECT_EQ(zqUTF16toUTF8(saDest, saSrc), 3);
  ASSERT_EQ(saDest.GetSize(), 3);
  EXPECT_EQ(Bytes(saDest[0]), "a");
  EXPECT_EQ(Bytes(saDest[1]), "\xC3\xA9");
  EXPECT_EQ(Bytes(saDest[2]), "");
}

TEST(ZqArrayTest, Utf8ToUtf16TakesTheSourceCount) {
  CZQVStringArray saSrc;
  saSrc.Add("x");
  saSrc.Add("");
  saSrc.Add("\xE4\xB8\xAD");
  CStringArray saDest;
  saDest.SetSize(7);
  saDest[6] = CString(u"stale");
  EXPECT_EQ(zqUTF8toUTF16(saDest, saSrc), 3);
  ASSERT_EQ(saDest.GetSize(), 3);
  EXPECT_EQ(Wide(saDest[0]), u"x");
  EXPECT_EQ(Wide(saDest[1]), u"");
  EXPECT_EQ(Wide(saDest[2]), u"中");
  CZQVStringArray saEmpty;
  EXPECT_EQ(zqUTF8toUTF16(saDest, saEmpty), 0);
  EXPECT_EQ(saDest.GetSize(), 0);
}

TEST(ZqArrayTest, CodePageFormsConvertEachElementInPlace) {
  CZQVStringArray sa;
  sa.Add("\xE9t\xE9");
  sa.Add("");
  sa.Add("\x80");
  EXPECT_EQ(zqMBCStoUTF8(sa, 1252), 3);
  ASSERT_EQ(sa.GetSize(), 3);
  EXPECT_EQ(Bytes(sa[0]), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(Bytes(sa[1]), "");
  EXPECT_EQ(Bytes(sa[2]), "\xE2\x82\xAC");
  EXPECT_EQ(zqUTF8toMBCS(sa, 1252), 3);
  ASSERT_EQ(sa.GetSize(), 3);
  EXPECT_EQ(Bytes(sa[0]), "\xE9t\xE9");
  EXPECT_EQ(Bytes(sa[1]), "");
  EXPECT_EQ(Bytes(sa[2]), "\x80");
  CZQVStringArray saEmpty;
  EXPECT_EQ(zqMBCStoUTF8(saEmpty, 1252), 0);
  EXPECT_EQ(zqUTF8toMBCS(saEmpty, 1252), 0);
}

TEST(ZqUTF8GetStrAdvancePosTest, WalksAListOfStrings) {
  char list[] = "a\0bc\0\xC3\xA9\0";
  POSITION pos = reinterpret_cast<POSITION>(list);
  EXPECT_STREQ(zqUTF8GetStrAdvancePos(pos), "a");
  EXPECT_STREQ(zqUTF8GetStrAdvancePos(pos), "bc");
  ASSERT_NE(pos, nullptr);
  EXPECT_STREQ(zqUTF8GetStrAdvancePos(pos), "\xC3\xA9");
  EXPECT_EQ(pos, nullptr);
  EXPECT_EQ(zqUTF8GetStrAdvancePos(pos), nullptr);
  EXPECT_EQ(pos, nullptr);
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

}  // namespace
