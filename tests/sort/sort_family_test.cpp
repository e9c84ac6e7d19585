// The sort family: every overload sorts by its type's rule and carries the
// index array along; edge cases of counts, index arrays and host arrays.
#include <gtest/gtest.h>
#include "support/array_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <kxutils96/sort/sort_family.h>

namespace {

using kxu::test::TextsOf;

void FillIdentity(CArray<int, int>& index, int n) {
  index.SetSize(n);
  for (int i = 0; i < n; ++i) index[i] = i;
}

std::vector<int> IndexValues(const CArray<int, int>& index) {
  return std::vector<int>(index.GetData(), index.GetData() + index.GetSize());
}

// Random values of each element type, with many repeats.
template <class T>
T RandomValue(std::mt19937_64& rng) {
  if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(static_cast<int>(rng() % 2001) - 1000) / T(8);
  } else {
    return static_cast<T>(rng());
  }
}

template <class T>
class NumericSortFamily : public ::testing::Test {};

using NumericTypes = ::testing::Types<char, unsigned char, short, int, unsigned int, long,
                                      unsigned long, float, double, long long, unsigned long long>;
TYPED_TEST_SUITE(NumericSortFamily, NumericTypes);

// Sortedness against std::sort, multiset preservation, and the index law:
// element k after the sort is the element that stood at index[k].
TYPED_TEST(NumericSortFamily, SortsLikeStdSortAndPermutesTheIndex) {
  using T = TypeParam;
  std::mt19937_64 rng(sizeof(T) * 31 + std::is_signed_v<T>);
  for (int n : {2, 3, 17, 100, 1000, 20000}) {
    for (unsigned long flags : {0UL, static_cast<unsigned long>(SORT_DESCENDING)}) {
      std::vector<T> input(static_cast<size_t>(n));
      for (auto& v : input) v = RandomValue<T>(rng);
      CArray<T, T> array;
      array.SetSize(n);
      std::copy(input.begin(), input.end(), array.GetData());
      CArray<int, int> index;
      FillIdentity(index, n);
      kxutilsSort(array, flags, &index);

      std::vector<T> expected = input;
      if (flags & SORT_DESCENDING) {
        std::sort(expected.begin(), expected.end(), [](T a, T b) { return b < a; });
      } else {
        std::sort(expected.begin(), expected.end());
      }
      ASSERT_EQ(array.GetSize(), n);
      ASSERT_TRUE(std::equal(expected.begin(), expected.end(), array.GetData()))
          << n << " " << flags;
      std::vector<int> seen = IndexValues(index);
      std::sort(seen.begin(), seen.end());
      for (int i = 0; i < n; ++i) ASSERT_EQ(seen[static_cast<size_t>(i)], i);
      for (int k = 0; k < n; ++k) ASSERT_EQ(array[k], input[static_cast<size_t>(index[k])]);
    }
  }
}

TYPED_TEST(NumericSortFamily, ShortCountsAndShortIndexArraysChangeNothing) {
  using T = TypeParam;
  T buffer[3] = {T(3), T(1), T(2)};
  CArray<int, int> index;
  FillIdentity(index, 3);
  for (int count : {1, 0, -1, std::numeric_limits<int>::min()}) {
    kxutilsSortBuff(buffer, count, 0, &index);
    EXPECT_EQ(buffer[0], T(3));
    EXPECT_EQ(IndexValues(index), (std::vector<int>{0, 1, 2}));
  }
  CArray<int, int> shortIndex;
  FillIdentity(shortIndex, 2);
  kxutilsSortBuff(buffer, 3, 0, &shortIndex);
  EXPECT_EQ(buffer[0], T(3));
  EXPECT_EQ(IndexValues(shortIndex), (std::vector<int>{0, 1}));
  kxutilsSortBuff(static_cast<T*>(nullptr), 3, 0, &index);
  EXPECT_EQ(IndexValues(index), (std::vector<int>{0, 1, 2}));
  // Without an index array the buffer is sorted all the same.
  kxutilsSortBuff(buffer, 3, 0, nullptr);
  EXPECT_EQ(buffer[0], T(1));
  EXPECT_EQ(buffer[2], T(3));
}

