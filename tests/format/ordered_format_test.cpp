// The ordered formatter: every documented case, the six error texts, and the
// way arguments are read (once each, in index order, typed by their letter,
// none at all for a rejected format).
#include <kxutils96/format/messages/ordered_format.h>

#include <gtest/gtest.h>

#include "support/caught_exception.h"

#include <climits>
#include <cstdarg>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using kxu::format::OrderedValue;

constexpr const char* kNoSign = "ERROR: Format sign ({0}) not found";
constexpr const char* kNoBrace = "ERROR: Cannot found matching '{'";
constexpr const char* kBadNumber = "ERROR: Format sign invalid number";
constexpr const char* kBadNotation = "ERROR: Invalid format notation";
constexpr const char* kBadCount = "ERROR: Too many or too few format sign";
constexpr const char* kBadOrder = "ERROR: Invalid format sign order";

// The export, called with a real variable argument list.
int Format(CStringUTF8& strResult, const char* lpcszFormat, ...) {
  va_list args;
  va_start(args, lpcszFormat);
  const int nResult = kxuStringOrderedFormat(strResult, lpcszFormat, args);
  va_end(args);
  return nResult;
}

using Call = std::function<int(CStringUTF8&, const char*)>;

struct FormatCase {
  const char* name;
  const char* format;
  Call call;
  const char* expected;
  int nResult;
};

class OrderedFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(OrderedFormatTest, FormatsOrReportsTheError) {
  const FormatCase& c = GetParam();
  CStringUTF8 result("earlier text");
  EXPECT_EQ(c.call(result, c.format), c.nResult);
  EXPECT_STREQ(result.GetString(), c.expected);
}

const Call kNoArguments = [](CStringUTF8& s, const char* f) { return Format(s, f); };

INSTANTIATE_TEST_SUITE_P(
    kxuStringOrderedFormat, OrderedFormatTest,
    ::testing::
        Values(FormatCase{"ArgumentsInAnotherOrder", "{1}%s has {0}%d rows",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, 12, "Table"); },
                          "Table has 12 rows", 1},
               FormatCase{"DoubleAndText", "{0}%g and {1}%s",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, 0.5, "x"); },
                          "0.5 and x", 1},
               FormatCase{"OneSign", "{0}%s",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, "x"); },
                          kBadCount, 0},
               FormatCase{"ElevenSigns", "{0}%d{1}%d{2}%d{3}%d{4}%d{5}%d{6}%d{7}%d{8}%d{9}%d{10}%d",
                          [](CStringUTF8& s, const char* f) {
                            return Format(s, f, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
                          },
                          kBadCount, 0},
               FormatCase{"TenSigns", "{9}%d{8}%d{7}%d{6}%d{5}%d{4}%d{3}%d{2}%d{1}%d{0}%d",
                          [](CStringUTF8& s, const char* f) {
                            return Format(s, f, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9);
                          },
                          "9876543210", 1},
               FormatCase{"DuplicateIndex", "{0}%s {0}%s",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, "a", "b"); },
                          kBadOrder, 0},
               FormatCase{"GapInIndexes", "{0}%s {2}%s",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, "a", "b"); },
                          kBadOrder, 0},
               FormatCase{"NegativeIndex", "{-1}%d {0}%d",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, 1, 2); },
                          kBadOrder, 0},
               FormatCase{"LetterFIsNoSign", "{0}%f {1}%s", kNoArguments, kNoSign, 0},
               FormatCase{"UnknownLetterAfterASign", "{0}%s {1}%x", kNoArguments, kBadNotation, 0},
               FormatCase{"NoOpeningBrace", "0}%s {1}%d", kNoArguments, kNoBrace, 0},
               FormatCase{"OpeningBraceInAnEarlierSegment", "{0}%s 1}%d", kNoArguments, kNoBrace,
                          0},
               FormatCase{"LiteralPercent", "50%% of {0}%s in {1}%d",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, "x", 7); },
                          "50% of x in 7", 1},
               FormatCase{"LonePercentFirst", "5% of {0}%s {1}%d", kNoArguments, kNoSign, 0},
               FormatCase{"StrayOpeningBrace", "{x {0}%s {1}%d",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, "a", 1); },
                          "{x a 1", 1},
               FormatCase{"NoPercentSign", "no percent sign at all", kNoArguments, kNoSign, 0},
               FormatCase{"NullFormat", nullptr, kNoArguments, kNoSign, 0},
               FormatCase{"EmptyFormat", "", kNoArguments, kNoSign, 0},
               FormatCase{"SignAtTheVeryStart", "%s{0}%s {1}%s", kNoArguments, kNoSign, 0},
               FormatCase{"ClosingBraceAtTheStart", "}%s {0}%s", kNoArguments, kNoBrace, 0},
               FormatCase{"PercentAtTheEnd", "{0}%s {1}%s %",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, "a", "b"); },
                          kBadNotation, 0},
               FormatCase{"PercentAtTheEndOfTheFirstSearch", "abc %", kNoArguments, kNoSign, 0},
               FormatCase{"StrayBracesStayText", "} {0}%s {{1}%s }",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, "a", "b"); },
                          "} a {b }", 1},
               FormatCase{"IndexOfElevenDigits", "{10000000000}%d {0}%d", kNoArguments, kBadNumber,
                          0},
               FormatCase{"EmptyIndex", "{}%d {0}%d", kNoArguments, kBadNumber, 0},
               FormatCase{"IndexWithLetters", "{0}%d {1a}%d", kNoArguments, kBadNumber, 0},
               FormatCase{"IndexWithBlanksAndZeros", "{ 01 }%s {+0}%d",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, 5, "b"); },
                          "b 5", 1},
               FormatCase{"FloatingLetters", "{0}%e|{1}%E|{2}%g|{3}%G",
                          [](CStringUTF8& s, const char* f) {
                            return Format(s, f, 0.5, 1234.5, 1e-5, 2.5e20);
                          },
                          "5.000000e-01|1.234500E+03|1e-05|2.5E+20", 1},
               FormatCase{"PairsAroundSigns", "%%{0}%s{1}%s%%",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, "a", "b"); },
                          "%ab%", 1},
               FormatCase{"PairAfterABraceIsText", "{0}%%s {0}%s {1}%d",
                          [](CStringUTF8& s, const char* f) { return Format(s, f, "a", 1); },
                          "{0}%s a 1", 1},
               FormatCase{"NegativeAndExtremeInts", "{0}%d {1}%d",
                          [](CStringUTF8& s, const char* f) {
                            return Format(s, f, -2147483647 - 1, 0);
                          },
                          "-2147483648 0", 1},
               FormatCase{"EmptyResult", "{0}%s{1}%s",
                   [](CStringUTF8& s, const char* f) { return Format(s, f, "", ""); }, "", 1},
        FormatCase{"NullText", "{0}%s {1}%s",
                          [](CStringUTF8& s,
                             const char*
                                 f) { return Format(s, f, static_cast<const char*>(nullptr), "b"); },
                          "(null) b", 1},
               FormatCase{"Utf8Text", "{1}%s \xE2\x86\x92 {0}%s",
                          [](CStringUTF8& s, const char* f) {
                            return Format(s, f,
                                          "Gr\xC3\xBC\xC3\x9F"
                                          "e",
                                          "A");
                          },
                          "A \xE2\x86\x92 Gr\xC3\xBC\xC3\x9F"
                          "e",
                          1}),
    [](const auto& info) { return std::string(info.param.name); });

