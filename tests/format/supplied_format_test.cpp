// Formatting a loaded message with only the values a caller supplied.
#include <kxutils96/format/messages/detail/supplied_format.h>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using namespace kxu::format;

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
      {"%ld %*d %99999d %#d %d", {I(4)}, "%ld %*d %99999d %#d 4"},
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
