#include "pallix/engine/PallixSensor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace pallix {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

Photon photonAt(const Vec3& position, const Vec3& direction, double weight = 1.0) {
  Photon p;
  p.setNewPosition(position);
  p.setDirection(direction);
  p.setWeight(weight);
  return p;
}

// The direction of a photon arriving at the detector at `angle` from its viewing axis
// (in the x-z plane), for a detector tilted by `tilt`.
Vec3 arrivingAt(double tilt, double angle) {
  // Viewing axis (-sin tilt, 0, cos tilt); the photon travels against it, turned by angle.
  const double a = tilt + angle;
  return {std::sin(a), 0.0, -std::cos(a)};
}

TEST(PallixSensorTest, HitTestTracesBackToTheFacePlane) {
  const PallixSensor sensor(2.0, 0.5, 0.3, 0.1, PallixSensor::kUniform);
  const double s = std::sqrt(0.5);
  struct Case {
    const char* name;
    Vec3 position, direction;
    bool hit;
  };
  const Case cases[] = {
      {"on the face plane inside the disk", {2.3, 0.2, 0.0}, {0.0, 0.0, -1.0}, true},
      {"on the face plane at the rim", {2.5, 0.0, 0.0}, {0.0, 0.0, -1.0}, true},
      {"on the face plane outside the disk", {2.0, 0.6, 0.0}, {0.0, 0.0, -1.0}, false},
      {"in front of the face, pointing at the disk", {2.0, 0.0, 1e-9}, {0.0, 0.0, -1.0}, false},
      {"behind the face, crossed it inside the disk", {1.0, 0.0, -1.0}, {-s, 0.0, -s}, true},
      {"behind the face, crossed it outside the disk", {2.0, 0.0, -1.0}, {-s, 0.0, -s}, false},
      {"behind the face, moving parallel to it", {2.0, 0.0, -1e-3}, {1.0, 0.0, 0.0}, false},
      {"on the face plane, moving parallel to it", {2.0, 0.1, 0.0}, {1.0, 0.0, 0.0}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sensor.isHit(photonAt(c.position, c.direction)), c.hit) << c.name;
  }
}

TEST(PallixSensorTest, UniformDetectorCountsOnlyStrictlyInsideItsHalfAngle) {
  const double tilt = 19.0 * kDeg;
  const Vec3 onTheEdge = arrivingAt(tilt, 4.6 * kDeg);
  // The half angle is set to exactly the angle the detector computes for that photon.
  const double halfFOV = PallixSensor(2.4, 1.0, tilt, 1.0, PallixSensor::kUniform).getIncidentAngle(onTheEdge);
  PallixSensor sensor(2.4, 1.0, tilt, halfFOV, PallixSensor::kUniform);

  Photon alongAxis = photonAt({2.4, 0.0, 0.0}, arrivingAt(tilt, 0.0), 0.25);
  sensor.tally(alongAxis);
  EXPECT_EQ(sensor.getEvent(), 1.0);
  EXPECT_DOUBLE_EQ(sensor.getWeight(), 0.25);
  EXPECT_EQ(alongAxis.getWeight(), 0.0);  // a tallied photon ends

  Photon atEdge = photonAt({2.4, 0.0, 0.0}, onTheEdge, 0.5);
  sensor.tally(atEdge);
  EXPECT_EQ(sensor.getEvent(), 1.0);
  EXPECT_DOUBLE_EQ(sensor.getWeight(), 0.25);
  EXPECT_EQ(atEdge.getWeight(), 0.0);  // not counted, but ended all the same
}

TEST(PallixSensorTest, GaussianDetectorHalvesTheWeightAtItsHalfAngleAndCountsEveryHit) {
  const double tilt = 9.0 * kDeg, halfFOV = 4.6 * kDeg;
  PallixSensor sensor(2.5, 1.0, tilt, halfFOV, PallixSensor::kGaussian);
  Photon atHalf = photonAt({2.5, 0.0, 0.0}, arrivingAt(tilt, halfFOV), 0.8);
  sensor.tally(atHalf);
  EXPECT_NEAR(sensor.getWeight(), 0.4, 1e-12);
  Photon farOut = photonAt({2.5, 0.0, 0.0}, arrivingAt(tilt, 60.0 * kDeg), 1.0);
  sensor.tally(farOut);
  EXPECT_EQ(sensor.getEvent(), 2.0);
  EXPECT_NEAR(sensor.getWeight(), 0.4 + std::exp(-std::numbers::ln2 * (60.0 / 4.6) * (60.0 / 4.6)), 1e-12);
}

TEST(PallixSensorTest, RoundingBeyondUnitCosineGivesAnAngleOfZeroNotNaN) {
  PallixSensor sensor(2.5, 1.0, 0.0, 0.1, PallixSensor::kGaussian);
  Photon p = photonAt({2.5, 0.0, 0.0}, {0.0, 0.0, -(1.0 + 1e-12)});
  EXPECT_EQ(sensor.getIncidentAngle(p.getDirection()), 0.0);
  sensor.tally(p);
  EXPECT_FALSE(std::isnan(sensor.getWeight()));
  EXPECT_NEAR(sensor.getWeight(), 1.0, 1e-11);
}

TEST(PallixSensorTest, GaussianDetectorWithZeroHalfAngleIsRefused) {
  EXPECT_THROW(PallixSensor(2.5, 1.0, 0.2, 0.0, PallixSensor::kGaussian), std::invalid_argument);
  EXPECT_THROW(PallixSensor(2.5, 1.0, 0.2, 0.1, 2), std::invalid_argument);
  // A uniform detector with a zero half angle is legal; it accepts nothing.
  PallixSensor uniform(2.5, 1.0, 0.2, 0.0, PallixSensor::kUniform);
  Photon p = photonAt({2.5, 0.0, 0.0}, arrivingAt(0.2, 0.0));
  uniform.tally(p);
  EXPECT_EQ(uniform.getEvent(), 0.0);
}

TEST(PallixSensorTest, ThreadCopiesMergeIntoOneTally) {
  const PallixSensor prototype(2.5, 1.0, 0.0, 1.0, PallixSensor::kUniform);
  PallixSensor total = prototype.emptyCopy();
  for (double w : {0.5, 0.25}) {
    PallixSensor part = prototype.emptyCopy();
    Photon p = photonAt({2.5, 0.0, 0.0}, {0.0, 0.0, -1.0}, w);
    part.tally(p);
    total.merge(part);
  }
  EXPECT_EQ(total.getEvent(), 2.0);
  EXPECT_DOUBLE_EQ(total.getWeight(), 0.75);
  total.setWeight(0.0);
  EXPECT_EQ(total.getEvent(), 2.0);  // resetting the weight keeps the count
}

}  // namespace
}  // namespace pallix
