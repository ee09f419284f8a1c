#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "CosineLawCheck.h"
#include "orvel/engine/Photon.h"
#include "orvel/engine/SphereTarget.h"
#include "shared/Random.h"

namespace orvel {
namespace {

Photon photonStepping(const Vec3& from, const Vec3& to) {
  const Vec3 step{to[0] - from[0], to[1] - from[1], to[2] - from[2]};
  const double length = norm(step);
  Photon photon;
  photon.setNewPosition(from);
  photon.setDirection(step[0] / length, step[1] / length, step[2] / length);
  photon.updatePosition(length);
  return photon;
}

double distance(const Vec3& a, const Vec3& b) { return norm(Vec3{a[0] - b[0], a[1] - b[1], a[2] - b[2]}); }

// Sphere of radius 1 centred at 5 m depth.
class SphereTargetTest : public ::testing::Test {
 protected:
  const Vec3 center_{0.0, 0.0, 5.0};
  SphereTarget sphere_{1.0, 0.6, center_};
  Random rng_ = Random::stream(31, {4});
};

TEST_F(SphereTargetTest, HitTestFindsTheEntryPointNearerTheOldPosition) {
  struct Case {
    const char* name;
    Vec3 from, to;
    bool hit;
    Vec3 hitPosition;  // when hit
  };
  const double s = std::sqrt(0.75);
  const Case cases[] = {
      {"ends inside, coming down", {0.0, 0.0, 2.0}, {0.0, 0.0, 4.5}, true, {0.0, 0.0, 4.0}},
      {"ends inside, coming up", {0.0, 0.5, 8.0}, {0.0, 0.5, 5.0}, true, {0.0, 0.5, 5.0 + s}},
      {"passes through, oblique",
       {-3.0, 0.0, 2.0},
       {3.0, 0.0, 8.0},
       true,
       {-std::sqrt(0.5), 0.0, 5.0 - std::sqrt(0.5)}},
      {"horizontal, passes through", {-4.0, 0.5, 5.0}, {4.0, 0.5, 5.0}, true, {-s, 0.5, 5.0}},
      {"horizontal, ends inside", {0.0, 3.0, 5.5}, {0.0, 0.0, 5.5}, true, {0.0, s, 5.5}},
      {"horizontal, passes beside", {-4.0, 1.2, 5.0}, {4.0, 1.2, 5.0}, false, {}},
      {"passes above", {-4.0, 0.0, 3.9}, {4.0, 0.0, 3.9}, false, {}},
      {"stops short of the sphere", {-4.0, 0.0, 5.0}, {-1.5, 0.0, 5.0}, false, {}},
      {"moves away from the sphere", {1.5, 0.0, 5.0}, {4.0, 0.0, 5.0}, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Photon photon = photonStepping(c.from, c.to);
    const std::optional<TargetHit> hit = sphere_.isHit(photon, rng_);
    ASSERT_EQ(hit.has_value(), c.hit);
    if (!hit) continue;
    EXPECT_LT(distance(hit->hitPosition, c.hitPosition), 1e-12);
    EXPECT_NEAR(distance(hit->hitPosition, center_), 1.0, 1e-12);
    for (int i = 0; i < 3; ++i) {
      const auto k = static_cast<std::size_t>(i);
      EXPECT_NEAR(hit->normal[k], hit->hitPosition[k] - center_[k], 1e-12);  // radius 1: outward unit normal
    }
    EXPECT_EQ(hit->albedo, 0.6);
  }
}

// Wherever the depth-parametrised solution (divide by the z component of the direction,
// solve for the depth of the two crossings) is defined, the hit point is the same.
TEST_F(SphereTargetTest, IntersectionAgreesWithTheDepthParametrisedSolution) {
  const double r = 1.0;
  for (int i = 0; i < 2000; ++i) {
    const Vec3 origin{-3.0 + 6.0 * rng_.uniform(), -3.0 + 6.0 * rng_.uniform(), 1.0 + 8.0 * rng_.uniform()};
    const double muz = -1.0 + 2.0 * rng_.uniform();
    if (std::abs(muz) < 1e-3) continue;
    const double phi = 6.283185307179586 * rng_.uniform();
    const double st = std::sqrt(1.0 - muz * muz);
    const Vec3 u{st * std::cos(phi), st * std::sin(phi), muz};
    const std::optional<Vec3> hit = sphere_.getNearerIntersection(origin, u);

    const double a = u[0], b = u[1], c = u[2];
    const double x1 = origin[0] - center_[0], y1 = origin[1] - center_[1], z1 = origin[2] - center_[2];
    const double A = (a / c) * (a / c) + (b / c) * (b / c) + 1.0;
    const double B = 2.0 * (a / c) * (x1 - (a / c) * z1) + 2.0 * (b / c) * (y1 - (b / c) * z1);
    const double C = std::pow(x1 - (a / c) * z1, 2) + std::pow(y1 - (b / c) * z1, 2) - r * r;
    const double disc = B * B - 4.0 * A * C;
    if (disc < 1e-9) {
      if (disc < -1e-9) {
        EXPECT_FALSE(hit.has_value());
      }
      continue;
    }
    ASSERT_TRUE(hit.has_value());
    Vec3 best{};
    double bestD2 = INFINITY;
    for (const double sign : {-1.0, 1.0}) {
      const double z = (-B + sign * std::sqrt(disc)) / (2.0 * A);
      const Vec3 p{x1 + (a / c) * (z - z1) + center_[0], y1 + (b / c) * (z - z1) + center_[1],
                   z + center_[2]};
      const double d2 = std::pow(distance(p, origin), 2);
      if (d2 < bestD2) {
        bestD2 = d2;
        best = p;
      }
    }
    EXPECT_LT(distance(*hit, best), 1e-9);
  }
}

// The reflection is Lambertian about the outward normal at the hit point, even for a
// grazing hit, so the photon never leaves into the sphere and is not caught by it again
// on its next step.
TEST_F(SphereTargetTest, ReflectionFollowsTheCosineLawAboutTheOutwardNormal) {
  const Photon grazing = photonStepping({-3.0, 0.9, 5.0}, {3.0, 0.9, 5.0});
  std::vector<Vec3> directions;
  Vec3 normal{};
  for (int i = 0; i < 100000; ++i) {
    const std::optional<TargetHit> hit = sphere_.isHit(grazing, rng_);
    ASSERT_TRUE(hit.has_value());
    normal = hit->normal;
    directions.push_back(hit->reflectedDirection);
    if (i < 2000) {
      Photon after = grazing;
      after.setNewPosition(hit->hitPosition);
      after.setDirection(hit->reflectedDirection);
      after.updatePosition(0.01 + 2.0 * rng_.uniform());
      EXPECT_FALSE(sphere_.isHit(after, rng_).has_value());
    }
  }
  EXPECT_NEAR(normal[1], 0.9, 1e-12);
  testing::expectCosineLaw(directions, normal);
}

}  // namespace
}  // namespace orvel
