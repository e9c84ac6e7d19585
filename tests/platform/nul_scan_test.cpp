#include <kxutils96/platform/nul_scan.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using kxu::platform::FindNul;
using kxu::platform::NulTerminatedLength;

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
      ASSERT_EQ(NulTerminatedLength(p), std::char_traits<char16_t>::length(p))
          << start << " " << nul;
      for (std::size_t bound : {nul - start, nul - start + 1, kUnits}) {
        ASSERT_EQ(FindNul(p, bound), std::min(nul - start, bound)) << start << " " << nul;
      }
    }
  }
}

}  // namespace
