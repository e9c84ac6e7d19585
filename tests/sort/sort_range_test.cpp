// utlSortRange against std::sort: sortedness, multiset preservation and
// companions kept in step, for every fixed width and odd ones, on random and
// patterned input; bounded behaviour under comparators that are not strict
// weak orders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <kxutils96/host/zutl96/zutl96.h>

using namespace kxu::zutl96;

namespace {

template <class T>
int CompareKeys(const void* a, const void* b, const void* /*context*/) {
  T x;
  T y;
  std::memcpy(&x, a, sizeof x);
  std::memcpy(&y, b, sizeof y);
  return x < y ? -1 : (y < x ? 1 : 0);
}

// Builds `n` elements of `width` bytes: key from `keys`, then a payload that
// encodes the original position.
std::vector<unsigned char> MakeElements(const std::vector<std::uint32_t>& keys, std::size_t width,
                                        std::size_t keyBytes) {
  std::vector<unsigned char> data(keys.size() * width);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    unsigned char* e = data.data() + i * width;
    for (std::size_t b = 0; b < width; ++b)
      e[b] = static_cast<unsigned char>((i * 131 + b * 7) & 0xFF);
    std::uint32_t key = keys[i];
    if (keyBytes == 1) key &= 0xFF;
    if (keyBytes == 2) key &= 0xFFFF;
    std::memcpy(e, &key, keyBytes);
  }
  return data;
}

SortCompareFunc ComparatorForKeyBytes(std::size_t keyBytes) {
  if (keyBytes == 1) return CompareKeys<std::uint8_t>;
  return keyBytes == 2 ? CompareKeys<std::uint16_t> : CompareKeys<std::uint32_t>;
}

// Keys in seven patterns: random, sorted, reversed, all equal, few distinct,
// organ pipe and sawtooth.
constexpr int kPatterns = 7;
std::vector<std::uint32_t> MakeKeys(int pattern, std::size_t n, std::mt19937& rng) {
  std::vector<std::uint32_t> keys(n);
  const auto size = static_cast<std::uint32_t>(n);
  for (std::uint32_t i = 0; i < size; ++i) {
    const auto random = static_cast<std::uint32_t>(rng());
    const std::uint32_t byPattern[] = {random, i, size - i, 7, random % 4, std::min(i, size - i),
                                       i % 37};
    keys[i] = byPattern[pattern];
  }
  return keys;
}

// The elements as whole byte blocks, in order.
std::vector<std::string> SortedBlocks(const std::vector<unsigned char>& data, std::size_t width) {
  std::vector<std::string> blocks;
  for (std::size_t at = 0; at < data.size(); at += width)
    blocks.emplace_back(reinterpret_cast<const char*>(data.data() + at), width);
  std::sort(blocks.begin(), blocks.end());
  return blocks;
}

// Sorts a copy of `original` (elements of `width` bytes) with utlSortRange,
// with `nCompanions` companions (an int index, then a 3-byte tag), and checks
// that the result is a permutation of the input that the companions follow
// and, when `bOrdered`, sorted by `compare`. The copies are exactly sized
// heap buffers, so that AddressSanitizer sees any step outside.
void CheckSortRange(const std::vector<unsigned char>& original, std::size_t width,
                    SortCompareFunc compare, const void* context, int nCompanions, bool bOrdered) {
  const std::size_t n = original.size() / width;
  auto data = original;
  std::vector<int> index(n);
  std::iota(index.begin(), index.end(), 0);
  std::vector<unsigned char> tags(n * 3);
  for (std::size_t i = 0; i < tags.size(); ++i)
    tags[i] = static_cast<unsigned char>(i / 3 * 5 + i % 3);
  const auto originalTags = tags;
  SortCompanion companions[2] = {{index.data(), 4}, {tags.data(), 3}};
  utlSortRange(data.data(), 0, static_cast<int>(n) - 1, static_cast<int>(width), compare,
               companions, nCompanions, context);
  for (std::size_t i = 1; bOrdered && i < n; ++i)
    ASSERT_LE(compare(&data[(i - 1) * width], &data[i * width], context), 0) << "at " << i;
  ASSERT_EQ(SortedBlocks(data, width), SortedBlocks(original, width));
  // Element k is the original element index[k], bit for bit, its tag beside it.
  for (std::size_t k = 0; nCompanions > 0 && k < n; ++k) {
    const auto from = static_cast<std::size_t>(index[k]);
    ASSERT_LT(from, n) << k;
    ASSERT_EQ(0, std::memcmp(&data[k * width], &original[from * width], width)) << k;
    if (nCompanions == 2) {
      ASSERT_EQ(0, std::memcmp(&tags[k * 3], &originalTags[from * 3], 3)) << k;
    }
  }
}

