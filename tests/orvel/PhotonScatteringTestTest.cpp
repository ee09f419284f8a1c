// The scattering test's cones: set-up, counting and merging.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "TransportTestDoubles.h"
#include "orvel/engine/ScatteringTest.h"
#include "shared/Console.h"
#include "shared/Random.h"

namespace orvel {
namespace {

using testing::kPi;
constexpr double kDeg = kPi / 180.0;

TEST(ScatteringTestTest, ConeCountAndAxesFollowTheTestAngle) {
  struct Case {
    double testAngle;
    std::size_t nTest;
    double lastAxis;
  };
  for (const Case& c : {Case{3, 61, 180}, Case{10, 19, 180}, Case{7, 26, 175}, Case{1, 181, 180}}) {
    Random rng(1);
    const ScatteringTest test(c.testAngle, rng);
    ASSERT_EQ(test.size(), c.nTest) << c.testAngle;
    EXPECT_DOUBLE_EQ(test.angle.back(), c.lastAxis);
    for (std::size_t i = 0; i < test.size(); ++i) {
      EXPECT_EQ(test.scatteredPhotons[i], 0);
      EXPECT_NEAR(std::acos(std::clamp(test.testDirection[i][2], -1.0, 1.0)), test.angle[i] * kDeg, 1e-7);
      EXPECT_NEAR(norm(test.testDirection[i]), 1.0, 1e-12);
    }
  }
}

TEST(ScatteringTestTest, RejectsAnglesThatGiveNoFiniteSetOfCones) {
  Random rng(1);
  for (const double bad : {0.0, -3.0, 181.0, std::nan("")}) {
    EXPECT_THROW(ScatteringTest(bad, rng), std::invalid_argument) << bad;
  }
}

TEST(ScatteringTestTest, ZeroAngleFallsInTheFirstConeOnlyWhateverTheAzimuth) {
  Random rng(2);
  ScatteringTest test(3.0, rng);
  for (const double phi : {0.0, 1.0, 4.0}) EXPECT_EQ(test.count(0.0, phi), 1);
  EXPECT_EQ(test.scatteredPhotons[0], 3);
  EXPECT_EQ(test.scatteredPhotons[1], 0);
}

TEST(ScatteringTestTest, ConeAzimuthIsPartOfTheTest) {
  Random rng(3);
  ScatteringTest test(10.0, rng);
  const Vec3 axis = test.testDirection[9];  // 90 degrees
  const double axisPhi = std::atan2(axis[1], axis[0]);
  EXPECT_EQ(test.count(90.0 * kDeg, axisPhi), 1);
  EXPECT_EQ(test.scatteredPhotons[9], 1);
  EXPECT_EQ(test.count(90.0 * kDeg, axisPhi + kPi), 0) << "same polar angle, opposite azimuth";
  EXPECT_EQ(test.scatteredPhotons[9], 1);
}

TEST(ScatteringTestTest, IsotropicDirectionsFillEveryConeByItsSolidAngle) {
  Random rng(4);
  ScatteringTest test(10.0, rng);
  const int n = 200000;
  for (int i = 0; i < n; ++i) {
    const double theta = std::acos(1.0 - 2.0 * rng.uniform());
    test.count(theta, 2.0 * kPi * rng.uniform());
  }
  const double p = (1.0 - std::cos(5.0 * kDeg)) / 2.0;  // cone solid angle / 4 pi
  const double mean = n * p;
  const double sigma = std::sqrt(n * p * (1.0 - p));
  for (std::size_t i = 0; i < test.size(); ++i) {
    EXPECT_NEAR(static_cast<double>(test.scatteredPhotons[i]), mean, 5.0 * sigma) << "cone " << i;
  }
}

TEST(ScatteringTestTest, CountsOfCopiesMergeAndDifferentConesDoNot) {
  Random rng(5);
  const ScatteringTest setUp(10.0, rng);
  ScatteringTest a = setUp;
  ScatteringTest b = setUp;
  a.count(0.0, 0.0);
  b.count(0.0, 1.0);
  b.count(0.0, 2.0);
  ScatteringTest total;
  total += a;
  total += b;
  total += ScatteringTest();
  EXPECT_EQ(total.scatteredPhotons[0], 3);

  Random other(6);
  EXPECT_THROW(total += ScatteringTest(10.0, other), std::invalid_argument);
  EXPECT_THROW(total += ScatteringTest(5.0, rng), std::invalid_argument);
}

}  // namespace
}  // namespace orvel
