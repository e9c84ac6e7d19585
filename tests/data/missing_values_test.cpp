#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include <kxutils96/data/missing_values.h>

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Bits on purpose: NaN payloads, both zeros and the marker must come back exactly.
std::vector<unsigned long long> Bits(const std::vector<double>& values) {
  std::vector<unsigned long long> bits(values.size());
  std::memcpy(bits.data(), values.data(), values.size() * sizeof(double));
  return bits;
}

// Only the first `count` values are looked at; a null buffer gives 0.
TEST(MissingValues, EachDirectionReplacesItsOwnValues) {
  const double nan = std::log(-1.0);  // the NaN written for NANUM
  std::vector<double> values = {1.0, NANUM, 0.0, kNaN, kInf, -kInf, -0.0, -NANUM, NANUM, kInf};
  EXPECT_EQ(kxu_NANUM_to_nan(values.data(), 8), 1);
  EXPECT_EQ(Bits(values), Bits({1.0, nan, 0.0, kNaN, kInf, -kInf, -0.0, -NANUM, NANUM, kInf}));
  EXPECT_EQ(kxu_nan_inf_to_NANUM(values.data(), 9), 4);
  EXPECT_EQ(Bits(values), Bits({1.0, NANUM, 0.0, NANUM, NANUM, NANUM, -0.0, -NANUM, NANUM, kInf}));
  EXPECT_EQ(kxu_NANUM_to_nan(values.data(), 0), 0);
  EXPECT_EQ(kxu_nan_inf_to_NANUM(values.data(), 0), 0);
  EXPECT_EQ(kxu_NANUM_to_nan(nullptr, 5), 0);
  EXPECT_EQ(kxu_nan_inf_to_NANUM(nullptr, 5), 0);
}

}  // namespace
