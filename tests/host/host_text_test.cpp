// The host's number parsing, its guess of a file's encoding, each text
// helper's answer to a null text (the families' uses of the other helpers are
// tested through the families), and the host string library's text file
// reader, read a UTF-16 line at a time (the UTF-8 reading is the file
// family's, through its line reader).
#include <kxutils96/host/zstrings96/text_stdio_file.h>
#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/utf8_path.h"

using namespace kxu::zutl96;

namespace {

using namespace kxu::test;
using namespace std::string_literals;

// One decimal integer with white space around it; -99 stands for a refusal.
TEST(utlStrToInt, AcceptsOneDecimalIntegerOnly) {
  const std::tuple<const char*, int> rows[] = {{" \t\n\v\f\r7 ", 7},
                                               {"+3", 3},
                                               {"2147483647", 2147483647},
                                               {"-2147483648", INT32_MIN},
                                               {"2147483648", -99},
                                               {"", -99},
                                               {"+-1", -99},
                                               {"1x", -99},
                                               {"1 2", -99}};
  for (const auto& [text, nExpected] : rows) {
    int nValue = -99;
    EXPECT_EQ(utlStrToInt(text, &nValue), nExpected == -99 ? 0 : 1) << '"' << text << '"';
    EXPECT_EQ(nValue, nExpected) << '"' << text << '"';
  }
  EXPECT_EQ(utlStrToInt("5", nullptr), 1);
}

// strtod's forms in the "C" locale, whatever the process's locale: an
// exponent needs digits, "0x" without hexadecimal digits is the 0, overflow
// and underflow give HUGE_VAL and 0; every result correctly rounded, at
// either word size (the hard 1e23, the least subnormal, a tie to even).
TEST(utlStrToDouble, ParsesStrtodsFormsInTheCLocale) {
  // Out of range by their digits alone, without an exponent.
  const std::string huge(400, '9');
  const std::string tiny = "0." + std::string(400, '0') + "1";
  const std::tuple<const char*, double> rows[] = {{huge.c_str(), HUGE_VAL},
                                                  {tiny.c_str(), 0.0},
                                                  {"1.5e3x", 1500.0},
                                                  {" \t\n\v\f\r-2.5", -2.5},
                                                  {"1e", 1.0},
                                                  {"2,5", 2.0},
                                                  {"0x.8", 0.5},
                                                  {"0xg", 0.0},
                                                  {"-1e400", -HUGE_VAL},
                                                  {"0x1p1024", HUGE_VAL},
                                                  {"0x1p-1080", 0.0},
                                                  {"+-5", 0.0},
                                                  {"1e23", 1e23},
                                                  {"4.9e-324", 0x1p-1074},
                                                  {"0.1", 0.1},
                                                  {"9007199254740993", 0x1p53}};
  const bool bCommaLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
                            std::setlocale(LC_NUMERIC, "German_Germany.1252") != nullptr;
  SCOPED_TRACE(bCommaLocale ? "in a decimal-comma locale" : "in the C locale");
  for (const auto& [text, expected] : rows) EXPECT_EQ(utlStrToDouble(text), expected) << text;
  std::setlocale(LC_NUMERIC, "C");
}

// The helpers the families reach only in part: unquoting and keyword search.
TEST(HostTextHelpers, UnquoteAndFindTextGiveTheirExamples) {
  char quoted[] = "\"a b\"";
  EXPECT_STREQ(utlUnquote(quoted, nullptr), "a b");
  char text[] = "x AND y";
  EXPECT_EQ(utlFindTextEx("and", text, kFindTextIgnoreCase), text + 2);
  EXPECT_EQ(utlFindTextEx("AND", text, 0), text + 2);
}

// Each class at the edges of its bytes; a char above 0x7F passed as a
// negative int is a byte of a multi-byte character.
TEST(utlCharClass, SortsEachByteIntoOneClass) {
  const std::pair<int, std::string_view> rows[] = {
      {kCharLetter, "AZaz"},
      {kCharDigit, "09"},
      {kCharBreakAfter, " \t,;:.!?-/)]}"},
      {kCharLineEnd, "\n\v\f\r"},
      {kCharQuote, "\"'"},
      {kCharOpening, "([{<"},
      {kCharControl, std::string_view("\0\x08\x0E\x1F\x7F", 5)},
      {kCharSymbol, "@`~>*#_|\\+=$%&^"},
      {kCharMultiByte, "\x80\xE9\xFF"},
  };
  for (const auto& [nClass, bytes] : rows) {
    for (const char ch : bytes) {
      EXPECT_EQ(utlCharClass(static_cast<unsigned char>(ch)), nClass) << int{ch};
      EXPECT_EQ(utlCharClass(ch), nClass) << int{ch};
    }
  }
}

// A null text is an answer, never a crash: the host hands its scripts' texts on unchecked.
TEST(HostTextHelpers, ANullTextGivesTheNoResultAnswer) {
  char text[] = "a";
  int nCount = 0;
  EXPECT_EQ(utlSkipWhite(nullptr), nullptr);
  EXPECT_EQ(utlSkipWhiteAfterSep(nullptr), nullptr);
  EXPECT_EQ(utlStrToInt(nullptr, nullptr), 0);
  EXPECT_EQ(utlStrToDouble(nullptr), 0.0);
  EXPECT_EQ(utlUnquote(nullptr, nullptr), nullptr);
  EXPECT_EQ(utlCsvUnquote(nullptr, &nCount, 0), nullptr);
  EXPECT_EQ(utlCharToCEscape('\n', nullptr, 0), 0);
  EXPECT_EQ(utlSkipComment(nullptr), nullptr);
  EXPECT_EQ(utlFindComment(nullptr), nullptr);
  EXPECT_EQ(utlFindTextEx(nullptr, text, 0), nullptr);
  EXPECT_EQ(utlFindTextEx("a", nullptr, 0), nullptr);
  EXPECT_EQ(utlConvertTextInPlace(nullptr, -1), 0);
  EXPECT_EQ(KESUTIL_DetectEncodingFile(nullptr, 0, kDetectUtf16WithoutMark), kEncodingUtf8);
}

TEST(KESUTIL_DetectEncodingFile, DecidesFromTheFirstBytes) {
  // Bytes, whether UTF-16 patterns are looked for, and the answer.
  const std::tuple<std::string, int, int> rows[] = {
      {"\xEF\xBB\xBFnon\xE9", 1,
       kEncodingUtf8},  // a mark decides (the reader's tests hold the others)
      {"Gr\xC3\xBC\xC3\x9F", 1, kEncodingUtf8},
      {"caf\xE9", 1, kEncodingCodePage},
      {"h\0e\0l\0l\0o\0"s, 1, kEncodingUtf16LE},
      {"\0h\0e\0l\0l\0o"s, 1, kEncodingUtf16BE},
      {"h\0e\0l\0l\0o\0"s, 0, kEncodingUtf8},
      {"\x89PNG\0\0\0\0\x01\x02\0\0"s, 1, kEncodingCodePage},    // zeros at both positions
      {std::string(65535, 'a') + "\xC3\xA9", 1, kEncodingUtf8},  // cut by the 64 KiB sample
      {std::string(65536, 'a') + "\xE9", 1, kEncodingUtf8},      // invalid past the sample
      {std::string(65534, 'a') + "\xC0\x80more", 1, kEncodingCodePage}};  // ends at its end
  TempDir dir;
  for (const auto& [bytes, nFlags, expected] : rows) {
    WriteBytes(dir.Path("f.txt"), bytes);
    EXPECT_EQ(KESUTIL_DetectEncodingFile(Utf8(dir.Path("f.txt")).c_str(), 0, nFlags), expected)
        << testing::PrintToString(bytes.substr(0, 16));
  }
  // A file it cannot read answers UTF-8.
  EXPECT_EQ(KESUTIL_DetectEncodingFile(Utf8(dir.Path("missing")).c_str(), 0, 1), kEncodingUtf8);
}

using Lines = std::vector<std::u16string>;

// Each encoding the first bytes decide, with its line ends.
TEST(CZUNICODETextStdioFile, ReadsUtf16LinesInTheEncodingItsFirstBytesDecide) {
  const std::tuple<std::string, Lines> rows[] = {
      {"\xFF\xFE"
       "a\0\r\0\n\0b\0"s,
       {u"a", u"b"}},
      {"\xFE\xFF\0a\0\n\0\xE9"s, {u"a", u"\u00E9"}},
      {"\xEF\xBB\xBF"
       "a\xC3\xA9\r\nb",
       {u"a\u00E9", u"b"}},
      {"a\n\nx\n", {u"a", u"", u"x"}},  // no mark: bytes
  };
  kxu::test::TempDir dir;
  for (const auto& [bytes, expected] : rows) {
    kxu::test::WriteBytes(dir.Path("f.txt"), bytes);
    CZUNICODETextStdioFile file;
    ASSERT_TRUE(file.Open(dir.Path("f.txt").u16string().c_str(), CFile::modeRead));
    Lines lines;
    for (CStringW strLine; file.ReadString(strLine);) lines.emplace_back(strLine.GetString());
    EXPECT_EQ(lines, expected) << testing::PrintToString(bytes);
  }
}

}  // namespace
