#pragma once
// The scattering test: a check of the phase-function sampling.
//
// The sphere of scattering directions (expressed about the +z axis: polar angle = the
// scattering angle, azimuth = the scattering azimuth) carries nTest circular spots of
// half-angle testAngle/2. Spot i is centred on the axis at polar angle i x testAngle
// (degrees) and at an azimuth drawn once when the test is set up. Every volume
// scattering adds 1 to each spot that contains its direction, so the count of spot i is
// proportional to the phase function at angle[i] times the spot's solid angle.
// Adjacent spots are at least testAngle apart, so a direction falls in at most one spot
// (except on a touching point).
//
// Several photons traced on different threads each hold a copy of one set-up; after a
// run their counts are merged with operator+=, which requires identical cones.

#include <cstdint>
#include <vector>

#include "shared/Vec3.h"

class Random;

namespace orvel {

class ScatteringTest {
 public:
  // No cones: counts nothing.
  ScatteringTest() = default;

  // nTest = 1 + floor(180 / testAngle) cones; cone i has its axis at polar angle
  // i x testAngle degrees and at an azimuth of 360 x R degrees, R drawn from `rng`
  // once per cone in cone order. Counts start at 0.
  // Throws std::invalid_argument unless 0 < testAngle <= 180 (a zero angle would ask
  // for infinitely many cones).
  ScatteringTest(double testAngle, Random& rng);

  bool isEnabled() const { return !angle.empty(); }
  std::size_t size() const { return angle.size(); }
  double getTestAngle() const { return testAngle_; }

  // Counts one scattering of polar angle theta and azimuth phi (radians) about +z in
  // every cone that contains it. Returns the number of cones it was counted in; when
  // that exceeds 1 the console message "Multiple" is written.
  int count(double theta, double phi);

  // Adds the counts of `other`, which must have the same cones (throws
  // std::invalid_argument otherwise). A test without cones adds nothing; adding to a
  // test without cones copies `other`.
  ScatteringTest& operator+=(const ScatteringTest& other);

  std::vector<double> angle;                   // polar angle of each cone axis [degree]
  std::vector<std::int64_t> scatteredPhotons;  // scatterings counted per cone
  std::vector<Vec3> testDirection;             // unit axis of each cone

 private:
  double testAngle_ = 0.0;     // cone spacing and full angle [degree]
  double cosHalfAngle_ = 1.0;  // cos(testAngle / 2)
};

}  // namespace orvel