// A reader over a fixed table that records every read.
struct TableReader {
  std::vector<std::pair<int, char>> reads;

  static OrderedValue Read(void* pContext, int nIndex, char chLetter) {
    auto& self = *static_cast<TableReader*>(pContext);
    self.reads.emplace_back(nIndex, chLetter);
    OrderedValue value{};
    if (chLetter == 'd') {
      value.n = 100 + nIndex;
    } else if (chLetter == 's') {
      value.psz = "t";
    } else {
      value.d = 1.5;
    }
    return value;
  }
};

TEST(OrderedFormatReads, EachArgumentOnceInIndexOrderWithItsLettersType) {
  TableReader reader;
  CStringUTF8 result;
  EXPECT_EQ(kxuStringOrderedFormatFrom(result, "{2}%g {0}%s {1}%d", TableReader::Read, &reader), 1);
  EXPECT_STREQ(result.GetString(), "1.5 t 101");
  const std::vector<std::pair<int, char>> expected = {{0, 's'}, {1, 'd'}, {2, 'g'}};
  EXPECT_EQ(reader.reads, expected);
}

TEST(OrderedFormatReads, NothingWhenTheFormatIsRejectedAtAnyStep) {
  for (const char* format :
       {"{0}%s", "{0}%s {0}%s", "{0}%s {1}%x", "{0}%s 1}%d", "{a}%s {0}%s", "{1}%s {2}%s",
        "{0}%d{1}%d{2}%d{3}%d{4}%d{5}%d{6}%d{7}%d{8}%d{9}%d{10}%d"}) {
    TableReader reader;
    CStringUTF8 result;
    EXPECT_EQ(kxuStringOrderedFormatFrom(result, format, TableReader::Read, &reader), 0) << format;
    EXPECT_TRUE(reader.reads.empty()) << format;
  }
}

TEST(OrderedFormatResult, ATextArgumentMayBeTheResultStringItself) {
  CStringUTF8 result("abc");
  EXPECT_EQ(Format(result, "{1}%s-{0}%s", "x", result.GetString()), 1);
  EXPECT_STREQ(result.GetString(), "abc-x");
}

// Ten values of 215 MB: a result longer than a string holds is refused
// before anything is written, as a string refuses to grow that long.
TEST(OrderedFormatResult, TooLongForAStringRaisesMemoryException) {
  const std::string value(INT_MAX / 10 + 1, 'v');
  const char* v = value.c_str();
  CStringUTF8 result("earlier text");
  EXPECT_TRUE(kxu::test::Caught<CMemoryException>([&] {
    Format(result, "{0}%s{1}%s{2}%s{3}%s{4}%s{5}%s{6}%s{7}%s{8}%s{9}%s", v, v, v, v, v, v, v, v, v,
           v);
  }));
  EXPECT_STREQ(result.GetString(), "earlier text");
}

TEST(OrderedFormatResult, LongTextsAreWrittenWhole) {
  const std::string longText(5000, 'q');
  CStringUTF8 result;
  EXPECT_EQ(Format(result, "<{0}%s|{1}%s>", longText.c_str(), longText.c_str()), 1);
  EXPECT_EQ(std::string(result.GetString()), "<" + longText + "|" + longText + ">");
}

}  // namespace
