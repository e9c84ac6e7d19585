// kxutilsSortBuff on doubles with an index array against std::stable_sort
// with the family's double comparator: the same values bit for bit (-0 and
// +0 keep their order) and the same index. The first byte picks the flags
// and, with its top bit set, repeats the elements until there are enough for
// the sort to split them into buckets first; the next two how many distinct values the elements
// draw from (either side of the 256 distinct keys that the sort counts instead of passing over key
// bytes; -0 and +0 are one key), and each further pair of bytes one element:
// -0, +0, an infinity, NANUM or a number halfway between two whole ones. No
// NaN: the comparator holds it equal to every number, which no stable sort
// can keep to (the unit tests place NaNs).
#include <kxutils96/sort/comparators.h>
#include <kxutils96/sort/number_sort.h>
#include <kxutils96/sort/sort_family.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#include "fuzz_require.h"

namespace {

double ValueNumbered(unsigned nValue) {
  const double specials[] = {-0.0, 0.0, std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(), NANUM};
  if (nValue < std::size(specials)) return specials[nValue];
  return static_cast<double>(nValue) - 200.5;
}

unsigned PairAt(const uint8_t* data) {
  return static_cast<unsigned>(data[0] | (data[1] << 8));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const unsigned long flagChoices[] = {0x00UL, 0x10UL, 0x01UL, 0x11UL, 0x02UL, 0x12UL};
  const unsigned long flags = flagChoices[data[0] % std::size(flagChoices)];
  const unsigned nDistinct = 1 + PairAt(data + 1) % 400;
  const size_t nElements = (size - 3) / 2;
  const size_t nCopies =
      data[0] & 0x80 && nElements > 0 ? kxu::sort::kBucketSortThreshold / nElements + 1 : 1;
  std::vector<std::pair<double, int>> expected;
  for (size_t copy = 0; copy < nCopies; ++copy) {
    for (size_t i = 3; i + 1 < size; i += 2)
      expected.emplace_back(ValueNumbered(PairAt(data + i) % nDistinct),
                            static_cast<int>(expected.size()));
  }
  std::vector<double> values;
  CArray<int, int> index;
  for (const auto& [value, position] : expected) {
    values.push_back(value);
    index.Add(position);
  }
  std::stable_sort(expected.begin(), expected.end(), [flags](const auto& a, const auto& b) {
    return kxu::sort::CompareDoubles(&a.first, &b.first, &flags) < 0;
  });
  kxutilsSortBuff(values.data(), static_cast<int>(values.size()), flags, &index);
  for (size_t k = 0; k < expected.size(); ++k) {
    // Bits on purpose: -0 and +0, and NaNs, must come back in their order.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    Require(std::memcmp(&values[k], &expected[k].first, sizeof(double)) == 0);
    Require(index[static_cast<int>(k)] == expected[k].second);
  }
  return 0;
}
