// The comparators' exact results, through the exported callbacks and
// through one-element-pair sorts of every type.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <kxutils96/sort/comparators.h>
#include <kxutils96/sort/generic_callbacks.h>
#include <kxutils96/sort/sort_family.h>

namespace {

using kxu::sort::ComparatorFor;

template <class T>
int Compare(T a, T b, unsigned long flags) {
  return ComparatorFor<T>()(&a, &b, &flags);
}

TEST(Comparators, IntegersInTheirOwnSignedness) {
  // Each row: the two values as bits of the type, the ascending result.
  EXPECT_EQ(Compare<char>(static_cast<char>(0x80), 0x7F, 0), -1);  // plain char is signed
  EXPECT_EQ(Compare<unsigned char>(0x80, 0x7F, 0), 1);
  EXPECT_EQ(Compare<short>(-1, 1, 0), -1);
  EXPECT_EQ(Compare<int>(std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 0), -1);
  EXPECT_EQ(Compare<unsigned int>(0xFFFFFFFFu, 1u, 0), 1);
  EXPECT_EQ(Compare<long>(-5, 3, 0), -1);
  EXPECT_EQ(Compare<unsigned long>(static_cast<unsigned long>(-5), 3, 0), 1);
  EXPECT_EQ(Compare<long long>(std::numeric_limits<long long>::min(), 0, 0), -1);
  EXPECT_EQ(Compare<unsigned long long>(~0ULL, 0, 0), 1);
  EXPECT_EQ(Compare<int>(4, 4, 0), 0);
  EXPECT_EQ(Compare<int>(4, 4, SORT_DESCENDING), 0);
  EXPECT_EQ(Compare<short>(-1, 1, SORT_DESCENDING), 1);
  EXPECT_EQ(Compare<unsigned char>(0x80, 0x7F, SORT_DESCENDING), -1);
  // Other flags change nothing for numbers.
  EXPECT_EQ(Compare<int>(1, 2, SORT_MISSING_HIGH | SORT_CASE_SENSITIVE | SORT_NUMERIC_TEXT), -1);
}

TEST(Comparators, FloatHasNoMissingValuesAndNaNEqualsEverything) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(Compare<float>(1.0f, 2.0f, 0), -1);
  EXPECT_EQ(Compare<float>(2.0f, 1.0f, 0), 1);
  EXPECT_EQ(Compare<float>(nan, 1.0f, 0), 0);
  EXPECT_EQ(Compare<float>(1.0f, nan, SORT_DESCENDING), 0);
  const auto nanum = static_cast<float>(NANUM);  // rounds to -0.0f: no special meaning
  EXPECT_EQ(Compare<float>(nanum, -1.0f, SORT_MISSING_HIGH), 1);
}

struct DoubleRow {
  double a;
  double b;
  unsigned long flags;
  int expected;
};

TEST(Comparators, DoubleRuleWithMissingValueModes) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const DoubleRow rows[] = {
      {1.0, 2.0, 0, -1},       {1.0, 2.0, SORT_DESCENDING, 1},
      {NANUM, 5.0, 1, -1},     {NANUM, 5.0, 2, 1},
      {NANUM, 5.0, 0x11, 1},   {NANUM, 5.0, 0x12, -1},
      {NANUM, 5.0, 0, -1},  // by value: just below zero
      {NANUM, -1.0, 0, 1},  // by value
      {NANUM, -1.0, 3, 1},  // mode 3: an ordinary number
      {NANUM, -1.0, 15, 1},    {NANUM, -1.0, 1, -1},
      {-1.0, NANUM, 1, 1},     {-1.0, NANUM, 2, -1},
      {-1.0, NANUM, 0x12, 1},  {NANUM, NANUM, 0, 0},
      {NANUM, NANUM, 1, 0},    {NANUM, NANUM, 2, 0},
      {NANUM, NANUM, 0x11, 0}, {nan, 1.0, 0, 0},
      {1.0, nan, 1, 0},        {NANUM, nan, 1, -1},  // NANUM is recognised before the NaN rule
      {nan, NANUM, 2, -1},     {-std::numeric_limits<double>::infinity(), NANUM, 1, 1},
      {0.0, -0.0, 0, 0},
  };
  for (const DoubleRow& r : rows) {
    double a = r.a;
    double b = r.b;
    EXPECT_EQ(SortDoubleGenericCallBack(&a, &b, r.flags), r.expected)
        << r.a << " " << r.b << " " << r.flags;
    EXPECT_EQ(Compare<double>(r.a, r.b, r.flags), r.expected);
  }
}

