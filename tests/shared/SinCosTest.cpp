#include "shared/SinCos.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "shared/Random.h"

namespace {

constexpr double kPi = std::numbers::pi;

// Against the library over the deflections (0 to pi) and azimuths (0 to 2 pi) of the
// photon loops, every quarter-turn boundary and its neighbours (where the reduction and
// the quadrant choice change), negative angles and large ones.
TEST(SinCos, AgreesWithTheLibraryToAFewUnitsInTheLastPlace) {
  std::vector<double> at{0.0, -0.0, 1e-300, 1e-8, kPi, 2 * kPi, -kPi, 1e5, -1e5};
  for (int k = -8; k <= 8; ++k) {
    const double x = k * kPi / 4;
    at.insert(at.end(), {x, std::nextafter(x, -10.0), std::nextafter(x, 10.0)});
  }
  Random rng(31);
  for (int i = 0; i < 200000; ++i) {
    at.push_back(kPi * rng.uniform());
    at.push_back(2 * kPi * rng.uniform());
    at.push_back(-3 * kPi + 6 * kPi * rng.uniform());
    at.push_back(1e-6 * rng.uniform());
    at.push_back(-1e5 + 2e5 * rng.uniform());
  }
  for (double x : at) {
    const SinCos sc = sinCos(x);
    ASSERT_NEAR(sc.sin, std::sin(x), 4e-16) << x;
    ASSERT_NEAR(sc.cos, std::cos(x), 4e-16) << x;
    if (std::fabs(x) < 1e-3) {
      ASSERT_NEAR(sc.sin, std::sin(x), 2e-16 * std::fabs(x)) << x;  // relative near 0
    }
  }
}

TEST(SinCos, ArgumentsBeyondTheReductionGoToTheLibrary) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double x : {1e5 + 1, -3e9, 1e300}) {
    EXPECT_EQ(sinCos(x).sin, std::sin(x)) << x;
    EXPECT_EQ(sinCos(x).cos, std::cos(x)) << x;
  }
  for (double x : {inf, -inf, std::nan("")}) {
    EXPECT_TRUE(std::isnan(sinCos(x).sin)) << x;
    EXPECT_TRUE(std::isnan(sinCos(x).cos)) << x;
  }
}

}  // namespace
