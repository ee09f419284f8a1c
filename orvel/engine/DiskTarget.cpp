#include "orvel/engine/DiskTarget.h"

#include <cmath>

#include "orvel/engine/Control.h"
#include "orvel/engine/LambertianReflection.h"
#include "orvel/engine/Photon.h"
#include "shared/Random.h"

namespace orvel {

namespace {

// Both ends of a step closer to the plane than this product (engine length squared)
// do not count as a crossing.
constexpr double kCrossingProductThreshold = 1e-7;

}  // namespace

DiskTarget::DiskTarget(double radius, double albedo, const Vec3& direction, const Vec3& center)
    : direction_(direction), center_(center), radius_(radius), albedo_(albedo) {}

DiskTarget::DiskTarget(double radius, double albedo, const Vec3& direction, const Vec3& center,
                       const Control& control, Random& rng)
    : DiskTarget(radius, albedo, direction, center) {
  isLambertianPhotons_ = control.isLambertianPhotons;
  if (control.isLambertianTest) {
    lambertianTest_ = LambertianTest(direction, control.testAngle, control.isLambertianPhotons, rng);
  }
}

std::optional<TargetHit> DiskTarget::isHit(const Photon& photon, Random& rng, LambertianTest* test) const {
  const Vec3& oldPosition = photon.getOldPosition();
  const double sOld = dot(direction_, minus(oldPosition, center_));
  const double sNew = dot(direction_, minus(photon.getNewPosition(), center_));
  const double product = sOld * sNew;
  if (product > 0.0) return std::nullopt;
  if (std::abs(product) < kCrossingProductThreshold) return std::nullopt;

  // Crossing of the plane by the ray from the old position along the direction of
  // travel: X = P + t u with t = n.(C - P) / n.u. The sign change of s above keeps n.u
  // away from 0.
  const Vec3& u = photon.getDirection();
  const double cosIncidence = dot(direction_, u);
  const double t = -sOld / cosIncidence;
  const Vec3 hitPosition{oldPosition[0] + t * u[0], oldPosition[1] + t * u[1], oldPosition[2] + t * u[2]};
  const Vec3 fromCenter = minus(hitPosition, center_);
  if (dot(fromCenter, fromCenter) > radius_ * radius_) return std::nullopt;

  // The face met is the one whose outward normal points against the direction of
  // travel; a grazing photon (n.u = 0, unreachable after the crossing test) counts as
  // meeting the back face.
  const Vec3 faceNormal =
      cosIncidence < 0.0 ? direction_ : Vec3{-direction_[0], -direction_[1], -direction_[2]};
  const LambertianDraw draw = drawLambertianDirection(faceNormal, rng);
  if (test != nullptr && test->isEnabled()) test->count(draw.direction, draw.theta, photon.getWeight());

  const double albedo = isLambertianPhotons_ ? albedo_ : albedo_ * draw.theta;
  return TargetHit{hitPosition, faceNormal, draw.direction, albedo, draw.theta};
}

}  // namespace orvel
