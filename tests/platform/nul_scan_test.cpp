#include <kxutils96/platform/text/nul_scan.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using namespace kxu::platform;

// Every start (aligned to the scan's blocks or not) and every NUL position
// over three blocks, against a unit-by-unit scan's answers, with bounds
// before, at and past the NUL.
TEST(NulScan, AgreesWithAUnitByUnitScanAtEveryStartAndEnd) {
  constexpr std::size_t kUnits = 48;
  std::vector<char16_t> units(kUnits * 2);
  for (std::size_t start = 0; start < 32; ++start) {
    for (std::size_t nul = start; nul < start + kUnits; ++nul) {
      std::fill(units.begin(), units.end(), u'\u0100');
      units[nul] = 0;
      const char16_t* p = units.data() + start;
      ASSERT_EQ(NulTerminatedLength(p), nul - start) << start << " " << nul;
      for (std::size_t bound : {nul - start, nul - start + 1, kUnits})
        ASSERT_EQ(FindNul(p, bound), std::min(nul - start, bound)) << start << " " << nul;
    }
  }
}

// A text whose NUL is the last unit of its allocation, at every length: the
// length scan's whole blocks may pass the allocation's end only as far as an
// aligned block reaches, which the address checker must not report.
TEST(NulScan, ReadsNoFurtherThanTheAlignedBlockHoldingTheNul) {
  for (std::size_t nUnits = 1; nUnits <= 40; ++nUnits) {
    const auto text = std::make_unique<char16_t[]>(nUnits);
    std::fill_n(text.get(), nUnits - 1, u'a');
    text[nUnits - 1] = 0;
    ASSERT_EQ(NulTerminatedLength(text.get()), nUnits - 1);
  }
}

}  // namespace
