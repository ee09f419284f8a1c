#pragma once
// A detector of the instrument: a flat disk in the face plane z = 0, centred at
// (+center, 0, 0), whose viewing axis is tilted from +z towards -x by `tilt` radians.
//
// Angular response: Gaussian (type 0, half width at half maximum `halfFOV`) or uniform
// (type 1, acceptance half angle `halfFOV`, strict). A detector tallies the weights of
// the photons it receives; with several threads each thread tallies into its own copy
// and the copies are merged in a fixed order.

#include <cstdint>

#include "pallix/engine/Photon.h"

namespace pallix {

class PallixSensor {
 public:
  static constexpr int kGaussian = 0;
  static constexpr int kUniform = 1;

  // Lengths in the run's unit, angles in radians; the slant angle comes before the half
  // angle. Throws std::invalid_argument for a Gaussian detector with a half angle of 0
  // or less (its response would divide by zero) and for an unknown type.
  PallixSensor(double center, double radius, double tilt, double halfFOV, int detectorType);

  // Whether the photon's last step ends on the detector disk: the photon is at or below
  // the face (z <= 0) and its path, traced back along its direction, crosses the face
  // plane within the disk. Uses only the new position and the direction.
  bool isHit(const Photon& photon) const {
    const Vec3& p = photon.getNewPosition();
    if (p[2] > 0.0) return false;
    const Vec3& d = photon.getDirection();
    double x0 = p[0];
    double y0 = p[1];
    if (p[2] < 0.0) {
      // A step parallel to the face below it never reaches the face.
      if (d[2] == 0.0) return false;
      const double t = -p[2] / d[2];
      x0 += d[0] * t;
      y0 += d[1] * t;
    }
    const double dx = x0 - center_;
    return dx * dx + y0 * y0 <= radiusSquared_;
  }

  // Weighs the photon by the angular response, counts it, adds its weight, and ends it
  // (weight 0). A uniform detector counts only photons strictly inside its half angle.
  void tally(Photon& photon);

  // The angle between the reverse of `direction` and the viewing axis [rad].
  double getIncidentAngle(const Vec3& direction) const;

  double getWeight() const { return weight_; }
  void setWeight(double weight) { weight_ = weight; }
  // The number of tallied photons.
  double getEvent() const { return static_cast<double>(event_); }
  std::int64_t getEventCount() const { return event_; }

  // Adds another detector's tally (a thread's copy) to this one.
  void merge(const PallixSensor& other) {
    weight_ += other.weight_;
    event_ += other.event_;
  }
  // The same detector with an empty tally.
  PallixSensor emptyCopy() const {
    PallixSensor copy = *this;
    copy.weight_ = 0.0;
    copy.event_ = 0;
    return copy;
  }

  double getCenter() const { return center_; }
  double getRadius() const { return radius_; }
  double getTilt() const { return tilt_; }
  double getHalfFOV() const { return halfFOV_; }
  int getDetectorType() const { return detectorType_; }

 private:
  double center_;
  double radius_;
  double tilt_;
  double halfFOV_;
  int detectorType_;
  double radiusSquared_;
  double sinTilt_;
  double cosTilt_;
  double gaussianExponent_;  // ln 2 / halfFOV^2 [1/rad^2], Gaussian type only
  double weight_ = 0.0;
  std::int64_t event_ = 0;
};

}  // namespace pallix
