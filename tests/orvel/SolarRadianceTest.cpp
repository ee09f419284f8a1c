// The solar incident-light model: Harrison-Coombes sky normalised on the fixed grid.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "orvel/engine/GreggCarderIrradiance.h"
#include "orvel/engine/SolarRadiance.h"

namespace orvel {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180.0;

TEST(SolarRadiance, ClearSkyWorkedValues) {
  const SolarRadiance sky(550, 30.0, 0.0);
  EXPECT_NEAR(sky.computeEdFromHCnormalRadiance(), 1.776055, 5e-7);
  EXPECT_NEAR(sky.getScaleFactor(), 0.563046, 5e-7);
  EXPECT_NEAR(sky.getNormalizedSkyRadiance(0.0, 0.0), 0.266951, 5e-7);
  EXPECT_NEAR(sky.getNormalizedSkyRadiance(45.0 * kDegree, kPi), 0.108639, 5e-7);
}

TEST(SolarRadiance, OvercastSkyWorkedValues) {
  const SolarRadiance sky(550, 30.0, 1.0);
  EXPECT_NEAR(sky.computeEdFromHCnormalRadiance(), 3.068783, 5e-7);
  EXPECT_NEAR(sky.getNormalizedSkyRadiance(0.0, 0.0), 0.394905, 5e-7);
}

TEST(SolarRadiance, IrradiancesComeFromTheClearSkyModel) {
  for (double cloud : {0.0, 0.5, 1.0}) {
    GreggCarderIrradiance model;
    model.initialize(550, 30.0, cloud);
    model.computeGreggCarderDownwellingIrradiance();
    const SolarRadiance sky(550, 30.0, cloud);
    EXPECT_EQ(sky.getDirectEd(), model.getDirectEd()) << cloud;
    EXPECT_EQ(sky.getDiffuseEd(), model.getDiffuseEd()) << cloud;
  }
  EXPECT_THROW(SolarRadiance(802, 30.0, 0.0), WavelengthRangeError);
  EXPECT_THROW(SolarRadiance(349, 30.0, 0.0), WavelengthRangeError);
}

// The normalised radiance integrates to 1 with cos(theta) over the sky on a fine grid
// too, up to the coarseness of the 217-cell grid that fixes the scale (a few percent).
TEST(SolarRadiance, CosineWeightedIntegralIsNearOne) {
  for (double zenith : {0.0, 30.0, 60.0, 75.0}) {
    for (double cloud : {0.0, 0.5, 1.0}) {
      const SolarRadiance sky(550, zenith, cloud);
      const int nTheta = 180;
      const int nPhi = 360;
      const double dTheta = 0.5 * kPi / nTheta;
      const double dPhi = 2.0 * kPi / nPhi;
      double sum = 0.0;
      for (int i = 0; i < nTheta; ++i) {
        const double theta = (i + 0.5) * dTheta;
        for (int j = 0; j < nPhi; ++j) {
          sum += sky.getNormalizedSkyRadiance(theta, (j + 0.5) * dPhi) * std::cos(theta) * std::sin(theta);
        }
      }
      EXPECT_NEAR(sum * dTheta * dPhi, 1.0, 0.04) << zenith << " " << cloud;
    }
  }
}

// The sun stands at azimuth 0: the sky is mirror-symmetric about that plane and brightest
// towards the sun.
TEST(SolarRadiance, SkyIsSymmetricAboutTheSunsPlaneAndPeaksAtTheSun) {
  const SolarRadiance sky(550, 45.0, 0.3);
  for (double phi : {0.3, 1.0, 2.0, 3.0}) {
    EXPECT_DOUBLE_EQ(sky.getNormalizedSkyRadiance(0.6, phi),
                     sky.getNormalizedSkyRadiance(0.6, 2.0 * kPi - phi));
  }
  const double atSun = sky.getNormalizedSkyRadiance(45.0 * kDegree, 0.0);
  EXPECT_GT(atSun, sky.getNormalizedSkyRadiance(45.0 * kDegree, kPi));
  EXPECT_GT(atSun, sky.getNormalizedSkyRadiance(40.0 * kDegree, 0.0));
  EXPECT_GT(atSun, sky.getNormalizedSkyRadiance(45.0 * kDegree, 0.1));
}

// Looking straight at the sun, cos(psi) can round just above 1; the radiance stays
// finite and equals the value for psi = 0. With the sun overhead the sky depends on the
// zenith angle only, and the horizon is finite.
TEST(SolarRadiance, SunDirectionZenithSunAndHorizonStayFinite) {
  for (int tenth = 0; tenth <= 890; tenth += 1) {
    const double zenith = tenth * 0.1;
    const SolarRadiance sky(550, zenith, 0.0);
    const double atSun = sky.getNormalizedSkyRadiance(zenith * kDegree, 0.0);
    ASSERT_TRUE(std::isfinite(atSun)) << zenith;
    const double mu = std::cos(zenith * kDegree);
    const double expected = sky.getScaleFactor() * (1.63 + 53.7 + 2.04 * mu) * (1.0 - std::exp(-0.19 / mu)) *
                            (1.0 - std::exp(-0.53 / mu));
    ASSERT_NEAR(atSun, expected, 1e-6 * expected) << zenith;
  }

  const SolarRadiance overhead(550, 0.0, 0.4);
  for (double theta : {0.0, 0.4, 1.2, 0.5 * kPi}) {
    const double reference = overhead.getNormalizedSkyRadiance(theta, 0.0);
    EXPECT_TRUE(std::isfinite(reference) && reference > 0.0) << theta;
    for (double phi : {0.7, 2.5, 4.0, 6.0}) {
      EXPECT_NEAR(overhead.getNormalizedSkyRadiance(theta, phi), reference, 1e-12 * reference);
    }
  }
  const SolarRadiance sky(550, 30.0, 0.0);
  EXPECT_GT(sky.HarrisonCoombesNormalizedRadiance(0.0, 1.0), 0.0);  // skymu = 0 exactly
  EXPECT_TRUE(std::isfinite(sky.HarrisonCoombesNormalizedRadiance(0.0, 1.0)));
}

// The sensors ask from many threads at once; the answers do not depend on that.
TEST(SolarRadiance, ConcurrentCallsGiveTheSerialAnswers) {
  const SolarRadiance sky(550, 30.0, 0.2);
  const int n = 20000;
  std::vector<double> serial(n), parallel(n);
  auto direction = [](int k) { return std::pair{(k % 97) * 0.5 * kPi / 96.0, (k % 360) * kDegree}; };
  for (int k = 0; k < n; ++k) {
    const auto [theta, phi] = direction(k);
    serial[static_cast<std::size_t>(k)] = sky.getNormalizedSkyRadiance(theta, phi);
  }
#pragma omp parallel for num_threads(4)
  for (int k = 0; k < n; ++k) {
    const auto [theta, phi] = direction(k);
    parallel[static_cast<std::size_t>(k)] = sky.getNormalizedSkyRadiance(theta, phi);
  }
  EXPECT_EQ(serial, parallel);
}

}  // namespace
}  // namespace orvel
