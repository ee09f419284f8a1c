#pragma once
// A flat circular target: both faces reflect diffusely.
//
// The driver builds the target disk (and optionally a reference disk of another
// albedo) facing the sensors, with its normal along minus the viewing direction. A step
// is a hit when it crosses the disk's plane within its radius; the photon then leaves
// in a cosine-weighted direction about the normal of the face it met.

#include <optional>

#include "orvel/engine/LambertianTest.h"
#include "orvel/engine/Target.h"
#include "shared/Vec3.h"

namespace orvel {

struct Control;

class DiskTarget final : public Target {
 public:
  // An empty placeholder: zero vectors and radius, never hit, no test.
  DiskTarget() = default;

  // `radius` and `center` in engine length units, `direction` the unit normal (the
  // driver passes minus the viewing direction, so it points towards the sensors).
  // Photon-count mode, no Lambertian test.
  DiskTarget(double radius, double albedo, const Vec3& direction, const Vec3& center);

  // The same with the test settings of `control`: with `isLambertianTest` the disk sets
  // up the Lambertian-test spots (azimuths drawn from `rng`); `isLambertianPhotons`
  // chooses photon-count mode (albedo factor = albedo) or weight mode (albedo factor =
  // albedo x theta of the reflection), whether or not the test is on.
  DiskTarget(double radius, double albedo, const Vec3& direction, const Vec3& center, const Control& control,
             Random& rng);

  double getAlbedo() const override { return albedo_; }

  // Hit test of the step from the photon's old to its new position:
  //  1. s_old, s_new = signed distances of both ends from the disk plane;
  //  2. no hit when both lie on the same side (s_old x s_new > 0),
  //  3. nor when |s_old x s_new| < 1e-7, which also rejects a step that starts on the
  //     plane, such as the first step after a reflection from this disk;
  //  4. the crossing of the plane by the ray from the old position along the photon's
  //     direction must lie within `radius` of the centre.
  // Then the reflection: a cosine-weighted direction about the normal of the face met
  // (`direction` when the photon travels against it, otherwise minus `direction`).
  std::optional<TargetHit> isHit(const Photon& photon, Random& rng,
                                 LambertianTest* test = nullptr) const override;

  // The disk's Lambertian test with zero counts (no spots unless the test is on): each
  // thread counts in its own copy and the copies are merged after the run.
  const LambertianTest& getLambertianTest() const { return lambertianTest_; }

  const Vec3& getDirection() const { return direction_; }
  const Vec3& getCenter() const { return center_; }
  double getRadius() const { return radius_; }
  bool isLambertianPhotons() const { return isLambertianPhotons_; }

 private:
  Vec3 direction_{0.0, 0.0, 0.0};  // unit normal, towards the sensors
  Vec3 center_{0.0, 0.0, 0.0};     // [engine length]
  double radius_ = 0.0;            // [engine length]
  double albedo_ = 0.0;
  bool isLambertianPhotons_ = true;
  LambertianTest lambertianTest_;
};

}  // namespace orvel
