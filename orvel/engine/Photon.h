#pragma once
// The photon packet of the visibility simulator.
//
// The driver traces photons backwards from a sensor: every direction stored here is the
// packet's direction of travel. Coordinates are x, y horizontal and z depth, positive
// downwards, with the sea surface at z = 0; lengths are in the engine unit (optical
// depths of the medium, see HomogeneousWater.h).
//
// A photon belongs to one thread: it is reused for every packet that thread traces, and
// `launch` resets what a packet needs. It also carries the counters of the scattering
// test (a check of the phase-function sampling), which the photons of several threads
// merge after a run (`getScatteringTest() +=`). A step and a scattering allocate
// nothing.

#include "orvel/engine/ScatteringTest.h"
#include "shared/BasicEquations.h"
#include "shared/Random.h"
#include "shared/Vec3.h"

class Source;

namespace orvel {

class HomogeneousWater;
class Sensor;
struct SensorTally;

class Photon {
 public:
  // Zero position and direction, weight 1.0, no scattering test.
  Photon() = default;

  // Backward launch from a sensor, in this order: position, then direction (the sensor
  // records the launch weight in `sums` when it hands out the direction, drawing from
  // `rng` where it spreads its directions), then weight; the scattering count restarts
  // at 0. The old position and `isHitSensor` are left as they are.
  void launch(const Sensor& sensor, SensorTally& sums, Random& rng);
  // The same, recording the launch in the sensor's own tally (single-threaded use).
  void launch(Sensor& sensor, Random& rng);

  // Launch from a source: its position and direction, weight 1.0 (the source's own
  // weight is not asked for), scattering count 0, `isHitSensor` false.
  void launch(const Source& source, Random& rng);

  // Free-path step: the current position becomes the old one and the photon moves
  // `pathLength` engine units along its direction.
  void updatePosition(double pathLength) {
    oldPosition_ = newPosition_;
    for (int i = 0; i < 3; ++i) newPosition_[i] = oldPosition_[i] + pathLength * direction_[i];
  }

  // weight <- weight x factor.
  void updateWeight(double factor) { weight_ *= factor; }

  // One volume-scattering event in `hw`: a scattering angle from its phase function, an
  // azimuth 2 pi R, the direction turned by both, the weight times w0, the count plus 1;
  // then the scattering test counts the deflection, and the trace line "volume
  // scattering" is written when the trace is on. Draws from `rng` only.
  void volumeScattering(const HomogeneousWater& hw, Random& rng);

  // Sets up the scattering test: with `isSPFTest` the cones of ScatteringTest(testAngle,
  // rng) with counts at 0; without it the photon counts nothing.
  void initializeScatteringTest(bool isSPFTest, double testAngle, Random& rng);
  ScatteringTest& getScatteringTest() { return scatteringTest_; }
  const ScatteringTest& getScatteringTest() const { return scatteringTest_; }

  // Console trace of the volume scatterings (the driver, surface and targets write the
  // other trace lines).
  void setPhotonDebug(bool isPhotonDebug) { isPhotonDebug_ = isPhotonDebug; }
  bool isPhotonDebug() const { return isPhotonDebug_; }

  // The photon's own arrays: a caller that changes an element changes the photon (the
  // sea surface flips the z component of the direction in place).
  Vec3& getDirection() { return direction_; }
  const Vec3& getDirection() const { return direction_; }
  Vec3& getNewPosition() { return newPosition_; }
  const Vec3& getNewPosition() const { return newPosition_; }
  Vec3& getOldPosition() { return oldPosition_; }
  const Vec3& getOldPosition() const { return oldPosition_; }

  double getWeight() const { return weight_; }
  int getMultipleScattering() const { return multipleScattering; }

  void setDirection(const Vec3& d) { direction_ = d; }
  void setDirection(double x, double y, double z) { direction_ = {x, y, z}; }
  void setNewPosition(const Vec3& p) { newPosition_ = p; }
  void setNewPosition(double x, double y, double z) { newPosition_ = {x, y, z}; }

  int multipleScattering = 0;  // volume scatterings since the last launch
  bool isHitSensor = false;    // set by the forward-mode sensor tallies; nothing reads it

 private:
  double weight_ = 1.0;
  Vec3 oldPosition_{0.0, 0.0, 0.0};  // position before the last free-path step
  Vec3 newPosition_{0.0, 0.0, 0.0};  // current position
  Vec3 direction_{0.0, 0.0, 0.0};    // unit direction of travel
  bool isPhotonDebug_ = false;
  ScatteringTest scatteringTest_;
};

// The unit vector at angle theta from the direction u, turned by the azimuth phi about
// it (radians): computeDirection(getAnglesFromDirectionVector(u), theta, phi), computed
// from the direction cosines (BasicEquations::rotateDirection).
inline Vec3 deflectDirection(const Vec3& u, double theta, double phi) {
  return BasicEquations::rotateDirection(u, theta, phi);
}

}  // namespace orvel
