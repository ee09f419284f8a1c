#pragma once
// An LED of the instrument: a flat disk in the face plane z = 0, centred at
// (-center, 0, 0), emitting into a cone about an axis tilted from +z towards +x by
// `tilt` radians.
//
// Angular distribution about the axis: Gaussian (type 0, relative intensity
// exp(-ln 2 theta^2 / halfFOV^2), sampled through a 20-point cumulative table) or uniform
// in solid angle within the half angle `halfFOV` (type 1). A half angle of 0 means a
// collimated beam along the axis for both types. The source is read-only once built, so
// every thread may launch from it.

#include <array>

#include "orvel/engine/Source.h"
#include "shared/Random.h"

namespace pallix {

class PallixLEDSource final : public Source {
 public:
  static constexpr int kGaussian = 0;
  static constexpr int kUniform = 1;
  static constexpr int kTableSize = 20;

  // Lengths in the run's unit, angles in radians; the slant angle comes before the half
  // angle. The Gaussian table is built here. Throws std::invalid_argument for an unknown
  // type or a negative half angle.
  PallixLEDSource(double center, double radius, double tilt, double halfFOV, int sourceType);

  // Launch position (uniform over the disk) then unit direction. Draws, in this order:
  // radius, azimuth on the disk, azimuth about the axis, polar angle from the axis.
  std::array<double, 6> getInitialPhotonPositionDirection(Random& rng) const override;

  double getInitialPhotonWeight() const override { return 1.0; }

  // The polar angle from the LED axis for the uniform number `xi` [rad].
  double getPolarAngle(double xi) const;

  double getCenter() const { return center_; }
  double getRadius() const { return radius_; }
  double getTilt() const { return tilt_; }
  double getHalfFOV() const { return halfFOV_; }
  int getSourceType() const { return sourceType_; }

  // The Gaussian table (type 0 with a half angle above 0): `getTableSize()` points of
  // polar angle [rad], relative intensity and normalised cumulative distribution.
  int getTableSize() const { return tableSize_; }
  const std::array<double, kTableSize>& getAngles() const { return angles_; }
  const std::array<double, kTableSize>& getGaussian() const { return gaussian_; }
  const std::array<double, kTableSize>& getCumulativeGaussian() const { return cumulativeGaussian_; }

 private:
  void buildGaussianTable();

  double center_;
  double radius_;
  double tilt_;
  double halfFOV_;
  int sourceType_;
  bool collimated_;
  double oneMinusCosHalfFOV_;  // uniform type: 1 - cos(halfFOV)
  int tableSize_ = 0;
  std::array<double, kTableSize> angles_{};
  std::array<double, kTableSize> gaussian_{};
  std::array<double, kTableSize> cumulativeGaussian_{};
  std::array<double, kTableSize> cumulativeGaussianSpline_{};
};

}  // namespace pallix
