#include "orvel/engine/RadianceSensor.h"

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
constexpr double kDeg = kPi / 180.0;

class RadianceSensorTest : public ::testing::Test {
 protected:
  // A pass of `n` launches and the sky or sun contributions `w`.
  static void trace(Sensor& sensor, int n, double w) {
    Photon photon;
    Random rng(1);
    for (int i = 0; i < n; ++i) photon.launch(sensor, rng);
    sensor.tallyBackMC(w);
  }

  Control control;  // sun at 30 degrees, half-angle 0.5 degrees, n = 1.34
  HomogeneousWater water = testing::waterWith(1.0, 0.7, std::make_shared<UniformSpherePF>());
  const double n2 = 1.34 * 1.34;
};

TEST_F(RadianceSensorTest, DiffusePassGivesSkyRadianceAndLeavesTheDirectPartsAtZero) {
  RadianceSensor sensor({-1.0, 0.0, 0.0}, {0.0, 0.0, 5.0}, 0.01, 3.0 * kDeg, false, control);
  trace(sensor, 4, 0.5);
  sensor.finishTally(2.0, 0.4, water);
  EXPECT_DOUBLE_EQ(sensor.getDiffuseValue(), 0.4 * n2 * 0.5 / 4);
  EXPECT_EQ(sensor.getDirectScatteredValue(), 0.0);
  EXPECT_EQ(sensor.getDirectUnscatteredValue(), 0.0);
  EXPECT_DOUBLE_EQ(sensor.getValue(), sensor.getDiffuseValue());
}

TEST_F(RadianceSensorTest, HorizontalSensorNeverSeesTheUnscatteredSunAndPassesAddUp) {
  RadianceSensor sensor({-1.0, 0.0, 0.0}, {0.0, 0.0, 5.0}, 0.01, 3.0 * kDeg, false, control);
  trace(sensor, 4, 0.5);
  sensor.finishTally(2.0, 0.4, water);
  const double diffuse = sensor.getDiffuseValue();

  sensor.initializeToNewMode(true);
  trace(sensor, 8, 0.2);
  sensor.finishTally(2.0, 0.4, water);
  const SolarGeometry& sun = sensor.getSolarGeometry();
  EXPECT_EQ(sensor.getDirectUnscatteredValue(), 0.0);
  EXPECT_DOUBLE_EQ(sensor.getDirectScatteredValue(),
                   2.0 * sun.solarTransmittance * 0.2 / (8 * sun.solarWaterAngleCosine));
  EXPECT_EQ(sensor.getDiffuseValue(), diffuse) << "the diffuse result survives the new pass";
  EXPECT_DOUBLE_EQ(sensor.getValue(), diffuse + sensor.getDirectScatteredValue());
  EXPECT_DOUBLE_EQ(sensor.getWeight(), 0.2) << "raw tally of the last pass";
}

TEST_F(RadianceSensorTest, SensorLookingAtTheRefractedSunSeesItUnscattered) {
  const double zc = 3.0;
  auto unscattered = [&](double halfAngle) {
    control.collimationTolerance = halfAngle;
    const SolarGeometry sun(control.solarZenithAngle, control.nWater);
    RadianceSensor sensor(sun.solarDirection, {0.0, 0.0, zc}, 0.01, 3.0 * kDeg, true, control);
    trace(sensor, 1, 0.0);
    sensor.finishTally(2.0, 0.4, water);
    return sensor.getDirectUnscatteredValue();
  };
  const SolarGeometry sun(30.0, 1.34);
  const double muW = sun.solarWaterAngleCosine;
  const double omegaAir = 2 * kPi * (1 - std::cos(0.5 * kDeg));
  const double omegaWater = std::cos(30.0 * kDeg) * omegaAir / (n2 * muW);
  const double expected = 2.0 * sun.solarTransmittance * std::exp(-zc / muW) / (muW * omegaWater);
  EXPECT_NEAR(unscattered(0.5), expected, 1e-9 * expected);
  EXPECT_GT(unscattered(0.25), 3.9 * unscattered(0.5)) << "a smaller sun is brighter for the same irradiance";
}

TEST_F(RadianceSensorTest, UnscatteredSunIsInOpticalDepthsWhateverTheAttenuation) {
  const SolarGeometry sun(30.0, 1.34);
  RadianceSensor sensor(sun.solarDirection, {0.0, 0.0, 2.0}, 0.01, 3.0 * kDeg, true, control);
  trace(sensor, 1, 0.0);
  sensor.finishTally(1.0, 0.0, water);
  const double atOne = sensor.getDirectUnscatteredValue();
  HomogeneousWater murky = testing::waterWith(3.0, 0.7, std::make_shared<UniformSpherePF>());
  sensor.finishTally(1.0, 0.0, murky);
  EXPECT_EQ(sensor.getDirectUnscatteredValue(), atOne);
}

TEST_F(RadianceSensorTest, PassWithoutPhotonsGivesZeroNotNaN) {
  RadianceSensor sensor({-1.0, 0.0, 0.0}, {0.0, 0.0, 5.0}, 0.01, 3.0 * kDeg, false, control);
  sensor.finishTally(2.0, 0.4, water);
  EXPECT_EQ(sensor.getDiffuseValue(), 0.0);
  sensor.initializeToNewMode(true);
  sensor.finishTally(2.0, 0.4, water);
  EXPECT_EQ(sensor.getDirectScatteredValue(), 0.0);
}

struct ForwardCase {
  const char* name;
  Vec3 from;
  Vec3 direction;
  double length;
  bool hit;
};

TEST_F(RadianceSensorTest, ForwardHitNeedsTheFaceTheFieldOfViewACrossingAndTheAperture) {
  // Sensor at the origin looking along +x with a 1-unit aperture and a 10-degree field.
  RadianceSensor sensor({1.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, 1.0, 10.0 * kDeg, false, control);
  const double c5 = std::cos(5 * kDeg), s5 = std::sin(5 * kDeg);
  const double c20 = std::cos(20 * kDeg), s20 = std::sin(20 * kDeg);
  for (const ForwardCase& k : {
           ForwardCase{"headOn", {2.0, 0.5, 0.0}, {-1.0, 0.0, 0.0}, 4.0, true},
           ForwardCase{"withinField", {2.0, 0.0, 0.0}, {-c5, s5, 0.0}, 4.0, true},
           ForwardCase{"outsideField", {2.0, 0.0, 0.0}, {-c20, s20, 0.0}, 4.0, false},
           ForwardCase{"fromBehind", {-2.0, 0.0, 0.0}, {1.0, 0.0, 0.0}, 4.0, false},
           ForwardCase{"stopsShort", {2.0, 0.0, 0.0}, {-1.0, 0.0, 0.0}, 1.0, false},
           ForwardCase{"outsideAperture", {2.0, 1.5, 0.0}, {-1.0, 0.0, 0.0}, 4.0, false},
       }) {
    Photon photon;
    photon.setNewPosition(k.from);
    photon.setDirection(k.direction);
    photon.updatePosition(k.length);
    EXPECT_EQ(sensor.isHit(photon), k.hit) << k.name;
    if (k.hit) {
      const Vec3 at = *sensor.getHitPosition(photon);
      EXPECT_NEAR(at[0], 0.0, 1e-12) << k.name;
    }
  }
  Photon photon;
  photon.updateWeight(0.3);
  sensor.tally(photon);
  EXPECT_TRUE(photon.isHitSensor);
  EXPECT_EQ(sensor.getWeight(), 0.3);
  EXPECT_EQ(sensor.getEvent(), 1.0);
}

}  // namespace
}  // namespace orvel
