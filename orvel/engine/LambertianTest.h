#pragma once
// The Lambertian test: a check of the disk target's reflection sampling.
//
// The front hemisphere of a disk (about its normal) carries nTest circular spots of
// half-angle testAngle/2. Spot i is centred on the axis at i x testAngle degrees from
// the normal and at an azimuth drawn once when the test is set up; nTest = 1 + the
// integer part of (90 - testAngle/2) / testAngle, so the last spot still lies in the
// front hemisphere. A reflection is counted in the first spot that contains its
// direction: one photon in photon-count mode, or the photon's weight times the polar
// angle of the reflection in weight mode. For a Lambertian reflector the count of spot
// i is proportional to cos(angle[i]) times the spot's solid angle. Reflections into the
// back hemisphere are never counted.
//
// The disk keeps one set-up with zero counts; each thread counts in its own copy
// (`DiskTarget::getLambertianTest()`), and the copies are merged after the run with
// operator+=, which requires identical spots.

#include <cstdint>
#include <vector>

#include "shared/Vec3.h"

class Random;

namespace orvel {

class LambertianTest {
 public:
  // No spots: counts nothing.
  LambertianTest() = default;

  // Spots about the unit disk normal `normal`: axis i at angle[i] = i x testAngle
  // degrees from it, turned by an azimuth 2 pi R drawn from `rng` once per spot in spot
  // order. Counts start at 0. Throws std::invalid_argument unless 0 < testAngle <= 180.
  LambertianTest(const Vec3& normal, double testAngle, bool isLambertianPhotons, Random& rng);

  bool isEnabled() const { return !angle.empty(); }
  std::size_t size() const { return angle.size(); }
  double getTestAngle() const { return testAngle_; }
  bool isPhotonCount() const { return isLambertianPhotons_; }

  // Counts one reflection leaving in the unit direction `reflected`, drawn at polar
  // angle `theta` [rad] from the face's normal, by a photon of weight `photonWeight`
  // (before the reflection's albedo factor), in the first spot that contains it.
  // Returns the index of that spot, or -1 when no spot contains it.
  int count(const Vec3& reflected, double theta, double photonWeight);

  // Adds the counts of `other`, which must have the same spots (throws
  // std::invalid_argument otherwise). A test without spots adds nothing; adding to a
  // test without spots copies `other`.
  LambertianTest& operator+=(const LambertianTest& other);

  std::vector<double> angle;                   // polar angle of each spot axis from the normal [degree]
  std::vector<std::int64_t> reflectedPhotons;  // reflections counted per spot (photon-count mode)
  std::vector<double> reflectedWeights;        // weight x theta summed per spot (weight mode)
  std::vector<Vec3> testDirection;             // unit axis of each spot

 private:
  double testAngle_ = 0.0;     // spot spacing and full angle [degree]
  double cosHalfAngle_ = 1.0;  // cos(testAngle / 2)
  bool isLambertianPhotons_ = true;
};

}  // namespace orvel