TEST(SortFamily, IndexExampleAndLargerIndexArray) {
  int buffer[] = {30, 10, 20};
  CArray<int, int> index;
  FillIdentity(index, 5);  // larger than the count: entries past it stay
  kxutilsSortBuff(buffer, 3, 0, &index);
  EXPECT_EQ(std::vector<int>(buffer, buffer + 3), (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(IndexValues(index), (std::vector<int>{1, 2, 0, 3, 4}));
}

TEST(SortFamily, IntArrayMayBeItsOwnIndex) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> value(-50, 50);
  CArray<int, int> array;
  for (int i = 0; i < 1000; ++i) array.Add(value(random));
  std::vector<int> expected = IndexValues(array);
  std::sort(expected.begin(), expected.end());
  kxutilsSort(array, 0, &array);
  EXPECT_EQ(IndexValues(array), expected);
}

std::vector<double> SortedDoubles(std::vector<double> values, unsigned long flags) {
  kxutilsSortBuff(values.data(), static_cast<int>(values.size()), flags, nullptr);
  return values;
}

TEST(SortFamily, DoubleMissingValuePlacement) {
  struct Row {
    std::vector<double> input;
    unsigned long flags;
    std::vector<double> expected;
  };
  const Row rows[] = {
      {{3, NANUM, 1}, SORT_MISSING_LOW, {NANUM, 1, 3}},
      {{3, NANUM, 1}, SORT_MISSING_LOW | SORT_DESCENDING, {3, 1, NANUM}},
      {{3, NANUM, 1}, SORT_MISSING_HIGH, {1, 3, NANUM}},
      {{3, NANUM, 1}, SORT_MISSING_HIGH | SORT_DESCENDING, {NANUM, 3, 1}},
      {{0, NANUM, -1}, 0, {-1, NANUM, 0}},
      {{NANUM, -7, NANUM, 2, -1e308}, SORT_MISSING_LOW, {NANUM, NANUM, -1e308, -7, 2}},
      {{NANUM, -7, NANUM, 2, -1e308},
       SORT_MISSING_HIGH | SORT_DESCENDING,
       {NANUM, NANUM, 2, -7, -1e308}},
  };
  for (const Row& r : rows) EXPECT_EQ(SortedDoubles(r.input, r.flags), r.expected) << r.flags;
}

TEST(SortFamily, ConstCharNullsFirstAscendingLastDescending) {
  const char* texts[] = {"b", nullptr, "A", nullptr, "a"};
  CArray<int, int> index;
  FillIdentity(index, 5);
  kxutilsSortBuff(texts, 5, SORT_CASE_SENSITIVE, &index);
  EXPECT_EQ(texts[0], nullptr);
  EXPECT_EQ(texts[1], nullptr);
  EXPECT_STREQ(texts[2], "A");
  EXPECT_STREQ(texts[3], "a");
  EXPECT_STREQ(texts[4], "b");
  kxutilsSortBuff(texts, 5, SORT_DESCENDING, nullptr);
  EXPECT_STREQ(texts[0], "b");
  EXPECT_EQ(std::string(texts[1]) + texts[2] == "Aa" || std::string(texts[1]) + texts[2] == "aA",
            true);
  EXPECT_EQ(texts[3], nullptr);
  EXPECT_EQ(texts[4], nullptr);
}

TEST(SortFamily, StringArrayTextAndNumericModes) {
  CZQVStringArray array;
  for (const char* s : {"10", "9", "b", "A", "100"}) array.Add(s);
  CArray<int, int> index;
  FillIdentity(index, 5);
  kxutilsSort(array, SORT_CASE_SENSITIVE, &index);
  EXPECT_EQ(TextsOf(array), (std::vector<std::string>{"10", "100", "9", "A", "b"}));
  EXPECT_EQ(IndexValues(index), (std::vector<int>{0, 4, 1, 3, 2}));

  CZQVStringArray numbers;
  for (const char* s : {"10", "9", "-1.5", "2e1", "100"}) numbers.Add(s);
  kxutilsSort(numbers, SORT_NUMERIC_TEXT, nullptr);
  EXPECT_EQ(TextsOf(numbers), (std::vector<std::string>{"-1.5", "9", "10", "2e1", "100"}));
  kxutilsSort(numbers, SORT_NUMERIC_TEXT | SORT_DESCENDING, nullptr);
  EXPECT_EQ(TextsOf(numbers), (std::vector<std::string>{"100", "2e1", "10", "9", "-1.5"}));
}

TEST(SortFamily, ManyStringsMoveAsWholeObjects) {
  std::mt19937 rng(3);
  CZQVStringArray array;
  std::vector<std::string> expected;
  for (int i = 0; i < 5000; ++i) {
    std::string s = std::to_string(rng() % 1000) + std::string(rng() % 40, 'x');
    array.Add(s.c_str());
    expected.push_back(s);
  }
  kxutilsSort(array, SORT_CASE_SENSITIVE, nullptr);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(TextsOf(array), expected);
}

TEST(SortFamily, EmptyStringArrayIsLeftAlone) {
  CZQVStringArray array;
  CArray<int, int> index;
  FillIdentity(index, 2);
  kxutilsSort(array, 0, &index);
  EXPECT_EQ(array.GetSize(), 0);
  EXPECT_EQ(IndexValues(index), (std::vector<int>{0, 1}));
}

TEST(SortFamily, NaNsInFloatAndDoubleBuffersArePreserved) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> values;
  values.reserve(3000);
  for (int i = 0; i < 3000; ++i)
    values.push_back(i % 3 == 0 ? nan : static_cast<double>((i * 7919) % 1000));
  CArray<int, int> index;
  FillIdentity(index, static_cast<int>(values.size()));
  const auto input = values;
  kxutilsSortBuff(values.data(), static_cast<int>(values.size()), 0, &index);
  int nans = 0;
  for (size_t k = 0; k < values.size(); ++k) {
    const double from = input[static_cast<size_t>(index[static_cast<INT_PTR>(k)])];
    // Bits on purpose: a NaN must come back as the very NaN that went in.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    EXPECT_TRUE(std::memcmp(&values[k], &from, sizeof from) == 0);
    nans += std::isnan(values[k]) ? 1 : 0;
  }
  EXPECT_EQ(nans, 1000);
}

}  // namespace
