// The host's number parsing, and each text helper's answer to a null text
// (the families' uses of the other helpers are tested through the families).
#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>
#include <tuple>

using namespace kxu::zutl96;

namespace {

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

}  // namespace
