// The message formatters. The ordered one: every documented case and the six
// error texts over a table of values, which also shows how arguments are read
// (once each, in index order, typed by their letter, none at all for a
// rejected format). The printf-style one, with only the values a caller supplied.
#include <kxutils96/format/messages/detail/supplied_format.h>
#include <kxutils96/format/messages/ordered_format.h>

#include <gtest/gtest.h>

#include "support/caught_exception.h"

#include <climits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace kxu::format;

constexpr const char* kNoSign = "ERROR: Format sign ({0}) not found";
constexpr const char* kNoBrace = "ERROR: Cannot found matching '{'";
constexpr const char* kBadNumber = "ERROR: Format sign invalid number";
constexpr const char* kBadNotation = "ERROR: Invalid format notation";
constexpr const char* kBadCount = "ERROR: Too many or too few format sign";
constexpr const char* kBadOrder = "ERROR: Invalid format sign order";

constexpr auto N = [](int n) { return OrderedValue{.n = n}; };
constexpr auto S = [](const char* psz) { return OrderedValue{.psz = psz}; };
constexpr auto D = [](double d) { return OrderedValue{.d = d}; };

// Values by index, and the reads made of them.
struct TableReader {
  std::vector<OrderedValue> values;
  std::vector<std::pair<int, char>> reads;

  static OrderedValue Read(void* pContext, int nIndex, char chLetter) {
    auto& self = *static_cast<TableReader*>(pContext);
    self.reads.emplace_back(nIndex, chLetter);
    return self.values.at(static_cast<std::size_t>(nIndex));
  }
};

TEST(OrderedFormat, FormatsOrReportsTheErrorReadingEachValueOnceInIndexOrder) {
  const std::vector<OrderedValue> ten = {N(0), N(1), N(2), N(3), N(4),
                                         N(5), N(6), N(7), N(8), N(9)};
  // Format, values, result and the letters of the values read, in index order.
  const std::tuple<const char*, std::vector<OrderedValue>, const char*, const char*> rows[] = {
      {"{1}%s has {0}%d rows", {N(12), S("Table")}, "Table has 12 rows", "ds"},
      {"{0}%s", {S("x")}, kBadCount, ""},
      {"{0}%d{1}%d{2}%d{3}%d{4}%d{5}%d{6}%d{7}%d{8}%d{9}%d{10}%d", ten, kBadCount, ""},
      {"{9}%d{8}%d{7}%d{6}%d{5}%d{4}%d{3}%d{2}%d{1}%d{0}%d", ten, "9876543210", "dddddddddd"},
      {"{0}%s {0}%s", {S("a"), S("b")}, kBadOrder, ""},
      {"{0}%s {2}%s", {S("a"), S("b")}, kBadOrder, ""},
      {"{0}%f {1}%s", {}, kNoSign, ""},  // f is no sign's letter
      {"{0}%s {1}%x", {}, kBadNotation, ""},
      {"0}%s {1}%d", {}, kNoBrace, ""},
      {"50%% of {0}%s in {1}%d", {S("x"), N(7)}, "50% of x in 7", "sd"},
      {nullptr, {}, kNoSign, ""},
      {"{0}%s {1}%s %", {S("a"), S("b")}, kBadNotation, ""},
      {"} {0}%s {{1}%s }", {S("a"), S("b")}, "} a {b }", "ss"},
      {"{10000000000}%d {0}%d", {}, kBadNumber, ""},
      {"{ 01 }%s {+0}%d", {N(5), S("b")}, "b 5", "ds"},
      {"{0}%e|{1}%E|{2}%g|{3}%G",
       {D(0.5), D(1234.5), D(1e-5), D(2.5e20)},
       "5.000000e-01|1.234500E+03|1e-05|2.5E+20",
       "eEgG"},
      {"{0}%%s {0}%s {1}%d", {S("a"), N(1)}, "{0}%s a 1", "sd"},  // a pair after a brace is text
      {"{0}%s {1}%s", {S(nullptr), S("b")}, "(null) b", "ss"},
  };
  for (const auto& [format, values, expected, letters] : rows) {
    TableReader reader{values, {}};
    CStringUTF8 result("earlier text");
    SCOPED_TRACE(format == nullptr ? "(null)" : format);
    EXPECT_EQ(kxuStringOrderedFormatFrom(result, format, TableReader::Read, &reader),
              *letters == '\0' ? 0 : 1);
    EXPECT_STREQ(result.GetString(), expected);
    std::vector<std::pair<int, char>> expectedReads;
    for (int i = 0; letters[i] != '\0'; ++i) expectedReads.emplace_back(i, letters[i]);
    EXPECT_EQ(reader.reads, expectedReads);
  }
}

