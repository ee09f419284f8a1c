// The simple incident-light model: user irradiances and a cardioidal sky.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "orvel/engine/CardioidalRadiance.h"

namespace orvel {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(CardioidalRadiance, WorkedRadiances) {
  const CardioidalRadiance uniform(550.0, 0.0, 0.5, 0.5);
  for (double theta : {0.0, 0.7, 0.5 * kPi}) {
    for (double phi : {0.0, 2.0, 5.0}) {
      EXPECT_NEAR(uniform.getNormalizedSkyRadiance(theta, phi), 0.3183099, 5e-8);
    }
  }
  const CardioidalRadiance cardioid(550.0, 1.0, 0.5, 0.5);
  EXPECT_NEAR(cardioid.getNormalizedSkyRadiance(0.0, 0.0), 0.3819719, 5e-8);
  EXPECT_NEAR(cardioid.getNormalizedSkyRadiance(0.5 * kPi, 0.0), 0.1909859, 5e-8);
  EXPECT_NEAR(cardioid.getLo(), 0.5 / (2.0 * kPi * (0.5 + 1.0 / 3.0)), 1e-15);
}

TEST(CardioidalRadiance, IrradiancesFromTotalAndSkyShare) {
  struct Case {
    double total, ratio, direct, diffuse;
  };
  for (const Case& c :
       {Case{1.0, 1.0, 0.0, 1.0}, Case{2.0, 0.25, 1.5, 0.5}, Case{1.3701702, 0.0, 1.3701702, 0.0}}) {
    const CardioidalRadiance sky = CardioidalRadiance::fromTotalEd(550.0, 0.0, c.total, c.ratio);
    EXPECT_DOUBLE_EQ(sky.getDirectEd(), c.direct) << c.total << " " << c.ratio;
    EXPECT_DOUBLE_EQ(sky.getDiffuseEd(), c.diffuse) << c.total << " " << c.ratio;
  }
}

// The cosine-weighted integral of the normalised radiance over the sky is 1 for every
// admissible coefficient, including the extreme C = -1 (dark at the zenith).
TEST(CardioidalRadiance, CosineWeightedIntegralIsOne) {
  for (double C : {-1.0, -0.5, 0.0, 0.5, 3.0}) {
    const CardioidalRadiance sky(550.0, C, 0.2, 0.8);
    const int n = 2000;
    const double dTheta = 0.5 * kPi / n;
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
      const double theta = (i + 0.5) * dTheta;
      const double radiance = sky.getNormalizedSkyRadiance(theta, 0.0);
      EXPECT_GE(radiance, 0.0);
      sum += radiance * std::cos(theta) * std::sin(theta);
    }
    EXPECT_NEAR(2.0 * kPi * sum * dTheta, 1.0, 1e-6) << C;
  }
}

// Below C = -1 the sky would be negative near the zenith (and C = -1.5 zeroes the
// normalisation): such a coefficient is refused.
TEST(CardioidalRadiance, RefusesCoefficientsGivingNegativeSky) {
  for (double C : {-1.0000001, -1.5, -3.0, std::numeric_limits<double>::quiet_NaN(),
                   std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
    EXPECT_THROW(CardioidalRadiance(550.0, C, 0.5, 0.5), CardioidalCoefficientError) << C;
  }
  try {
    CardioidalRadiance(550.0, -1.5, 0.5, 0.5);
  } catch (const CardioidalCoefficientError& e) {
    EXPECT_NE(std::string(e.what()).find("-1.5"), std::string::npos) << e.what();
  }
  EXPECT_NO_THROW(CardioidalRadiance(550.0, -1.0, 0.5, 0.5));
}

// With no sky light at all (share 0) the sky's shape is still defined: the normalised
// radiance does not become 0/0.
TEST(CardioidalRadiance, NoSkyLightKeepsAFiniteShape) {
  const CardioidalRadiance sky = CardioidalRadiance::fromTotalEd(550.0, 0.0, 1.0, 0.0);
  EXPECT_NEAR(sky.getNormalizedSkyRadiance(0.3, 0.0), 1.0 / kPi, 1e-15);
  EXPECT_EQ(sky.getLo(), 0.0);
}

}  // namespace
}  // namespace orvel
