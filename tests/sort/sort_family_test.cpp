// The sort family: every overload sorts by its type's rule and carries the
// index array along; edge cases of counts, index arrays and host arrays. The
// double and text comparators against reference orders: for every pair of
// values in a list of tied groups, the result is the groups' order (exactly
// -1, 0 or 1 where the rule says so), and the reverse under SORT_DESCENDING;
// the integer and float rules are the differential test's reference.
//
// utlSortRange against a sorted copy: sortedness, the same elements, and
// companions kept in step, for each width it moves by a fixed-size copy, odd
// widths and several companions; bounded behaviour under comparators that are
// not strict weak orders.
#include <kxutils96/host/zutl96/zutl96.h>
#include <kxutils96/sort/comparators.h>
#include <kxutils96/sort/generic_callbacks.h>
#include <kxutils96/sort/number_sort.h>
#include <kxutils96/sort/scratch.h>
#include <kxutils96/sort/sort_family.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "support/array_text.h"

using namespace kxu::zutl96;

namespace {

void FillIdentity(CArray<int, int>& index, int n) {
  index.SetSize(n);
  for (int i = 0; i < n; ++i) index[i] = i;
}

// The documented order as a strict weak order: numbers by value in their own
// type (so -0 equals +0), NaNs after every number and before a NANUM placed
// high; descending is the reverse, equal elements keeping their order.
template <class T>
bool Before(T a, T b, unsigned long flags) {
  if (flags & SORT_DESCENDING)
    return Before(b, a, flags & ~static_cast<unsigned long>(SORT_DESCENDING));
  const auto rank = [flags](T v) {
    const unsigned long mode = std::is_same_v<T, double> ? flags & SORT_MISSING_MASK : 0;
    if (v != v) return 1;
    if (v == static_cast<T>(NANUM) && mode == SORT_MISSING_HIGH) return 2;
    return v == static_cast<T>(NANUM) && mode == SORT_MISSING_LOW ? -1 : 0;
  };
  if (rank(a) != rank(b)) return rank(a) < rank(b);
  return rank(a) == 0 && a < b;
}

// Element i of `n` sorted under `flags`, by the case that `n` stands for.
template <class T>
T InputValue(std::mt19937_64& rng, int i, int n, unsigned long flags) {
  using kxu::sort::kBucketSortThreshold;
  using Limits = std::numeric_limits<T>;
  if (n == 100) {
    // Values not of their keys: for floating point, -0 or a signalling NaN,
    // which a sort by keys alone would write back as +0 and a quiet NaN.
    if constexpr (std::is_floating_point_v<T>) return rng() % 2 ? T(-0.0) : Limits::signaling_NaN();
    return static_cast<T>(rng() % 8);
  }
  if (n == kBucketSortThreshold + 1) {
    // Values crowded into one part of the first split of a bucket sort, which
    // then splits it again: for 64-bit types all but the first share their 24
    // highest key bits and differ in the 40 below, and every other one
    // differs only in its 8 lowest bits, crowding one part of the second
    // split too; other types get ordinary values.
    const std::uint64_t low = rng() & ((std::uint64_t{1} << (i % 2 == 0 ? 8 : 40)) - 1);
    if constexpr (std::is_same_v<T, double>)
      return i == 0 ? -1e300 : std::bit_cast<double>(0x3FF0000000000000 | low);
    return static_cast<T>(i == 0 ? ~std::uint64_t{0} : low);
  }
  // Value i drawn from 256 distinct ones, the last a 257th when n is odd: the
  // edge of the sort's path for few distinct keys.
  if (n == 30000 || n == 30001)
    return static_cast<T>(n % 2 != 0 && i == n - 1 ? 256 : i * 37 % 256);
  // Random values: many repeats, and for floating point NaNs (a signalling
  // one too, whose bits must survive the sort), infinities, both zeros and
  // NANUM among them; no NaN and no -0 when ordinary (at 1000, and at the
  // bucket threshold under the even flags).
  if constexpr (std::is_floating_point_v<T>) {
    const bool bOrdinary = n == 1000 || (n == kBucketSortThreshold && flags % 2 == 0);
    const T specials[] = {Limits::quiet_NaN(), T(-0.0), Limits::infinity(),
                          -Limits::infinity(), T(0.0),  static_cast<T>(NANUM)};
    const std::size_t nSkipped = bOrdinary ? 2 : 0;
    if (!bOrdinary && rng() % 64 == 0) return Limits::signaling_NaN();
    if (rng() % 4 == 0) return specials[nSkipped + rng() % (std::size(specials) - nSkipped)];
    return static_cast<T>(static_cast<int>(rng() % 2001) - 1000) / T(8);
  }
  return static_cast<T>(rng() % 2 ? rng() : rng() % 8);
}

template <class T>
class NumericSortFamily : public ::testing::Test {};

using NumericTypes = ::testing::Types<char, unsigned char, short, int, unsigned int, long,
                                      unsigned long, float, double, long long, unsigned long long>;
TYPED_TEST_SUITE(NumericSortFamily, NumericTypes);

// Against std::stable_sort under every flag, on both sides of the radix sort
// threshold, of the count of distinct keys sorted by counting (30000 and
// 30001) and of the size split into buckets first (ordinary values under the
// even flags, -0 and NaNs among them under the odd ones; crowded values one
// past it), on values not of their keys (100), on random input and on its
// sorted and reversed forms: the same elements bit for bit (so -0 and +0, and
// NaNs, keep their order) and the same index array.
TYPED_TEST(NumericSortFamily, SortsLikeStableSortAndPermutesTheIndex) {
  using T = TypeParam;
  using kxu::sort::kBucketSortThreshold;
  std::mt19937_64 rng(sizeof(T) * 31 + std::is_signed_v<T>);
  for (int n : {2, 17, kxu::sort::kRadixSortThreshold - 1, kxu::sort::kRadixSortThreshold, 100,
                1000, 20000, 30000, 30001, kBucketSortThreshold, kBucketSortThreshold + 1}) {
    for (unsigned long flags : {0x00UL, 0x10UL, 0x01UL, 0x11UL, 0x02UL, 0x12UL, 0x63UL}) {
      std::vector<std::pair<T, int>> input;
      for (int i = 0; i < n; ++i) input.emplace_back(InputValue<T>(rng, i, n, flags), i);
      const auto before = [flags](const auto& a, const auto& b) {
        return Before(a.first, b.first, flags);
      };
      auto ascending = input;
      std::stable_sort(ascending.begin(), ascending.end(), before);
      decltype(input) descending(ascending.rbegin(), ascending.rend());
      for (const auto* pattern : {&input, &ascending, &descending}) {
        CArray<T, T> array;
        CArray<int, int> index;
        for (const auto& [value, position] : *pattern) {
          array.Add(value);
          index.Add(position);
        }
        auto sorted = *pattern;
        std::stable_sort(sorted.begin(), sorted.end(), before);
        kxutilsSort(array, flags, &index);
        for (int k = 0; k < n; ++k) {
          const auto& [value, position] = sorted[static_cast<size_t>(k)];
          // Bits on purpose: -0 and +0, and NaNs, must come back in their order.
          // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
          ASSERT_EQ(std::memcmp(&array[k], &value, sizeof(T)), 0) << n << " " << flags << " " << k;
          ASSERT_EQ(index[k], position) << n << " " << flags << " " << k;
        }
      }
    }
  }
}

// Counts below 2, an index array shorter than the count and a null buffer
// change nothing; without an index array the buffer is sorted all the same,
// and an index array longer than the count keeps its entries past it.
TYPED_TEST(NumericSortFamily, ShortCountsAndShortIndexArraysChangeNothing) {
  using T = TypeParam;
  T buffer[3] = {T(3), T(1), T(2)};
  CArray<int, int> index, shortIndex;
  FillIdentity(index, 3);
  FillIdentity(shortIndex, 2);
  for (int count : {1, 0, -1, INT_MIN}) kxutilsSortBuff(buffer, count, 0, &index);
  kxutilsSortBuff(buffer, 3, 0, &shortIndex);
  kxutilsSortBuff(static_cast<T*>(nullptr), 3, 0, &index);
  EXPECT_EQ(std::vector<T>(buffer, buffer + 3), (std::vector<T>{T(3), T(1), T(2)}));
  EXPECT_EQ(kxu::test::IntsOf(index), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(kxu::test::IntsOf(shortIndex), (std::vector<int>{0, 1}));
  kxutilsSortBuff(buffer, 3, 0, nullptr);
  EXPECT_EQ(std::vector<T>(buffer, buffer + 3), (std::vector<T>{T(1), T(2), T(3)}));
  FillIdentity(index, 5);
  kxutilsSortBuff(buffer, 3, SORT_DESCENDING, &index);
  EXPECT_EQ(kxu::test::IntsOf(index), (std::vector<int>{2, 1, 0, 3, 4}));
}

// Working room on both sides of 2 MiB (from the heap and straight from the
// system), writable to its end and given back whole; a count whose bytes no
// size holds gets none.
TEST(SortScratch, GivesRoomOfEverySizeOrNone) {
  constexpr std::size_t kSystemBlock = std::size_t{1} << 18;  // doubles in 2 MiB
  for (const std::size_t count : {std::size_t{0}, kSystemBlock - 1, kSystemBlock}) {
    const kxu::sort::Scratch<double> room(count);
    ASSERT_NE(room.Get(), nullptr) << count;
    std::fill(room.Get(), room.Get() + count, 1.0);
  }
  EXPECT_EQ(kxu::sort::Scratch<double>(SIZE_MAX / 4).Get(), nullptr);
}

// An int array sorted as its own index array holds the values once: they
// move once. Values that lie in the index array past the count, right after
// the entries the sort carries along, are not shared with them.
TEST(SortFamily, AnIndexArrayIsCarriedUnlessItHoldsTheValues) {
  CArray<int, int> index;
  for (const int v : {0, 1, 2, 30, 10, 20}) index.Add(v);
  kxutilsSortBuff(index.GetData() + 3, 3, 0, &index);
  EXPECT_EQ(kxu::test::IntsOf(index), (std::vector<int>{1, 2, 0, 10, 20, 30}));
  kxutilsSort(index, SORT_DESCENDING, &index);
  EXPECT_EQ(kxu::test::IntsOf(index), (std::vector<int>{30, 20, 10, 2, 1, 0}));
}

// Texts with case variants, shared prefixes past 8 and 16 bytes, empty
// ones, bytes above 0x7F, and numbers (NANUM's text among them); the letters
// at both ends of the alphabet and the bytes beside them ('@', '[') end some.
std::string RandomText(std::mt19937& rng) {
  static const char* const kStems[] = {
      "",   "a", "abcdefgh", "abcdefghij",       "abcdefghijklmnopq", "abcdefghijklmnopZ",
      "10", "9", "-2.5",     "-1.23456789e-300", "\xC3\xA9t\xC3\xA9"};
  std::string text = kStems[rng() % std::size(kStems)];
  if (rng() % 2) text += "az@["[rng() % 4];
  for (char& ch : text)
    if (std::isalpha(static_cast<unsigned char>(ch)) && rng() % 2) ch ^= 0x20;
  return text;
}

// Against std::stable_sort with the family's comparators, under every text
// flag, for CStringUTF8 (text and numeric modes) and const char* (with
// nulls): the same order and the same index array.
TEST(SortFamily, TextsSortLikeStableSortAndPermuteTheIndex) {
  std::mt19937 rng(11);
  for (int n : {0, 2, 30, 3000}) {
    std::vector<std::string> texts;
    for (int i = 0; i < n; ++i) texts.push_back(RandomText(rng));
    for (unsigned long flags : {0x00UL, 0x10UL, 0x20UL, 0x30UL, 0x41UL, 0x52UL}) {
      CZQVStringArray strings = kxu::test::ArrayOf(texts);
      std::vector<const char*> pointers;
      for (int i = 0; i < n; ++i) pointers.push_back(i % 7 == 3 ? nullptr : texts[i].c_str());
      const auto original = pointers;
      std::vector<int> stringOrder(static_cast<size_t>(n));
      std::iota(stringOrder.begin(), stringOrder.end(), 0);
      auto pointerOrder = stringOrder;
      std::stable_sort(stringOrder.begin(), stringOrder.end(), [&](int a, int b) {
        return SortStringGenericCallBack(&strings[a], &strings[b], flags) < 0;
      });
      std::stable_sort(pointerOrder.begin(), pointerOrder.end(), [&](int a, int b) {
        return kxu::sort::ComparatorFor<const char*>()(&original[a], &original[b], &flags) < 0;
      });
      CArray<int, int> index;
      FillIdentity(index, n);
      kxutilsSort(strings, flags, &index);
      ASSERT_EQ(kxu::test::IntsOf(index), stringOrder) << n << " " << flags;
      for (int k = 0; k < n; ++k) ASSERT_EQ(strings[k].GetString(), texts[stringOrder[k]]);
      FillIdentity(index, n);
      kxutilsSortBuff(pointers.data(), n, flags, &index);
      ASSERT_EQ(kxu::test::IntsOf(index), pointerOrder) << n << " " << flags;
      for (int k = 0; k < n; ++k) ASSERT_EQ(pointers[k], original[pointerOrder[k]]);
    }
  }
}

constexpr auto Sign = [](long long x) { return (x > 0) - (x < 0); };

template <class T>
using Groups = std::vector<std::vector<T>>;

// `compare(a, b, flags)` for every pair from `groups`, ascending and descending.
template <class T>
void ExpectOrder(const Groups<T>& groups, unsigned long flags,
                 const std::function<int(T, T, unsigned long)>& compare, bool exact = true) {
  std::vector<std::pair<T, int>> ranked;  // each value with its group's index
  for (int g = 0; g < static_cast<int>(groups.size()); ++g)
    for (const T& value : groups[static_cast<std::size_t>(g)]) ranked.emplace_back(value, g);
  for (const auto& [a, gi] : ranked) {
    for (const auto& [b, gj] : ranked) {
      for (const unsigned long all : {flags, flags | SORT_DESCENDING}) {
        const int result = compare(a, b, all);
        EXPECT_EQ(exact ? result : Sign(result), Sign(gi - gj) * (all == flags ? 1 : -1))
            << "groups " << gi << ", " << gj << " flags " << all;
      }
    }
  }
}

template <class T>
int Compare(T a, T b, unsigned long flags) {
  return kxu::sort::ComparatorFor<T>()(&a, &b, &flags);
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

// Orders elements by their first *context bytes, as memcmp does.
int CompareLeadingBytes(const void* a, const void* b, const void* context) {
  return Sign(std::memcmp(a, b, *static_cast<const std::size_t*>(context)));
}

// `n` elements of `width` bytes whose first `keyBytes` bytes follow one of
// seven patterns (random, sorted, reversed, all equal, few distinct, organ
// pipe, sawtooth) and whose other bytes tell the elements apart.
std::vector<unsigned char> MakeElements(int pattern, std::size_t n, std::size_t width,
                                        std::size_t keyBytes, std::mt19937& rng) {
  std::vector<unsigned char> data(n * width);
  for (std::size_t i = 0; i < n; ++i) {
    const auto random = static_cast<std::uint32_t>(rng());
    const std::size_t byPattern[] = {random, i, n - i, 7, random % 4, std::min(i, n - i), i % 37};
    for (std::size_t b = 0; b < width; ++b) {
      const std::size_t shift = 8 * (keyBytes - 1 - b);
      data[i * width + b] = static_cast<unsigned char>(b < keyBytes ? byPattern[pattern] >> shift
                                                                    : (i * 131 + b * 7));
    }
  }
  return data;
}

std::vector<std::string> SortedBlocks(const std::vector<unsigned char>& data, std::size_t width) {
  std::vector<std::string> blocks;
  for (std::size_t at = 0; at < data.size(); at += width)
    blocks.emplace_back(reinterpret_cast<const char*>(data.data() + at), width);
  std::sort(blocks.begin(), blocks.end());
  return blocks;
}

// Sorts a copy of `original` with `nCompanions` companions (an int index,
// then a 3-byte tag) and checks that it is a permutation the companions
// follow, and when `bOrdered` sorted. Exactly sized heap buffers, so that
// AddressSanitizer sees any step outside.
void CheckSortRange(const std::vector<unsigned char>& original, std::size_t width,
                    SortCompareFunc compare, const void* context, int nCompanions, bool bOrdered) {
  const std::size_t n = original.size() / width;
  auto data = original;
  std::vector<int> index(n);
  std::iota(index.begin(), index.end(), 0);
  std::vector<unsigned char> tags(n * 3);
  for (std::size_t i = 0; i < tags.size(); ++i) tags[i] = static_cast<unsigned char>(i * 5 / 3);
  const auto originalTags = tags;
  SortCompanion companions[2] = {{index.data(), 4}, {tags.data(), 3}};
  utlSortRange(data.data(), 0, static_cast<int>(n) - 1, static_cast<int>(width), compare,
               companions, nCompanions, context);
  for (std::size_t i = 1; bOrdered && i < n; ++i)
    ASSERT_LE(compare(&data[(i - 1) * width], &data[i * width], context), 0) << "at " << i;
  ASSERT_EQ(SortedBlocks(data, width), SortedBlocks(original, width));
  for (std::size_t k = 0; nCompanions > 0 && k < n; ++k) {
    const auto from = static_cast<std::size_t>(index[k]);
    ASSERT_LT(from, n) << k;
    ASSERT_EQ(0, std::memcmp(&data[k * width], &original[from * width], width)) << k;
    ASSERT_TRUE(nCompanions < 2 || std::memcmp(&tags[k * 3], &originalTags[from * 3], 3) == 0) << k;
  }
}

// A comparator that answers at random is no order at all.
int CompareAtRandom(const void*, const void*, const void* context) {
  return static_cast<int>((*static_cast<std::mt19937*>(const_cast<void*>(context)))() % 3) - 1;
}

// An adversary that fixes the order only as the sort asks (values stay
// "gas", above all fixed ones, until two gas values meet; the one not held
// as the likely pivot is fixed next), which drives a quicksort into n^2
// comparisons.
struct Adversary {
  std::vector<int> values;
  int nFixed = 0;
  int nCandidate = 0;
  long long nComparisons = 0;
  static constexpr int kGas = INT_MAX;

  static int Compare(const void* a, const void* b, const void* context) {
    auto& self = *static_cast<Adversary*>(const_cast<void*>(context));
    const int x = *static_cast<const int*>(a), y = *static_cast<const int*>(b);
    ++self.nComparisons;
    if (self.values[x] == kGas && self.values[y] == kGas)
      self.values[x == self.nCandidate ? x : y] = self.nFixed++;
    if (self.values[x] == kGas) self.nCandidate = x;
    if (self.values[y] == kGas) self.nCandidate = y;
    return (self.values[x] > self.values[y]) - (self.values[x] < self.values[y]);
  }
};

// Odd widths and a wide one, counts around the small-run threshold, without
// companions, with the index, and with both; and under a comparator that
// answers at random, still a permutation and never a step outside. Against
// the adversary the sort still sorts, in O(n log n) comparisons: after too
// many bad partitions it sorts the rest by heap sort.
TEST(SortRange, SortsPermutesAndKeepsCompanionsInStepAndStaysWithinNLogN) {
  const std::tuple<std::size_t, std::size_t, std::size_t, int> cases[] = {
      {1, 1, 3000, 1},  {2, 2, 2000, 0}, {3, 2, 2000, 1}, {16, 4, 2000, 2}, {24, 4, 2000, 2},
      {300, 4, 300, 0}, {4, 4, 23, 1},   {4, 4, 24, 1},   {8, 4, 100000, 1}};
  for (const auto& [width, keyBytes, n, companions] : cases) {
    std::mt19937 rng(static_cast<std::uint32_t>(width * 1000 + n));
    for (int pattern = 0; pattern < 7; ++pattern) {
      SCOPED_TRACE(testing::Message() << width << " " << n << " " << pattern);
      const auto elements = MakeElements(pattern, n, width, keyBytes, rng);
      CheckSortRange(elements, width, CompareLeadingBytes, &keyBytes, companions, true);
      CheckSortRange(elements, width, CompareAtRandom, &rng, companions, false);
    }
  }
  constexpr int n = 20000;
  // Three fixed values first, out of order, so that no run check settles it.
  Adversary adversary{{1, 0, 2}, 3};
  adversary.values.resize(n, Adversary::kGas);
  std::vector<int> items(n);
  std::iota(items.begin(), items.end(), 0);
  utlSortRange(items.data(), 0, n - 1, 4, Adversary::Compare, nullptr, 0, &adversary);
  for (int i = 1; i < n; ++i)
    ASSERT_LE(adversary.values[items[i - 1]], adversary.values[items[i]]) << i;
  EXPECT_LE(adversary.nComparisons, 4LL * n * 15);  // log2(20000) < 15
}

// A sub-range only, with its companion entries; bad arguments change nothing;
// a companion with null data, no width, or the elements' own bytes is
// skipped, and one right before or right after the elements takes part.
TEST(SortRange, SortsOnlyTheRangeAndRefusesBadArguments) {
  const std::size_t four = 4;
  std::vector<int> values = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, index = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  SortCompanion companion{index.data(), 4};
  utlSortRange(values.data(), 2, 6, 4, CompareLeadingBytes, &companion, 1, &four);
  EXPECT_EQ(values, (std::vector<int>{9, 8, 3, 4, 5, 6, 7, 2, 1, 0}));
  EXPECT_EQ(index, (std::vector<int>{0, 1, 6, 5, 4, 3, 2, 7, 8, 9}));
  const std::vector<int> original = values;
  utlSortRange(nullptr, 0, 2, 4, CompareLeadingBytes, nullptr, 0, &four);
  utlSortRange(values.data(), 0, 2, 4, nullptr, nullptr, 0, &four);
  for (const auto& [first, last, width] : {std::array{0, 2, 0}, {0, 2, -4}, {-1, 2, 4}, {2, 1, 4}})
    utlSortRange(values.data(), first, last, width, CompareLeadingBytes, nullptr, 0, &four);
  EXPECT_EQ(values, original);
  std::vector<int> run(30);
  std::iota(run.rbegin(), run.rend(), 0);
  SortCompanion skipped[3] = {{nullptr, 4}, {run.data(), 0}, {run.data(), 4}};
  utlSortRange(run.data(), 0, 29, 4, CompareLeadingBytes, skipped, 3, &four);
  EXPECT_TRUE(std::is_sorted(run.begin(), run.end()));
  for (const bool bIndexFirst : {true, false}) {
    std::vector<int> both(20);
    int* const pValues = both.data() + (bIndexFirst ? 10 : 0);
    int* const pIndex = both.data() + (bIndexFirst ? 0 : 10);
    std::iota(pIndex, pIndex + 10, 0);
    for (int i = 0; i < 10; ++i) pValues[i] = 9 - i;
    SortCompanion adjacent{pIndex, 4};
    utlSortRange(pValues, 0, 9, 4, CompareLeadingBytes, &adjacent, 1, &four);
    EXPECT_EQ(std::vector<int>(pIndex, pIndex + 10),
              (std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}))
        << bIndexFirst;
  }
}

}  // namespace