// Every fixed width and odd ones, keys of 1, 2 and 4 bytes, counts around
// the small-run threshold, without companions, with the index, and with both.
TEST(SortRange, SortsPermutesAndKeepsCompanionsInStep) {
  const struct {
    std::size_t width, keyBytes, n;
    int companions;
  } cases[] = {{1, 1, 3000, 1},  {1, 1, 5, 0},     {2, 2, 3000, 1},  {4, 4, 5000, 0},
               {4, 4, 5000, 1},  {8, 4, 5000, 1},  {16, 4, 2000, 2}, {3, 2, 2000, 1},
               {24, 4, 2000, 2}, {300, 4, 300, 1}, {300, 4, 300, 0}, {4, 4, 23, 1},
               {4, 4, 24, 1},    {4, 4, 129, 1},   {8, 4, 2, 1},     {8, 4, 100000, 1}};
  for (const auto& c : cases) {
    std::mt19937 rng(static_cast<std::uint32_t>(c.width * 1000 + c.n + c.companions));
    for (int pattern = 0; pattern < kPatterns; ++pattern) {
      SCOPED_TRACE(testing::Message()
                   << c.width << " " << c.n << " " << c.companions << " " << pattern);
      CheckSortRange(MakeElements(MakeKeys(pattern, c.n, rng), c.width, c.keyBytes), c.width,
                     ComparatorForKeyBytes(c.keyBytes), nullptr, c.companions, true);
    }
  }
}

// Sorts only the sub-range, and the companion entries of the same positions.
TEST(SortRange, SubRangeLeavesTheRestAlone) {
  std::vector<int> values = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
  std::vector<int> index = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  SortCompanion companion{index.data(), 4};
  utlSortRange(values.data(), 2, 6, 4, CompareKeys<std::uint32_t>, &companion, 1, nullptr);
  EXPECT_EQ(values, (std::vector<int>{9, 8, 3, 4, 5, 6, 7, 2, 1, 0}));
  EXPECT_EQ(index, (std::vector<int>{0, 1, 6, 5, 4, 3, 2, 7, 8, 9}));
}

TEST(SortRange, BadArgumentsChangeNothing) {
  std::vector<int> values = {3, 1, 2};
  const auto original = values;
  struct Bad {
    void* base;
    int first;
    int last;
    int width;
    SortCompareFunc compare;
  };
  for (const Bad& b :
       {Bad{nullptr, 0, 2, 4, CompareKeys<std::uint32_t>}, Bad{values.data(), 0, 2, 4, nullptr},
        Bad{values.data(), 0, 2, 0, CompareKeys<std::uint32_t>},
        Bad{values.data(), 0, 2, -4, CompareKeys<std::uint32_t>},
        Bad{values.data(), -1, 2, 4, CompareKeys<std::uint32_t>},
        Bad{values.data(), 2, 1, 4, CompareKeys<std::uint32_t>},
        Bad{values.data(), 1, 1, 4, CompareKeys<std::uint32_t>}}) {
    utlSortRange(b.base, b.first, b.last, b.width, b.compare, nullptr, 0, nullptr);
    EXPECT_EQ(values, original);
  }
  // A companion with null data, no width, or entries that are the elements'
  // own bytes is skipped, not written.
  std::vector<int> run(30);
  std::iota(run.rbegin(), run.rend(), 0);
  SortCompanion skipped[3] = {{nullptr, 4}, {run.data(), 0}, {run.data(), 4}};
  utlSortRange(run.data(), 0, 29, 4, CompareKeys<std::uint32_t>, skipped, 3, nullptr);
  EXPECT_TRUE(std::is_sorted(run.begin(), run.end()));
}

// ---- Accelerators ----

// Comparators of their own, so that no other test meets the accelerators.
int CompareAccelerated(const void* a, const void* b, const void* c) {
  return CompareKeys<std::uint32_t>(a, b, c);
}
int CompareRaced(const void* a, const void* b, const void* c) {
  return CompareKeys<std::int32_t>(a, b, c);
}

