#include <kxutils96/host/zutl96/zutl96.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace {

// strtod's forms in the "C" locale, the same on every run-time: an exponent
// needs digits (the number ends before it), only the point separates the
// fraction, "0x" without hexadecimal digits is the 0, decimal texts round to
// the nearest double, and overflow and underflow give HUGE_VAL and 0.
TEST(UtlStrToDouble, ParsesStrtodsFormsInTheCLocale) {
  const struct {
    const char* text;
    double expected;
  } rows[] = {
      {"1.5e3x", 1500.0},
      {" \t\n\v\f\r-2.5", -2.5},
      {"+.5", 0.5},
      {"1e", 1.0},
      {"2,5", 2.0},
      {"0x10", 16.0},
      {"-0X1.8p1", -3.0},
      {"0x.8", 0.5},
      {"0x", 0.0},
      {"0xg", 0.0},
      {"1e400", HUGE_VAL},
      {"-1e400", -HUGE_VAL},
      {"1000000000000000000000000000000000000000000000000000e300", HUGE_VAL},
      {"1e-400", 0.0},
      {"0.000000000000000000000000000000000000001e-300", 0.0},
      {"0x1p1024", HUGE_VAL},
      {"0x1p-1080", 0.0},
      {"abc", 0.0},
      {"", 0.0},
      {"+-5", 0.0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(utlStrToDouble(row.text), row.expected) << '"' << row.text << '"';
  }
  EXPECT_EQ(utlStrToDouble(nullptr), 0.0);
}

TEST(UtlStrToDouble, IgnoresTheProcesssLocale) {
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
      std::setlocale(LC_NUMERIC, "German_Germany.1252") == nullptr) {
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  const double point = utlStrToDouble("2.5");
  const double comma = utlStrToDouble("2,5");
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(point, 2.5);
  EXPECT_EQ(comma, 2.0);
}

}  // namespace
