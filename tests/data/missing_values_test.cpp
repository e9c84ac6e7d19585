#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include <kxutils96/data/missing_values.h>

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

bool SameBits(double a, double b) {
  // Bits on purpose: NaN payloads and the marker must come back exactly.
  // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(MissingValues, NanumToNanReplacesOnlyNanum) {
  std::vector<double> values = {1.0, NANUM, 0.0, NANUM, kNaN, kInf, -kInf, -0.0, -NANUM};
  EXPECT_EQ(kxu_NANUM_to_nan(values.data(), static_cast<unsigned>(values.size())), 2);
  EXPECT_EQ(values[0], 1.0);
  EXPECT_TRUE(std::isnan(values[1]));
  EXPECT_TRUE(SameBits(values[1], std::log(-1.0)));
  EXPECT_TRUE(SameBits(values[2], 0.0));
  EXPECT_TRUE(std::isnan(values[3]));
  EXPECT_TRUE(std::isnan(values[4]));
  EXPECT_EQ(values[5], kInf);
  EXPECT_EQ(values[6], -kInf);
  EXPECT_TRUE(SameBits(values[7], -0.0));
  EXPECT_EQ(values[8], -NANUM);
}

TEST(MissingValues, NanInfToNanumReplacesNaNsAndInfinities) {
  std::vector<double> values = {
      kNaN, kInf, -kInf, 5.0, NANUM, -0.0, std::numeric_limits<double>::max()};
  EXPECT_EQ(kxu_nan_inf_to_NANUM(values.data(), static_cast<unsigned>(values.size())), 3);
  EXPECT_EQ(values, (std::vector<double>{NANUM, NANUM, NANUM, 5.0, NANUM, -0.0,
                                         std::numeric_limits<double>::max()}));
}

TEST(MissingValues, CountLimitsTheWork) {
  std::vector<double> values = {NANUM, NANUM, kInf};
  EXPECT_EQ(kxu_NANUM_to_nan(values.data(), 1), 1);
  EXPECT_EQ(values[1], NANUM);
  EXPECT_EQ(kxu_nan_inf_to_NANUM(values.data(), 2), 1);
  EXPECT_EQ(values[2], kInf);
  EXPECT_EQ(kxu_NANUM_to_nan(values.data(), 0), 0);
  EXPECT_EQ(kxu_nan_inf_to_NANUM(values.data(), 0), 0);
  EXPECT_EQ(kxu_NANUM_to_nan(nullptr, 5), 0);
  EXPECT_EQ(kxu_nan_inf_to_NANUM(nullptr, 5), 0);
}

TEST(MissingValues, RoundTripRestoresNanumAndTurnsInfinitiesIntoNanum) {
  std::vector<double> values = {NANUM, 2.0, kInf, NANUM, -3.5};
  EXPECT_EQ(kxu_NANUM_to_nan(values.data(), 5), 2);
  EXPECT_EQ(kxu_nan_inf_to_NANUM(values.data(), 5), 3);
  EXPECT_EQ(values, (std::vector<double>{NANUM, 2.0, NANUM, NANUM, -3.5}));
}

}  // namespace
