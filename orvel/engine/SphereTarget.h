#pragma once
// A spherical target with a diffusely reflecting surface.
//
// A step is a hit when it ends inside the sphere or when the segment from its old to
// its new position passes through it; the hit point is the intersection of the line of
// travel with the sphere nearer to the old position. The photon leaves in a
// cosine-weighted direction about the outward normal at the hit point, so a reflected
// photon always leaves into the water outside the sphere.

#include <optional>

#include "orvel/engine/Target.h"
#include "shared/Vec3.h"

namespace orvel {

class SphereTarget final : public Target {
 public:
  // `radius` and `center` in engine length units.
  SphereTarget(double radius, double albedo, const Vec3& center);

  double getAlbedo() const override { return albedo_; }

  // Hit test of the step from the photon's old to its new position (see the class
  // comment); on a hit the reflection draws two uniform numbers from `rng`. `test` is
  // ignored: the Lambertian test belongs to the disk.
  std::optional<TargetHit> isHit(const Photon& photon, Random& rng,
                                 LambertianTest* test = nullptr) const override;

  // The intersection of the line through `origin` along `direction` with the sphere
  // that lies nearer to `origin`, or nothing when the line misses the sphere. Solved in
  // the line's own parameter, so any direction works, a horizontal one included.
  std::optional<Vec3> getNearerIntersection(const Vec3& origin, const Vec3& direction) const;

  const Vec3& getCenter() const { return center_; }
  double getRadius() const { return radius_; }

 private:
  double radius_;
  double albedo_;
  Vec3 center_;
};

}  // namespace orvel
