#include "shared/Random.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

TEST(Random, UniformStaysInHalfOpenUnitIntervalWithMeanAndVarianceOfUniform) {
  Random rng(42);
  const int n = 1'000'000;
  double sum = 0, sum2 = 0;
  for (int i = 0; i < n; ++i) {
    const double u = rng.uniform();
    ASSERT_GE(u, 0.0);
    ASSERT_LT(u, 1.0);
    sum += u;
    sum2 += u * u;
  }
  const double mean = sum / n, var = sum2 / n - mean * mean;
  // Standard error of the mean of U(0,1): sqrt(1/12/n) ~ 2.9e-4; allow 5 sigma.
  EXPECT_NEAR(mean, 0.5, 5 * std::sqrt(1.0 / 12 / n));
  EXPECT_NEAR(var, 1.0 / 12, 5e-4);
}

TEST(Random, StreamsAreReproducibleAndDistinctByKey) {
  auto a = Random::stream(7, {0, 1, 2, 3});
  auto b = Random::stream(7, {0, 1, 2, 3});
  auto c = Random::stream(7, {0, 1, 2, 4});
  auto d = Random::stream(8, {0, 1, 2, 3});
  auto e = Random::stream(7, {0, 1, 3, 2});  // order of the key matters
  int sameAC = 0, sameAD = 0, sameAE = 0;
  for (int i = 0; i < 1000; ++i) {
    const auto x = a.nextBits();
    EXPECT_EQ(x, b.nextBits());
    sameAC += x == c.nextBits();
    sameAD += x == d.nextBits();
    sameAE += x == e.nextBits();
  }
  EXPECT_EQ(sameAC, 0);
  EXPECT_EQ(sameAD, 0);
  EXPECT_EQ(sameAE, 0);
}

TEST(Random, NeighbouringStreamsAreUncorrelated) {
  // Correlation of the first draws of consecutive chunk streams: ~ N(0, 1/sqrt(n)).
  const int n = 20000;
  double sxy = 0, sx = 0, sy = 0, sxx = 0, syy = 0;
  for (int k = 0; k < n; ++k) {
    const double x = Random::stream(1, {0, 0, 0, std::uint64_t(k)}).uniform();
    const double y = Random::stream(1, {0, 0, 0, std::uint64_t(k + 1)}).uniform();
    sx += x; sy += y; sxy += x * y; sxx += x * x; syy += y * y;
  }
  const double cov = sxy / n - sx / n * sy / n;
  const double r = cov / std::sqrt((sxx / n - sx / n * sx / n) * (syy / n - sy / n * sy / n));
  EXPECT_LT(std::fabs(r), 5 / std::sqrt(double(n)));
}
