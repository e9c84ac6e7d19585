// The host's small text helpers: byte classes, white space, numbers, quotes,
// C escapes and comments, keyword search and the clean-up of pasted text.
#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>

using namespace kxu::zutl96;

namespace {

// The offset of `p` in `text`, -1 for null.
int At(const char* p, const std::string& text) {
  return p == nullptr ? -1 : static_cast<int>(p - text.data());
}

TEST(utlCharClass, EveryByteOfAGroupHasItsClass) {
  const std::tuple<std::string, int> rows[] = {{" \t,;:.!?-/)]}", kCharBreakAfter},
                                               {"AZaz", kCharLetter},
                                               {"0123456789", kCharDigit},
                                               {"\r\n\v\f", kCharLineEnd},
                                               {"\"'", kCharQuote},
                                               {"([{<", kCharOpening},
                                               {"#$%&*+=>@\\^_`|~", kCharSymbol},
                                               {std::string("\0\x01\x1F\x7F", 4), kCharControl},
                                               {"\x80\xC3\xFF", kCharMultiByte}};
  for (const auto& [bytes, nClass] : rows) {
    for (const char ch : bytes) {
      EXPECT_EQ(utlCharClass(ch), nClass) << static_cast<int>(static_cast<unsigned char>(ch));
      EXPECT_EQ(utlCharClass(static_cast<unsigned char>(ch)), nClass) << "unsigned value";
      EXPECT_EQ(KESUTIL_is_quote_char(ch, 0), nClass == kCharQuote ? 1 : 0) << ch;
    }
  }
}

TEST(utlSkipWhite, SkipsLeadingWhiteSpaceOnly) {
  // Offsets of utlSkipWhite's and utlSkipWhiteAfterSep's results, -1 for null.
  const std::tuple<std::string, int, int> rows[] = {
      {"ab ", 0, 0}, {" \t\r\n\v\fx", 6, 6}, {" \t ", 3, -1}, {"\xA0x", 0, 0}};
  for (auto [text, nSkipWhite, nSkipAfterSep] : rows) {
    EXPECT_EQ(At(utlSkipWhite(text.data()), text), nSkipWhite) << text;
    EXPECT_EQ(At(utlSkipWhiteAfterSep(text.data()), text), nSkipAfterSep) << text;
  }
  EXPECT_EQ(utlSkipWhite(nullptr), nullptr);
  EXPECT_EQ(utlSkipWhiteAfterSep(nullptr), nullptr);
}

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
  EXPECT_EQ(utlStrToInt(nullptr, nullptr), 0);
  EXPECT_EQ(utlStrToInt("5", nullptr), 1);
}

// strtod's forms in the "C" locale, whatever the process's locale: an
// exponent needs digits, "0x" without hexadecimal digits is the 0, overflow
// and underflow give HUGE_VAL and 0.
TEST(utlStrToDouble, ParsesStrtodsFormsInTheCLocale) {
  const std::tuple<const char*, double> rows[] = {{"1.5e3x", 1500.0},    {" \t\n\v\f\r-2.5", -2.5},
                                                  {"1e", 1.0},           {"2,5", 2.0},
                                                  {"0x.8", 0.5},         {"0xg", 0.0},
                                                  {"-1e400", -HUGE_VAL}, {"0x1p1024", HUGE_VAL},
                                                  {"0x1p-1080", 0.0},    {"+-5", 0.0}};
  const bool bCommaLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
                            std::setlocale(LC_NUMERIC, "German_Germany.1252") != nullptr;
  SCOPED_TRACE(bCommaLocale ? "in a decimal-comma locale" : "in the C locale");
  for (const auto& [text, expected] : rows) EXPECT_EQ(utlStrToDouble(text), expected) << text;
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(utlStrToDouble(nullptr), 0.0);
}

TEST(utlUnquote, RemovesOnlyAnEnclosingPair) {
  const int Q = kUnquoteQuotes, B = kUnquoteQuotesAndBrackets;
  // Token, option, result and pairs removed.
  const std::tuple<std::string, int, std::string, int> rows[] = {
      {"'a'", Q, "a", 1},   {"\"a'", Q, "\"a'", 0}, {"\"", Q, "\"", 0},   {"\"\"", Q, "", 1},
      {"(x)", Q, "(x)", 0}, {"(x)", B, "x", 1},     {"(x]", B, "(x]", 0}, {"<x>", B, "<x>", 0}};
  for (auto [token, nPairs, expected, nRemoved] : rows) {
    EXPECT_EQ(std::string(utlUnquote(token.data(), &nPairs)), expected) << token;
    EXPECT_EQ(nPairs, nRemoved) << token;
  }
  EXPECT_EQ(utlUnquote(nullptr, nullptr), nullptr);
  std::string token = "(x)";  // a null option means quotes only
  EXPECT_EQ(std::string(utlUnquote(token.data(), nullptr)), "(x)");
}

