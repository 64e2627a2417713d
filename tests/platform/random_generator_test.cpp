// The random generator against values worked out by hand, and the small
// arithmetic helpers at their edges.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "platform/platform.h"

namespace {

constexpr double two27 = 134217728.0;  // 2^27
constexpr double two29 = 536870912.0;  // 2^29

// rnd(0, 1) is the generator's u itself.
double next_u() { return platform::rnd(0.0, 1.0); }

TEST(RandomGenerator, FirstValuesForSeedOne) {
  // state 1
  // step: 48271 * (1 mod 44488) - 3399 * (1 div 44488) = 48271
  //   hi = 48271 AND 0x1FFFFFFC = 48268 (48271 = 0xBC8F, low two bits cleared)
  // step: 48271 mod 44488 = 3783, div = 1
  //   48271 * 3783 - 3399 * 1 = 182609193 - 3399 = 182605794
  //   lo = 182605794 AND 0x1FFFFFF8 = 182605792 (182605794 mod 8 = 2)
  platform::seed_rnd(1);
  EXPECT_EQ(next_u(), (182605792.0 / two27 + 48268.0) / two29);
  // step: 182605794 mod 44488 = 27042, div = 4104 (44488 * 4104 = 182578752)
  //   48271 * 27042 - 3399 * 4104 = 1305344382 - 13949496 = 1291394886
  //   hi: 1291394886 - 2 * 2^29 = 217653062, low two bits cleared: 217653060
  // step: 1291394886 mod 44488 = 41710, div = 29027 (44488 * 29027 =
  //   1291353176)
  //   48271 * 41710 - 3399 * 29027 = 2013383410 - 98662773 = 1914720637
  //   lo: 1914720637 - 3 * 2^29 = 304107901, low three bits cleared: 304107896
  EXPECT_EQ(next_u(), (304107896.0 / two27 + 217653060.0) / two29);
}

TEST(RandomGenerator, ZeroAndAllOnesSeedBecome0x1234) {
  // state 0x1234 = 4660
  // step: 48271 * 4660 = 224942860; hi = 224942860 (already a multiple of 4)
  // step: 224942860 mod 44488 = 11532, div = 5056 (44488 * 5056 = 224931328)
  //   48271 * 11532 - 3399 * 5056 = 556661172 - 17185344 = 539475828
  //   lo = 539475828 AND 0x1FFFFFF8: 539475828 - 2^29 = 2604916;
  //   2604916 mod 8 = 4 -> 2604912
  const double expected = (2604912.0 / two27 + 224942860.0) / two29;
  for (int seed : {0, 0x7FFFFFFF, -1, INT_MIN}) {
    platform::seed_rnd(seed);
    EXPECT_EQ(next_u(), expected) << "seed " << seed;
  }
}

TEST(RandomGenerator, SignBitOfTheSeedIsDropped) {
  platform::seed_rnd(1);
  const double a = next_u();
  platform::seed_rnd(INT_MIN + 1);  // 0x80000001
  EXPECT_EQ(next_u(), a);
}

TEST(RandomGenerator, RndStaysInItsRangeEitherWayRound) {
  platform::seed_rnd(99);
  double lowest = 5.0;
  double highest = 0.0;
  for (int i = 0; i < 20000; ++i) {
    for (double v : {platform::rnd(5, 0), platform::rnd(0, 5)}) {
      ASSERT_GE(v, 0.0);
      ASSERT_LT(v, 5.0);
      lowest = std::fmin(lowest, v);
      highest = std::fmax(highest, v);
    }
  }
  // Spread over the whole range, not stuck at one end.
  EXPECT_LT(lowest, 0.01);
  EXPECT_GT(highest, 4.99);
  EXPECT_EQ(platform::rnd(3, 3), 3.0);
}

TEST(RandomGenerator, SameSeedSameSequence) {
  platform::seed_rnd(12345);
  double first[8];
  for (double& v : first) v = platform::rnd(-10, 10);
  platform::seed_rnd(12345);
  for (double v : first) EXPECT_EQ(platform::rnd(-10, 10), v);
}

TEST(Arithmetic, FloatToIntTruncatesTowardZeroAndClamps) {
  EXPECT_EQ(platform::float_to_int(2.9), 2);
  EXPECT_EQ(platform::float_to_int(-2.9), -2);
  EXPECT_EQ(platform::float_to_int(-0.5), 0);
  EXPECT_EQ(platform::float_to_int(2147483646.9), 2147483646);
  EXPECT_EQ(platform::float_to_int(-2147483648.0), INT_MIN);
  EXPECT_EQ(platform::float_to_int(3e9), INT_MAX);
  EXPECT_EQ(platform::float_to_int(-3e9), INT_MIN);
  EXPECT_EQ(platform::float_to_int(std::numeric_limits<double>::infinity()),
            INT_MAX);
  EXPECT_EQ(platform::float_to_int(std::nan("")), 0);
}

TEST(Arithmetic, IntToStringAndConcat) {
  EXPECT_EQ(platform::int_to_string(0), "0");
  EXPECT_EQ(platform::int_to_string(-42), "-42");
  EXPECT_EQ(platform::int_to_string(INT_MIN), "-2147483648");
  EXPECT_EQ(platform::int_to_string(INT_MAX), "2147483647");
  EXPECT_EQ(platform::concat_strings("SCORE ", "100"), "SCORE 100");
  EXPECT_EQ(platform::concat_strings("", ""), "");
}

TEST(Arithmetic, SineAndCosineInDegrees) {
  // Whole quarter turns are exact, so truncating products never lands one off.
  EXPECT_EQ(platform::sin_deg(90), 1.0);
  EXPECT_EQ(platform::sin_deg(180), 0.0);
  EXPECT_EQ(platform::sin_deg(-90), -1.0);
  EXPECT_EQ(platform::cos_deg(0), 1.0);
  EXPECT_EQ(platform::cos_deg(90), 0.0);
  EXPECT_EQ(platform::cos_deg(540), -1.0);
  EXPECT_DOUBLE_EQ(platform::sin_deg(30), 0.5);
  EXPECT_DOUBLE_EQ(platform::cos_deg(-60), 0.5);
  EXPECT_NEAR(platform::sin_deg(-135), -std::sqrt(0.5), 1e-15);
  EXPECT_NEAR(platform::cos_deg(1000.5), std::cos(1000.5 * M_PI / 180), 1e-12);
  EXPECT_TRUE(std::isnan(platform::sin_deg(INFINITY)));
}

TEST(Clock, DelaySleepsAndIgnoresNegative) {
  const int t0 = platform::millisecs();
  platform::delay(-5);
  EXPECT_LT(platform::millisecs() - t0, 5);
  platform::delay(20);
  const int waited = platform::millisecs() - t0;
  EXPECT_GE(waited, 20);
  EXPECT_LT(waited, 1000);
}

}  // namespace
