#include "orvel/engine/SphereTarget.h"

#include <cmath>

#include "orvel/engine/LambertianReflection.h"
#include "orvel/engine/Photon.h"
#include "shared/Random.h"

namespace orvel {

SphereTarget::SphereTarget(double radius, double albedo, const Vec3& center)
    : radius_(radius), albedo_(albedo), center_(center) {}

std::optional<Vec3> SphereTarget::getNearerIntersection(const Vec3& origin, const Vec3& direction) const {
  // |o + t u - C|^2 = r^2 with o - C = q:  A t^2 + 2 B t + K = 0,
  // A = u.u, B = u.q, K = q.q - r^2.
  const Vec3 q = minus(origin, center_);
  const double a = dot(direction, direction);
  if (!(a > 0.0)) return std::nullopt;
  const double b = dot(direction, q);
  const double k = dot(q, q) - radius_ * radius_;
  double discriminant = b * b - a * k;
  if (discriminant < 0.0) {
    // A line that touches the sphere can come out a rounding error short; anything
    // further off misses it.
    if (discriminant < -1e-12 * (b * b + std::abs(a * k))) return std::nullopt;
    discriminant = 0.0;
  }
  // Both roots without cancellation: t1 = -(B + sign(B) sqrt(D)) / A, t2 = K / (A t1).
  const double root = std::sqrt(discriminant);
  const double s = b >= 0.0 ? -(b + root) : -(b - root);
  const double t1 = s / a;
  const double t2 = s != 0.0 ? k / s : t1;
  // The root nearer to the origin; of two at the same distance, the shallower one.
  double t = std::abs(t1) < std::abs(t2) ? t1 : t2;
  if (std::abs(t1) == std::abs(t2)) {
    const double z1 = t1 * direction[2];
    const double z2 = t2 * direction[2];
    t = z1 < z2 || (z1 == z2 && t1 < t2) ? t1 : t2;
  }
  return Vec3{origin[0] + t * direction[0], origin[1] + t * direction[1], origin[2] + t * direction[2]};
}

std::optional<TargetHit> SphereTarget::isHit(const Photon& photon, Random& rng, LambertianTest*) const {
  const Vec3& oldPosition = photon.getOldPosition();
  const Vec3& newPosition = photon.getNewPosition();
  const double r2 = radius_ * radius_;
  const Vec3 newFromCenter = minus(newPosition, center_);
  if (dot(newFromCenter, newFromCenter) > r2) {
    // The step ends outside: it meets the sphere only if the point of the segment
    // nearest to the centre lies inside the segment (neither end angle obtuse) and
    // within the radius of the centre.
    const Vec3 step = minus(newPosition, oldPosition);
    const double length2 = dot(step, step);
    if (!(length2 > 0.0)) return std::nullopt;
    const Vec3 centerFromOld = minus(center_, oldPosition);
    const double s = dot(centerFromOld, step) / length2;  // nearest point at old + s step
    if (s < 0.0 || s > 1.0) return std::nullopt;
    const Vec3 offset{centerFromOld[0] - s * step[0], centerFromOld[1] - s * step[1],
                      centerFromOld[2] - s * step[2]};
    if (dot(offset, offset) > r2) return std::nullopt;
  }

  const std::optional<Vec3> hitPosition = getNearerIntersection(oldPosition, photon.getDirection());
  if (!hitPosition) return std::nullopt;

  Vec3 normal = minus(*hitPosition, center_);
  const double length = norm(normal);
  if (!(length > 0.0)) return std::nullopt;  // a sphere of radius 0
  for (double& n : normal) n /= length;

  const LambertianDraw draw = drawLambertianDirection(normal, rng);
  return TargetHit{*hitPosition, normal, draw.direction, albedo_, draw.theta};
}

}  // namespace orvel
