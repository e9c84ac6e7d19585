// The double and text comparators against reference orders: for every pair
// of values in a list of tied groups, the result is the groups' order
// (exactly -1, 0 or 1 where the rule says so), and the reverse under
// SORT_DESCENDING. The integer and float rules are the sort family's
// differential test's reference.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

#include <kxutils96/sort/comparators.h>
#include <kxutils96/sort/generic_callbacks.h>
#include <kxutils96/sort/sort_family.h>

namespace {

using kxu::sort::ComparatorFor;

int Sign(long long x) {
  return (x > 0) - (x < 0);
}

template <class T>
using Groups = std::vector<std::vector<T>>;

// `compare(a, b, flags)` for every pair from `groups`, ascending and descending.
template <class T>
void ExpectOrder(const Groups<T>& groups, unsigned long flags,
                 const std::function<int(T, T, unsigned long)>& compare, bool exact = true) {
  for (std::size_t gi = 0; gi < groups.size(); ++gi) {
    for (std::size_t gj = 0; gj < groups.size(); ++gj) {
      for (const T& a : groups[gi]) {
        for (const T& b : groups[gj]) {
          for (const unsigned long descending :
               {0UL, static_cast<unsigned long>(SORT_DESCENDING)}) {
            const int expected = Sign(static_cast<long long>(gi) - static_cast<long long>(gj)) *
                                 (descending != 0 ? -1 : 1);
            const int result = compare(a, b, flags | descending);
            EXPECT_EQ(exact ? result : Sign(result), expected)
                << "groups " << gi << ", " << gj << " flags " << (flags | descending);
          }
        }
      }
    }
  }
}

template <class T>
int Compare(T a, T b, unsigned long flags) {
  return ComparatorFor<T>()(&a, &b, &flags);
}

// The callback is the comparator (the order of the missing-value modes is
// the sort family's differential test's); NaN equals every number, but
// NANUM is recognised before the NaN rule.
TEST(Comparators, DoubleCallbackAndTheNaNRule) {
  const auto both = [](double a, double b, unsigned long flags) {
    const int viaCallback = SortDoubleGenericCallBack(&a, &b, flags);
    EXPECT_EQ(viaCallback, Compare<double>(a, b, flags));
    return viaCallback;
  };
  ExpectOrder<double>({{-1.0}, {NANUM}, {0.0, -0.0}, {5.0}}, 0, both);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ExpectOrder<double>({{nan, 1.0}}, SORT_MISSING_LOW, both);
  ExpectOrder<double>({{NANUM}, {nan}}, SORT_MISSING_LOW, both);
  ExpectOrder<double>({{nan}, {NANUM}}, SORT_MISSING_HIGH, both);
  // Either callback given a null on either side answers 0.
  double x = 1.0;
  EXPECT_EQ(SortDoubleGenericCallBack(nullptr, &x, 0), 0);
  EXPECT_EQ(SortDoubleGenericCallBack(&x, nullptr, 0), 0);
  CStringUTF8 text("a");
  EXPECT_EQ(SortStringGenericCallBack(nullptr, &text, 0), 0);
  EXPECT_EQ(SortStringGenericCallBack(&text, nullptr, 0), 0);
}

TEST(Comparators, TextsNullFirstBytesUnsignedCaseFoldedUnlessAsked) {
  using P = const char*;
  const Groups<P> folded = {{nullptr}, {""},  {"["},      {"a"},    {"ab"},  {"abc", "ABC"},
                            {"ABE"},   {"B"}, {"Z", "z"}, {"\x7F"}, {"\x80"}};
  const Groups<P> byBytes = {{nullptr}, {""},   {"ABC"}, {"ABE"},  {"B"},   {"["},
                             {"a"},     {"ab"}, {"abc"}, {"\x7F"}, {"\x80"}};
  ExpectOrder<P>(folded, 0, Compare<P>, false);
  ExpectOrder<P>(byBytes, SORT_CASE_SENSITIVE, Compare<P>, false);
  // Case-insensitive gives the byte difference itself, negated when descending.
  EXPECT_EQ(Compare<P>("abc", "ABE", 0), 'c' - 'e');
  EXPECT_EQ(Compare<P>("abc", "ABE", SORT_DESCENDING), 'e' - 'c');
  EXPECT_EQ(Compare<P>(nullptr, "", 0), -1);
}

}  // namespace
