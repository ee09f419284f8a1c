#include "orvel/engine/IrradianceSensor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "TransportTestDoubles.h"
#include "orvel/engine/Control.h"
#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/Photon.h"

namespace orvel {
namespace {

using testing::kPi;
using testing::UniformSpherePF;

class IrradianceSensorTest : public ::testing::Test {
 protected:
  static void trace(Sensor& sensor, int n, double w) {
    Photon photon;
    Random rng(1);
    for (int i = 0; i < n; ++i) photon.launch(sensor, rng);
    sensor.tallyBackMC(w);
  }

  Control control;  // sun at 30 degrees, n = 1.34
  HomogeneousWater water = testing::waterWith(1.0, 0.7, std::make_shared<UniformSpherePF>());
  const double n2 = 1.34 * 1.34;
};

TEST_F(IrradianceSensorTest, LaunchDirectionsFollowTheCosineLawAboutTheAxis) {
  const Vec3 axis{0.48, -0.6, 0.64};
  const Vec3 across{0.78125, 0.625, 0.0};  // unit, perpendicular to the axis
  IrradianceSensor sensor(axis, {0.0, 0.0, 1.0}, 0.005, false, control);
  Random rng(12345);
  SensorTally sums;
  const int n = 100000;
  const int bins = 10;
  int count[bins] = {};
  double sumMu = 0.0;
  double sumAcross = 0.0;
  for (int i = 0; i < n; ++i) {
    const Vec3 d = sensor.getInitialPhotonDirectionBackMC(rng, sums);
    ASSERT_NEAR(norm(d), 1.0, 1e-12);
    const double mu = dot(d, axis);
    ASSERT_GE(mu, -1e-12) << "always into the collector's hemisphere";
    sumMu += mu;
    sumAcross += dot(d, across);
    ++count[std::min(bins - 1, static_cast<int>(std::max(0.0, mu) * bins))];
  }
  EXPECT_EQ(sums.totalLaunchedWeightBackMC, n);
  // Density of mu = cos(theta) is 2 mu on [0, 1]: P(mu in bin k) = ((k+1)^2 - k^2) / bins^2.
  for (int k = 0; k < bins; ++k) {
    const double p = (2.0 * k + 1.0) / (bins * bins);
    EXPECT_NEAR(count[k], n * p, 5.0 * std::sqrt(n * p * (1 - p))) << "bin " << k;
  }
  EXPECT_NEAR(sumMu / n, 2.0 / 3.0, 5.0 * std::sqrt(1.0 / 18.0 / n));  // var(mu) = 1/2 - 4/9
  // Uniform azimuth: no preferred side; var of the across component is (1 - 1/2) / 2.
  EXPECT_NEAR(sumAcross / n, 0.0, 5.0 * std::sqrt(0.25 / n));
}

TEST_F(IrradianceSensorTest, DirectPassSplitsIntoScatteredAndTheUnscatteredSunOnTheCollector) {
  const double zc = 2.0;
  IrradianceSensor upward({0.0, 0.0, -1.0}, {0.0, 0.0, zc}, 0.005, false, control);
  upward.initializeToNewMode(true);
  trace(upward, 5, 0.3);
  upward.finishTally(2.0, 0.4, water);
  const SolarGeometry& sun = upward.getSolarGeometry();
  const double muW = sun.solarWaterAngleCosine;
  const double T = sun.solarTransmittance;
  // Facing up, cos psi = mu_w, so the collector gets the horizontal irradiance.
  EXPECT_NEAR(upward.getDirectUnscatteredValue(), 2.0 * T * std::exp(-zc / muW), 1e-14);
  EXPECT_DOUBLE_EQ(upward.getDirectScatteredValue(), 2.0 * T * kPi * 0.3 / (5 * muW));
  EXPECT_EQ(upward.getDiffuseValue(), 0.0) << "only the direct pass ran";
}

TEST_F(IrradianceSensorTest, CollectorFacingAwayFromTheSunGetsNoUnscatteredLight) {
  for (const Vec3 away : {Vec3{0.0, 0.0, 1.0}, Vec3{-1.0, 0.0, 0.0}}) {
    IrradianceSensor sensor(away, {0.0, 0.0, 1.0}, 0.005, true, control);
    trace(sensor, 2, 0.1);
    sensor.finishTally(2.0, 0.4, water);
    EXPECT_EQ(sensor.getDirectUnscatteredValue(), 0.0);
    EXPECT_GT(sensor.getDirectScatteredValue(), 0.0);
  }
}

TEST_F(IrradianceSensorTest, DiffusePassGivesSkyIrradiance) {
  IrradianceSensor sensor({0.0, 0.0, -1.0}, {0.0, 0.0, 1.0}, 0.005, false, control);
  trace(sensor, 4, 0.5);
  sensor.finishTally(2.0, 0.4, water);
  EXPECT_DOUBLE_EQ(sensor.getDiffuseValue(), 0.4 * n2 * kPi * 0.5 / 4);
  EXPECT_EQ(sensor.getDirectScatteredValue() + sensor.getDirectUnscatteredValue(), 0.0);
  IrradianceSensor empty({0.0, 0.0, -1.0}, {0.0, 0.0, 1.0}, 0.005, false, control);
  empty.finishTally(2.0, 0.4, water);
  EXPECT_EQ(empty.getDiffuseValue(), 0.0) << "no photons: zero, not NaN";
}

}  // namespace
}  // namespace orvel