struct TextRow {
  const char* a;
  const char* b;
  unsigned long flags;
  int sign;    // expected sign
  bool exact;  // the result is exactly `sign` (else only its sign is fixed)
};

int Sign(int x) {
  return (x > 0) - (x < 0);
}

TEST(Comparators, ConstCharTexts) {
  const TextRow rows[] = {
      {nullptr, nullptr, 0, 0, true},
      {nullptr, "", 0, -1, true},
      {"", nullptr, 0, 1, true},
      {nullptr, "a", SORT_DESCENDING, 1, true},
      {"a", nullptr, SORT_DESCENDING, -1, true},
      {nullptr, nullptr, SORT_DESCENDING, 0, true},
      {"abc", "ABC", 0, 0, true},
      {"abc", "ABC", SORT_CASE_SENSITIVE, 1, true},
      {"ab", "abc", SORT_CASE_SENSITIVE, -1, true},
      {"\x80", "\x7F", SORT_CASE_SENSITIVE, 1, true},  // bytes unsigned
      {"\x80", "\x7F", 0, 1, false},
      {"a", "B", 0, -1, false},                  // folded
      {"a", "B", SORT_CASE_SENSITIVE, 1, true},  // 'a' > 'B'
      {"a", "B", SORT_CASE_SENSITIVE | SORT_DESCENDING, -1, true},
      {"[", "a", 0, -1, false},  // '[' < 'a' after folding, though > 'A'
  };
  for (const TextRow& r : rows) {
    const int result = Compare<const char*>(r.a, r.b, r.flags);
    if (r.exact) {
      EXPECT_EQ(result, r.sign) << (r.a ? r.a : "(null)") << " " << (r.b ? r.b : "(null)") << " "
                                << r.flags;
    } else {
      EXPECT_EQ(Sign(result), r.sign);
    }
  }
  // Case-insensitive: _stricmp's result itself, negated when descending.
  EXPECT_EQ(Compare<const char*>("abc", "ABE", 0), 'c' - 'e');
  EXPECT_EQ(Compare<const char*>("abc", "ABE", SORT_DESCENDING), 'e' - 'c');
}

TEST(Comparators, StringTextMode) {
  CStringUTF8 abc("abc");
  CStringUTF8 ABC("ABC");
  EXPECT_EQ(SortStringGenericCallBack(&abc, &ABC, 0), 0);
  EXPECT_EQ(SortStringGenericCallBack(&abc, &ABC, SORT_CASE_SENSITIVE),
            abc.Compare(ABC.GetString()));
  EXPECT_GT(SortStringGenericCallBack(&abc, &ABC, SORT_CASE_SENSITIVE), 0);
  EXPECT_LT(SortStringGenericCallBack(&abc, &ABC, SORT_CASE_SENSITIVE | SORT_DESCENDING), 0);
  CStringUTF8 ten("10");
  CStringUTF8 nine("9");
  EXPECT_LT(SortStringGenericCallBack(&ten, &nine, 0), 0);  // text: "1" < "9"
  EXPECT_GT(SortStringGenericCallBack(&ten, &nine, SORT_DESCENDING), 0);
  // A text spelling NANUM is text like any other in text mode.
  CStringUTF8 nanum("-1.23456789e-300");
  CStringUTF8 minus("-");
  EXPECT_GT(SortStringGenericCallBack(&nanum, &minus, SORT_MISSING_LOW), 0);
}

// Holds with and without the converter: both read these texts as numbers.
TEST(Comparators, StringNumericModeOrdersByValue) {
  CStringUTF8 ten("10");
  CStringUTF8 nine("9");
  CStringUTF8 small("1e-3");
  CStringUTF8 negative("-2.5");
  EXPECT_EQ(SortStringGenericCallBack(&ten, &nine, SORT_NUMERIC_TEXT), 1);
  EXPECT_EQ(SortStringGenericCallBack(&ten, &nine, SORT_NUMERIC_TEXT | SORT_DESCENDING), -1);
  EXPECT_EQ(SortStringGenericCallBack(&small, &negative, SORT_NUMERIC_TEXT | SORT_CASE_SENSITIVE),
            1);
  EXPECT_EQ(SortStringGenericCallBack(&ten, &ten, SORT_NUMERIC_TEXT), 0);
}

TEST(Comparators, NullCallbackArgumentsGiveZero) {
  double x = 1.0;
  CStringUTF8 s("a");
  EXPECT_EQ(SortDoubleGenericCallBack(nullptr, &x, 0), 0);
  EXPECT_EQ(SortStringGenericCallBack(&s, nullptr, 0), 0);
}

}  // namespace
