// utlSortRange against a sorted copy: sortedness, the same elements, and
// companions kept in step, for each width it moves by a fixed-size copy, odd
// widths and several companions; bounded behaviour under comparators that are
// not strict weak orders.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <kxutils96/host/zutl96/zutl96.h>

using namespace kxu::zutl96;

namespace {

// Orders elements by their first *context bytes, as memcmp does.
int CompareLeadingBytes(const void* a, const void* b, const void* context) {
  const int order = std::memcmp(a, b, *static_cast<const std::size_t*>(context));
  return (order > 0) - (order < 0);
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
    if (nCompanions == 2) {
      ASSERT_EQ(0, std::memcmp(&tags[k * 3], &originalTags[from * 3], 3)) << k;
    }
  }
}

// A comparator that answers at random is no order at all.
int CompareAtRandom(const void*, const void*, const void* context) {
  return static_cast<int>((*static_cast<std::mt19937*>(const_cast<void*>(context)))() % 3) - 1;
}

// Odd widths and a wide one, counts around the small-run threshold, without
// companions, with the index, and with both; and under a comparator that
// answers at random, still a permutation and never a step outside.
TEST(SortRange, SortsPermutesAndKeepsCompanionsInStep) {
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
}

// A sub-range only, with its companion entries; bad arguments change nothing;
// a companion with null data, no width, or the elements' own bytes is skipped.
TEST(SortRange, SortsOnlyTheRangeAndRefusesBadArguments) {
  const std::size_t four = 4;
  std::vector<int> values = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
  std::vector<int> index = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
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
}

}  // namespace
