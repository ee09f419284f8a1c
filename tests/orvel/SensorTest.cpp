// What both kinds of sensor share: the sun in the water, the backward launch, the pass
// bookkeeping, the sky tally and the direct-sun local estimate.
#include "orvel/engine/Sensor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "TransportTestDoubles.h"
#include "orvel/engine/Control.h"
#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/IrradianceSensor.h"
#include "orvel/engine/Photon.h"
#include "orvel/engine/RadianceSensor.h"

namespace orvel {
namespace {

using testing::FixedAnglePF;
using testing::kPi;
constexpr double kDeg = kPi / 180.0;

TEST(SolarGeometryTest, RefractedSunAtThirtyDegrees) {
  const SolarGeometry sun(30.0, 1.34);
  const double thetaW = std::asin(0.5 / 1.34);
  EXPECT_NEAR(sun.solarWaterAngle, thetaW / kDeg, 1e-12);
  EXPECT_NEAR(sun.solarWaterAngleCosine, std::cos(thetaW), 1e-12);
  EXPECT_NEAR(sun.solarAirAngleCosine, std::cos(30.0 * kDeg), 1e-15);
  EXPECT_NEAR(sun.solarDirection[0], std::sin(thetaW), 1e-12) << "towards the sun at azimuth 0";
  EXPECT_NEAR(sun.solarDirection[1], 0.0, 1e-15);
  EXPECT_NEAR(sun.solarDirection[2], -std::cos(thetaW), 1e-12) << "upwards";
  // Unpolarised Fresnel reflectance for 30 degrees from air into n = 1.34.
  const double m = 30.0 * kDeg - thetaW, p = 30.0 * kDeg + thetaW;
  const double r = 0.5 * (std::pow(std::sin(m) / std::sin(p), 2) + std::pow(std::tan(m) / std::tan(p), 2));
  EXPECT_NEAR(sun.solarTransmittance, 1.0 - r, 1e-12);
}

TEST(SolarGeometryTest, SunAtTheZenithUsesTheNormalIncidenceReflectance) {
  const SolarGeometry sun(0.0, 1.34);
  EXPECT_NEAR(sun.solarTransmittance, 1.0 - 0.021111841624662148, 1e-15);
  EXPECT_NEAR(sun.solarTransmittance, 0.97889, 5e-6);
  EXPECT_NEAR(sun.solarDirection[0], 0.0, 1e-15);
  EXPECT_NEAR(sun.solarDirection[2], -1.0, 1e-15);
}

struct LaunchCase {
  double radius;
  double fov;
};

TEST(SensorLaunchTest, RadiancePhotonStartsAtTheCentreAlongTheViewingDirectionWhateverTheAperture) {
  const Control control;
  const Vec3 direction{-0.48, 0.6, 0.64};
  const Vec3 center{1.5, -2.0, 3.25};
  for (const LaunchCase& k : {LaunchCase{0.0, 0.0}, LaunchCase{0.01, 3.0 * kDeg}, LaunchCase{5.0, 1.0}}) {
    RadianceSensor sensor(direction, center, k.radius, k.fov, false, control);
    Photon photon;
    photon.setNewPosition(9.0, 9.0, 9.0);
    photon.updatePosition(1.0);
    photon.multipleScattering = 7;
    photon.updateWeight(0.01);
    Random rng(1);
    for (int i = 1; i <= 3; ++i) {
      photon.launch(sensor, rng);
      EXPECT_EQ(photon.getNewPosition(), center);
      EXPECT_EQ(photon.getDirection(), direction);
      EXPECT_EQ(photon.getWeight(), 1.0);
      EXPECT_EQ(photon.getMultipleScattering(), 0);
      EXPECT_EQ(sensor.getTotalLaunchedWeightBackMC(), i) << "the direction call records the launch";
    }
    EXPECT_EQ(photon.getOldPosition(), (Vec3{9.0, 9.0, 9.0})) << "until the first step";
  }
}

TEST(SensorLaunchTest, IrradiancePhotonStartsAtTheCentreAndRecordsItsLaunch) {
  const Control control;
  const Vec3 center{0.0, 0.0, 4.0};
  IrradianceSensor sensor({0.0, 0.0, -1.0}, center, 0.005, false, control);
  Photon photon;
  Random rng(2);
  SensorTally chunk;
  for (int i = 0; i < 10; ++i) {
    photon.launch(sensor, chunk, rng);
    EXPECT_EQ(photon.getNewPosition(), center);
    EXPECT_EQ(photon.getWeight(), 1.0);
  }
  EXPECT_EQ(chunk.totalLaunchedWeightBackMC, 10.0);
  EXPECT_EQ(sensor.getTotalLaunchedWeightBackMC(), 0.0) << "a chunk's launches stay in its own tally";
}

TEST(SensorTallyTest, ChunksAddUpToTheSensorsTallyAndANewPassClearsIt) {
  const Control control;
  RadianceSensor sensor({-1.0, 0.0, 0.0}, {0.0, 0.0, 5.0}, 0.01, 3.0 * kDeg, false, control);
  Photon photon;
  Random rng(3);
  SensorTally first;
  SensorTally second;
  photon.launch(sensor, first, rng);
  Sensor::tallyBackMC(0.25, first);
  photon.launch(sensor, second, rng);
  photon.launch(sensor, second, rng);
  sensor.tallyBackMC(0.5, second);
  sensor.tallyBackMC(0.125, second);
  sensor.addTally(first);
  sensor.addTally(second);
  EXPECT_EQ(sensor.getTotalLaunchedWeightBackMC(), 3.0);
  EXPECT_EQ(sensor.getWeight(), 0.875);
  EXPECT_EQ(sensor.getEvent(), 3.0);

  sensor.initializeToNewMode(true);
  EXPECT_TRUE(sensor.isCollimated());
  EXPECT_EQ(sensor.getTotalLaunchedWeightBackMC(), 0.0);
  EXPECT_EQ(sensor.getWeight(), 0.0);
  EXPECT_EQ(sensor.getEvent(), 0.0);
}

class LocalEstimateTest : public ::testing::Test {
 protected:
  Control control;
  Photon photon;
  SensorTally sums;
};

TEST_F(LocalEstimateTest, AddsTheSunScatteredIntoThePhotonsPathAttenuatedAlongTheSlantPath) {
  RadianceSensor sensor({-1.0, 0.0, 0.0}, {0.0, 0.0, 5.0}, 0.01, 3.0 * kDeg, true, control);
  const SolarGeometry& sun = sensor.getSolarGeometry();
  photon.setNewPosition(0.3, -1.0, 2.0);
  photon.setDirection(0.0, 0.6, 0.8);
  photon.updateWeight(0.5);
  const double psi = std::acos(dot(sun.solarDirection, photon.getDirection()));
  for (const double c : {1.0, 2.5}) {  // engine lengths are optical depths: c is not applied again
    SensorTally one;
    const auto water = testing::waterWith(c, 0.8, std::make_shared<FixedAnglePF>(0.0, 0.1));
    sensor.tallyCollimationBackMC(photon, water, one);
    EXPECT_EQ(one.event, 1);
    const double expected = 0.5 * 0.8 * 0.1 * (1.0 + psi) * std::exp(-2.0 / sun.solarWaterAngleCosine);
    EXPECT_NEAR(one.weight, expected, 1e-15) << c;
  }
}

TEST_F(LocalEstimateTest, PhotonTravellingTowardsTheSunGivesAFiniteEstimateForEverySunAngle) {
  // cos psi = solarDirection . solarDirection rounds above 1 for some sun angles (60
  // degrees among them); the estimate must still use the forward phase function.
  const auto water = testing::waterWith(1.0, 0.7, std::make_shared<FixedAnglePF>(0.0, 0.1));
  for (int angle = 0; angle < 90; ++angle) {
    control.solarZenithAngle = angle;
    IrradianceSensor sensor({0.0, 0.0, -1.0}, {0.0, 0.0, 1.0}, 0.005, true, control);
    photon.setNewPosition(0.0, 0.0, 0.0);
    photon.setDirection(sensor.getSolarGeometry().solarDirection);
    SensorTally one;
    sensor.tallyCollimationBackMC(photon, water, one);
    EXPECT_NEAR(one.weight, 0.7 * 0.1, 1e-7) << angle << " degrees";
  }
}

}  // namespace
}  // namespace orvel