TEST(utlCsvUnquote, RemovesCsvQuotingInPlace) {
  // Field, flags, result and whether the quote was closed.
  const std::tuple<std::string, DWORD, std::string, int> rows[] = {
      {"\"say \"\"hi\"\"\"", 0, "say \"hi\"", 1},
      {"\"ab\"c d", 0, "abc d", 1},  // bytes after the closing quote kept
      {"\"a\"\"", 0, "a\"", 0},
      {"\"a\\\"b\"", kCsvBackslashEscapes, "a\"b", 1},
      {"\"a\\", kCsvBackslashEscapes, "a\\", 0},  // an escape needs a byte after it
      {"\"a\\\"b", 0x00FFFFFF, "a\\b", 1},        // the low bits are ignored
      {"a\"b\"", 0, "a\"b\"", 0}};
  for (auto [field, dwFlags, expected, nExpectedClosed] : rows) {
    int nClosed = 1;
    EXPECT_EQ(utlCsvUnquote(field.data(), &nClosed, dwFlags), field.data());
    EXPECT_EQ(std::string(field.c_str()), expected) << field;
    EXPECT_EQ(nClosed, nExpectedClosed) << field;
  }
  int nClosed = 1;
  EXPECT_EQ(utlCsvUnquote(nullptr, &nClosed, 0), nullptr);
  EXPECT_EQ(nClosed, 0);
}

TEST(utlCharToCEscape, WritesTheEscapeOrLeavesTheBuffer) {
  // An empty escape: the byte stands for itself.
  const std::tuple<int, const char*> rows[] = {{'\n', "\\n"},   {'\\', "\\\\"},  {'"', "\\\""},
                                               {0x1F, "\\037"}, {0x7F, "\\177"}, {' ', ""},
                                               {-61, ""}};
  for (const auto& [ch, expected] : rows) {
    char buffer[kCEscapeBufferSize] = "untouched";
    EXPECT_EQ(utlCharToCEscape(ch, buffer, 0), static_cast<int>(std::strlen(expected)));
    EXPECT_STREQ(buffer, *expected == '\0' ? "untouched" : expected) << ch;
  }
  EXPECT_EQ(utlCharToCEscape('\n', nullptr, 0), 0);
}

TEST(utlSkipComment, SkipsAndFinds) {
  // Offsets of utlSkipComment's and utlFindComment's results.
  const std::tuple<std::string, int, int> rows[] = {
      {"// a\nb", 4, 0},           {"/* a", 4, 0},          {"/* a * / **/x", 12, 0},
      {"s = \"//\"; // c", 0, 10}, {"\"\\\"/*\" //", 0, 7}, {"'\"' /**/", 0, 4},
      {"\"open\n// c", 0, 6}};
  for (auto [text, nSkipTo, nFound] : rows) {
    EXPECT_EQ(At(utlSkipComment(text.data()), text), nSkipTo) << text;
    EXPECT_EQ(At(utlFindComment(text.data()), text), nFound) << text;
  }
  EXPECT_EQ(utlSkipComment(nullptr), nullptr);
  EXPECT_EQ(utlFindComment(nullptr), nullptr);
}

TEST(utlFindTextEx, FindsTheFirstAtOrAfterThePosition) {
  // Keyword, text, start, options and the offset found (-1 for none).
  const std::tuple<const char*, std::string, int, int, int> rows[] = {
      {"and", "a and b and", 3, 0, 8},
      {"and", "a AND b", 0, 0, -1},
      {"and", "a AnD b", 0, kFindTextIgnoreCase, 2},
      {"[", "{[", 0, kFindTextIgnoreCase, 1},  // other bytes keep their case
      {"\xC3\xA9", "e\xC3\x89\xC3\xA9", 0, kFindTextIgnoreCase, 3},
      {"", "abc", 0, 0, -1}};
  for (auto [keyword, text, nStart, nOptions, nFound] : rows) {
    EXPECT_EQ(At(utlFindTextEx(keyword, text.data() + nStart, nOptions), text), nFound) << text;
  }
  char text[] = "abc";
  EXPECT_EQ(utlFindTextEx(nullptr, text, 0), nullptr);
  EXPECT_EQ(utlFindTextEx("a", nullptr, 0), nullptr);
}

TEST(utlConvertTextInPlace, ConvertsTypographicMarksWithinTheBuffer) {
  const std::tuple<std::string, int, std::string> rows[] = {
      {"x \xE2\x80\x9Cq\xE2\x80\x9D", -1, "x \"q\""},
      {"x\xC2\xA0y\xE2\x80\x93y\xE2\x88\x92z", -1, "x y-y-z"},
      {"\xC3\xA9\xE2\x80\xA6", -1, "\xC3\xA9\xE2\x80\xA6"},  // other UTF-8 stays
      {"a\xE2\x80", -1, "a\xE2\x80"},                        // a cut sequence stays
      {"\xC2\xA0|\xC2\xA0", 3, " |\xC2\xA0"},                // the length's prefix only
      {"\xC2\xA0", 1, "\xC2\xA0"},
      {"\xC2\xA0", 50, " "}};
  for (auto [buffer, nLength, expected] : rows) {
    // The buffer's NUL is the last byte the routine may touch.
    EXPECT_EQ(utlConvertTextInPlace(buffer.data(), nLength), static_cast<int>(expected.size()));
    EXPECT_EQ(std::string(buffer.c_str()), expected);
  }
  EXPECT_EQ(utlConvertTextInPlace(nullptr, -1), 0);
}

}  // namespace
