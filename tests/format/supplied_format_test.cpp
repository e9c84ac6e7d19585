// Formatting a loaded message with only the values a caller supplied.
#include <kxutils96/format/messages/detail/supplied_format.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kxu::format::FormatSupplied;
using kxu::format::SuppliedValue;

struct SuppliedCase {
  const char* name;
  const char* format;
  std::vector<SuppliedValue> values;
  const char* expected;
};

class SuppliedFormatTest : public ::testing::TestWithParam<SuppliedCase> {};

TEST_P(SuppliedFormatTest, FillsOnlyWhatWasSupplied) {
  const SuppliedCase& c = GetParam();
  CStringUTF8 result("earlier");
  FormatSupplied(result, c.format, c.values);
  EXPECT_STREQ(result.GetString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    FormatSupplied, SuppliedFormatTest,
    ::testing::Values(
        SuppliedCase{"TextThenInt",
                     "%s has %d rows",
                     {SuppliedValue::Text("T"), SuppliedValue::Int(3)},
                     "T has 3 rows"},
        SuppliedCase{
            "TwoTexts", "%s to %s", {SuppliedValue::Text("a"), SuppliedValue::Text("b")}, "a to b"},
        SuppliedCase{"PercentPair", "100%% of %d", {SuppliedValue::Int(7)}, "100% of 7"},
        SuppliedCase{"WidthsAndFlags",
                     "[%-4s|%05d|%x|%+d|%c]",
                     {SuppliedValue::Text("ab"), SuppliedValue::Int(42), SuppliedValue::Int(255),
                      SuppliedValue::Int(5), SuppliedValue::Int('z')},
                     "[ab  |00042|ff|+5|z]"},
        SuppliedCase{"Precision", "%.2s", {SuppliedValue::Text("abcdef")}, "ab"},
        SuppliedCase{"UnsignedOfANegativeInt", "%u", {SuppliedValue::Int(-1)}, "4294967295"},
        SuppliedCase{"KindMismatchStays", "%d and %s", {SuppliedValue::Text("x")}, "%d and x"},
        SuppliedCase{"ValuesRunOut", "%s, %s and %d", {SuppliedValue::Text("a")}, "a, %s and %d"},
        SuppliedCase{"FloatingConversionStays",
                     "%d steps (%.3g)",
                     {SuppliedValue::Int(9)},
                     "9 steps (%.3g)"},
        SuppliedCase{"LengthModifierStays", "%ld %d", {SuppliedValue::Int(1)}, "%ld 1"},
        SuppliedCase{"StarStays", "%*d|%d", {SuppliedValue::Int(2)}, "%*d|2"},
        SuppliedCase{"PositionStays", "%1$s|%s", {SuppliedValue::Text("a")}, "%1$s|a"},
        SuppliedCase{"HugeWidthStays", "%99999d|%d", {SuppliedValue::Int(4)}, "%99999d|4"},
        SuppliedCase{"UndefinedFlagStays", "%#d %0s %d", {SuppliedValue::Int(4)}, "%#d %0s 4"},
        SuppliedCase{"PrecisionOnCharStays", "%.2c%c", {SuppliedValue::Int('a')}, "%.2ca"},
        SuppliedCase{"PercentAtTheEnd", "50 %", {}, "50 %"},
        SuppliedCase{"NoConversion", "plain", {SuppliedValue::Int(1)}, "plain"},
        SuppliedCase{"ConversionCutByTheEnd", "x %-5", {SuppliedValue::Int(1)}, "x %-5"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