// The format, or a value, may lie in the result string: both are read
// before the result is written.
TEST(OrderedFormat, ReadsAFormatOrValueInTheResultBeforeWritingIt) {
  CStringUTF8 result("x{0}%s{1}%d and the rest of a long text");
  TableReader reader{{S("a value longer than its sign"), N(7)}, {}};
  kxuStringOrderedFormatFrom(result, result.GetString(), TableReader::Read, &reader);
  EXPECT_STREQ(result.GetString(), "xa value longer than its sign7 and the rest of a long text");
  reader = {{S(result.GetString() + 1), N(1)}, {}};
  kxuStringOrderedFormatFrom(result, "<{0}%s{1}%d>", TableReader::Read, &reader);
  EXPECT_STREQ(result.GetString(), "<a value longer than its sign7 and the rest of a long text1>");
}

// Ten values of 215 MB: a result longer than a string holds is refused
// before anything is written, as a string refuses to grow that long.
TEST(OrderedFormat, TooLongForAStringRaisesMemoryException) {
  const std::string value(INT_MAX / 10 + 1, 'v');
  TableReader reader{std::vector<OrderedValue>(10, S(value.c_str())), {}};
  CStringUTF8 result("earlier text");
  EXPECT_TRUE(kxu::test::Caught<CMemoryException>([&] {
    kxuStringOrderedFormatFrom(result, "{0}%s{1}%s{2}%s{3}%s{4}%s{5}%s{6}%s{7}%s{8}%s{9}%s",
                               TableReader::Read, &reader);
  }));
  EXPECT_STREQ(result.GetString(), "earlier text");
}

TEST(FormatSupplied, FillsOnlyTheConversionsThatFitTheValuesInTurn) {
  const auto T = SuppliedValue::Text;
  const auto I = SuppliedValue::Int;
  const std::tuple<const char*, std::vector<SuppliedValue>, const char*> rows[] = {
      {"%s has %d rows", {T("T"), I(3)}, "T has 3 rows"},
      {"100%% of %d", {I(7)}, "100% of 7"},
      {"[%-4s|%05d|%x|%+d|%c]", {T("ab"), I(42), I(255), I(5), I('z')}, "[ab  |00042|ff|+5|z]"},
      {"%.2s", {T("abcdef")}, "ab"},
      {"(%s)", {T("")}, "()"},  // a conversion that prints nothing
      {"%u", {I(-1)}, "4294967295"},
      {"%d and %s", {T("x")}, "%d and x"},  // a conversion of another kind stays
      {"%s, %s and %d", {T("a")}, "a, %s and %d"},
      {"%d steps (%.3g)", {I(9)}, "9 steps (%.3g)"},
      {"%ld %*d %99999.1d %.99999d %#d %d", {I(4)}, "%ld %*d %99999.1d %.99999d %#d 4"},
      {"%1$s %0s %s", {T("a")}, "%1$s %0s a"},
      {"%.2c%c", {I('a')}, "%.2ca"},
      {"x %-5", {I(1)}, "x %-5"},
  };
  for (const auto& [format, values, expected] : rows) {
    CStringUTF8 result("earlier");
    FormatSupplied(result, format, values);
    EXPECT_STREQ(result.GetString(), expected) << format;
  }
}

}  // namespace