int g_nOffers = 0;

// Counts the sorts offered to it and accepts them, leaving the elements as
// they are, or declines them.
template <bool kAccepts>
bool CountOffer(void*, int, int, int, const SortCompanion*, int, const void*) {
  ++g_nOffers;
  return kAccepts;
}

TEST(SortRange, RegisteredAcceleratorRunsUnlessItDeclines) {
  const std::pair<SortAccelerator, std::vector<int>> rows[] = {
      {CountOffer<true>, {3, 1, 2}}, {CountOffer<false>, {1, 2, 3}}, {nullptr, {1, 2, 3}}};
  for (const auto& [accelerator, expected] : rows) {
    ASSERT_TRUE(RegisterSortAccelerator(CompareAccelerated, accelerator));
    EXPECT_EQ(SortAcceleratorFor(CompareAccelerated), accelerator);
    g_nOffers = 0;
    std::vector<int> values = {3, 1, 2};
    utlSortRange(values.data(), 0, 2, 4, CompareAccelerated, nullptr, 0, nullptr);
    EXPECT_EQ(values, expected);
    EXPECT_EQ(g_nOffers, accelerator != nullptr ? 1 : 0);
  }
}

// The table is process-wide: one thread registers while another sorts.
TEST(SortRange, RegisteringWhileAnotherThreadSorts) {
  std::thread registering([] {
    for (int i = 0; i < 1000; ++i)
      RegisterSortAccelerator(CompareRaced, i % 2 != 0 ? CountOffer<false> : nullptr);
  });
  for (int i = 0; i < 1000; ++i) {
    std::vector<int> values = {3, -1, 2};
    utlSortRange(values.data(), 0, 2, 4, CompareRaced, nullptr, 0, nullptr);
    ASSERT_EQ(values, (std::vector<int>{-1, 2, 3}));
  }
  registering.join();
}

// ---- Comparators that are not strict weak orders ----

// The family's float/double rule: a NaN equals everything.
int CompareWithNaNs(const void* a, const void* b, const void*) {
  const double x = *static_cast<const double*>(a);
  const double y = *static_cast<const double*>(b);
  if (y > x) return -1;
  if (x > y) return 1;
  return 0;
}

// Answers at random: the worst a comparator can do.
int CompareAtRandom(const void*, const void*, const void* context) {
  auto& rng = *static_cast<std::mt19937*>(const_cast<void*>(context));
  return static_cast<int>(rng() % 3) - 1;
}

std::vector<unsigned char> BytesOf(const std::vector<double>& values) {
  std::vector<unsigned char> bytes(values.size() * sizeof(double));
  std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}

// NaNs where the pivot candidates are, alternating, at random among few
// distinct values; and a comparator answering at random: permuted, never a
// step outside the buffer.
TEST(SortRange, ComparatorsThatAreNotOrdersStayInsideTheBuffer) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::mt19937 rng(7);
  for (std::size_t n : {2u, 3u, 24u, 25u, 64u, 129u, 1000u, 20000u}) {
    SCOPED_TRACE(n);
    std::vector<std::vector<double>> patterns(5, std::vector<double>(n));
    for (std::size_t i = 0; i < n; ++i) {
      const auto x = static_cast<double>(i);
      patterns[0][i] = nan;
      patterns[1][i] = i % 2 ? nan : x;
      patterns[2][i] = (i == 0 || i == n - 1 || i == n / 2) ? nan : static_cast<double>(n - i);
      patterns[3][i] = rng() % 3 == 0 ? nan : static_cast<double>(rng() % 100);
      patterns[4][i] = i % 5 == 0 ? nan : (i % 3 ? x : static_cast<double>(n - i));
    }
    for (const auto& p : patterns)
      CheckSortRange(BytesOf(p), 8, CompareWithNaNs, nullptr, 1, false);
  }
  for (std::size_t n : {2u, 30u, 200u, 5000u}) {
    for (std::uint32_t seed = 0; seed < 20; ++seed) {
      std::mt19937 random(seed);
      std::vector<double> values(n);
      std::iota(values.begin(), values.end(), 0.0);
      CheckSortRange(BytesOf(values), 8, CompareAtRandom, &random, 1, false);
    }
  }
}

}  // namespace
