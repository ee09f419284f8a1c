#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "CosineLawCheck.h"
#include "orvel/engine/Control.h"
#include "orvel/engine/DiskTarget.h"
#include "orvel/engine/Photon.h"
#include "shared/Random.h"

namespace orvel {
namespace {

constexpr double kPi = 3.141592653589793;

// A photon whose last step ran from `from` to `to` (direction of travel along the step).
Photon photonStepping(const Vec3& from, const Vec3& to) {
  const Vec3 step{to[0] - from[0], to[1] - from[1], to[2] - from[2]};
  const double length = norm(step);
  Photon photon;
  photon.setNewPosition(from);
  photon.setDirection(step[0] / length, step[1] / length, step[2] / length);
  photon.updatePosition(length);
  return photon;
}

// The driver's disk: viewed horizontally along -x, so its normal is +x, centre at 5 m
// depth on the z axis, radius 1.
class DiskTargetTest : public ::testing::Test {
 protected:
  const Vec3 normal_{1.0, 0.0, 0.0};
  const Vec3 center_{0.0, 0.0, 5.0};
  DiskTarget disk_{1.0, 0.8, normal_, center_};
  Random rng_ = Random::stream(20240611, {1});
};

TEST_F(DiskTargetTest, HitTestFollowsThePlaneCrossingAndTheRadius) {
  struct Case {
    const char* name;
    Vec3 from, to;
    bool hit;
    Vec3 hitPosition;  // when hit
    Vec3 faceNormal;   // when hit
  };
  const Case cases[] = {
      {"front face within radius", {2.0, 0.5, 5.0}, {-1.0, 0.5, 5.0}, true, {0.0, 0.5, 5.0}, {1, 0, 0}},
      {"back face within radius", {-2.0, 0.0, 5.3}, {1.0, 0.0, 5.3}, true, {0.0, 0.0, 5.3}, {-1, 0, 0}},
      {"oblique crossing", {1.0, -0.5, 4.0}, {-1.0, 0.5, 6.0}, true, {0.0, 0.0, 5.0}, {1, 0, 0}},
      {"crossing outside the radius", {2.0, 1.5, 5.0}, {-1.0, 1.5, 5.0}, false, {}, {}},
      {"just outside the rim", {2.0, 0.0, 6.0001}, {-1.0, 0.0, 6.0001}, false, {}, {}},
      {"both ends in front", {3.0, 0.0, 5.0}, {1.0, 0.0, 5.0}, false, {}, {}},
      {"both ends behind", {-0.5, 0.0, 5.0}, {-3.0, 0.0, 5.0}, false, {}, {}},
      {"starts on the plane, leaving front", {0.0, 0.2, 5.0}, {2.0, 0.2, 5.0}, false, {}, {}},
      {"starts on the plane, crossing to the back", {0.0, 0.2, 5.0}, {-2.0, 0.2, 4.0}, false, {}, {}},
      {"ends +-1e-4 from the plane: product -1e-8", {1e-4, 0.0, 5.0}, {-1e-4, 0.0, 5.0}, false, {}, {}},
      {"ends +-1e-3 from the plane: product -1e-6",
       {1e-3, 0.0, 5.0},
       {-1e-3, 0.0, 5.0},
       true,
       {0.0, 0.0, 5.0},
       {1, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Photon photon = photonStepping(c.from, c.to);
    const std::optional<TargetHit> hit = disk_.isHit(photon, rng_);
    ASSERT_EQ(hit.has_value(), c.hit);
    if (!hit) continue;
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(hit->hitPosition[static_cast<std::size_t>(i)], c.hitPosition[static_cast<std::size_t>(i)],
                  1e-12);
      EXPECT_EQ(hit->normal[static_cast<std::size_t>(i)], c.faceNormal[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(hit->albedo, 0.8);
    EXPECT_NEAR(dot(hit->reflectedDirection, hit->reflectedDirection), 1.0, 1e-12);
    EXPECT_NEAR(dot(hit->reflectedDirection, hit->normal), std::cos(hit->reflectionAngle), 1e-12);
  }
}

// Reflections leave on the side of the face met, distributed by the cosine law about its
// normal, for either face of an obliquely tilted disk.
TEST(DiskTargetReflectionTest, EachFaceReflectsByTheCosineLawIntoItsOwnHemisphere) {
  const Vec3 normal{0.48, -0.6, 0.64};  // unit, tilted
  const Vec3 center{0.3, -0.2, 7.0};
  const DiskTarget disk(2.0, 1.0, normal, center);
  Random rng = Random::stream(7, {2});
  for (const double side : {1.0, -1.0}) {
    SCOPED_TRACE(side > 0 ? "front face" : "back face");
    const Vec3 faceNormal{side * normal[0], side * normal[1], side * normal[2]};
    const Vec3 from{center[0] + 0.5 * faceNormal[0], center[1] + 0.5 * faceNormal[1],
                    center[2] + 0.5 * faceNormal[2]};
    const Vec3 to{center[0] - 0.5 * faceNormal[0] + 0.1, center[1] - 0.5 * faceNormal[1],
                  center[2] - 0.5 * faceNormal[2]};
    const Photon photon = photonStepping(from, to);
    std::vector<Vec3> directions;
    for (int i = 0; i < 100000; ++i) {
      const std::optional<TargetHit> hit = disk.isHit(photon, rng);
      ASSERT_TRUE(hit.has_value());
      ASSERT_EQ(hit->normal, faceNormal);
      directions.push_back(hit->reflectedDirection);
    }
    testing::expectCosineLaw(directions, faceNormal);
  }
}

// A photon just reflected at the disk starts its next step on the disk plane: the disk
// never catches it again straight away, whichever way it goes.
TEST_F(DiskTargetTest, ReflectedPhotonIsNotCaughtAgainByItsOwnDisk) {
  const Photon incoming = photonStepping({2.0, 0.3, 5.2}, {-1.0, 0.3, 5.2});
  for (int i = 0; i < 2000; ++i) {
    const std::optional<TargetHit> hit = disk_.isHit(incoming, rng_);
    ASSERT_TRUE(hit.has_value());
    Photon photon = incoming;
    photon.setNewPosition(hit->hitPosition);
    photon.setDirection(hit->reflectedDirection);
    photon.updatePosition(0.01 + 3.0 * rng_.uniform());
    EXPECT_FALSE(disk_.isHit(photon, rng_).has_value());
  }
}

// In weight mode the reflection's albedo factor is albedo x theta (theta in radians),
// which vanishes for a reflection along the normal; photon-count mode keeps the albedo.
TEST_F(DiskTargetTest, WeightModeScalesTheAlbedoByTheReflectionAngle) {
  Control control;
  control.isLambertianPhotons = false;
  const DiskTarget weighted(1.0, 0.8, normal_, center_, control, rng_);
  EXPECT_EQ(weighted.getAlbedo(), 0.8);
  const Photon photon = photonStepping({2.0, 0.0, 5.0}, {-1.0, 0.0, 5.0});
  for (int i = 0; i < 100; ++i) {
    const std::optional<TargetHit> hit = weighted.isHit(photon, rng_);
    ASSERT_TRUE(hit.has_value());
    EXPECT_GE(hit->reflectionAngle, 0.0);
    EXPECT_LE(hit->reflectionAngle, kPi / 2);
    EXPECT_DOUBLE_EQ(hit->albedo, 0.8 * hit->reflectionAngle);
  }
}

TEST(LambertianTestTest, ConeCountFollowsTheTestAngle) {
  struct Case {
    double testAngle;
    std::size_t nTest;
    double lastAxis;
  };
  const Case cases[] = {{1, 90, 89}, {2, 45, 88}, {3, 30, 87}, {5, 18, 85},
                        {6, 15, 84}, {10, 9, 80}, {15, 6, 75}};
  const Vec3 normal{0.0, 0.6, -0.8};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.testAngle);
    Random rng(3);
    const LambertianTest test(normal, c.testAngle, true, rng);
    ASSERT_EQ(test.size(), c.nTest);
    EXPECT_DOUBLE_EQ(test.angle.back(), c.lastAxis);
    for (std::size_t i = 0; i < test.size(); ++i) {
      EXPECT_NEAR(std::acos(std::clamp(dot(test.testDirection[i], normal), -1.0, 1.0)) * 180.0 / kPi,
                  test.angle[i], 1e-6);
    }
  }
  Random rng(3);
  EXPECT_THROW(LambertianTest(normal, 0.0, true, rng), std::invalid_argument);
  EXPECT_THROW(LambertianTest(normal, -3.0, true, rng), std::invalid_argument);
}

// With the test on, each thread counts in its own copy of the disk's test; merged, the
// counts are those of the cosine law: the spot about the normal (half-angle h) receives
// the fraction sin^2 h of the reflections, and back-face reflections are never counted.
TEST_F(DiskTargetTest, LambertianTestCountsPerThreadCopiesAndMerges) {
  Control control;
  control.isLambertianTest = true;
  control.testAngle = 10.0;
  const DiskTarget disk(1.0, 0.8, normal_, center_, control, rng_);
  ASSERT_EQ(disk.getLambertianTest().size(), 9u);

  const Photon front = photonStepping({2.0, 0.0, 5.0}, {-1.0, 0.0, 5.0});
  const Photon back = photonStepping({-2.0, 0.0, 5.0}, {1.0, 0.0, 5.0});
  constexpr int kPerCopy = 100000;
  LambertianTest merged = disk.getLambertianTest();
  for (std::uint64_t copy = 0; copy < 2; ++copy) {
    LambertianTest local = disk.getLambertianTest();
    Random rng = Random::stream(99, {copy});
    for (int i = 0; i < kPerCopy; ++i) {
      ASSERT_TRUE(disk.isHit(front, rng, &local).has_value());
      ASSERT_TRUE(disk.isHit(back, rng, &local).has_value());
    }
    merged += local;
  }
  const double n = 2.0 * kPerCopy;
  const double p = std::pow(std::sin(5.0 * kPi / 180.0), 2);
  EXPECT_NEAR(static_cast<double>(merged.reflectedPhotons[0]), n * p, 5.0 * std::sqrt(n * p * (1 - p)));
  std::int64_t total = 0;
  for (std::int64_t c : merged.reflectedPhotons) total += c;
  // Spots cover only part of the front hemisphere, and no back-face reflection: the
  // total stays below the front-face reflections.
  EXPECT_LT(total, static_cast<std::int64_t>(n));
  for (double w : merged.reflectedWeights) EXPECT_EQ(w, 0.0);

  Random other(5);
  const LambertianTest differentCones(normal_, 10.0, true, other);
  EXPECT_THROW(merged += differentCones, std::invalid_argument);
}

// Weight mode adds, to the first spot containing the reflected direction, the photon's
// weight before the albedo factor times the reflection's polar angle.
TEST_F(DiskTargetTest, LambertianTestWeightModeSumsWeightTimesTheta) {
  Control control;
  control.isLambertianTest = true;
  control.isLambertianPhotons = false;
  control.testAngle = 15.0;
  const DiskTarget disk(1.0, 0.5, normal_, center_, control, rng_);
  Photon photon = photonStepping({2.0, 0.0, 5.0}, {-1.0, 0.0, 5.0});
  photon.updateWeight(0.25);
  LambertianTest local = disk.getLambertianTest();
  const double cosHalf = std::cos(7.5 * kPi / 180.0);
  int counted = 0;
  for (int i = 0; i < 5000; ++i) {
    const LambertianTest before = local;
    const std::optional<TargetHit> hit = disk.isHit(photon, rng_, &local);
    ASSERT_TRUE(hit.has_value());
    std::size_t first = local.size();
    for (std::size_t k = 0; k < local.size() && first == local.size(); ++k) {
      if (dot(hit->reflectedDirection, local.testDirection[k]) > cosHalf) first = k;
    }
    for (std::size_t k = 0; k < local.size(); ++k) {
      const double added = local.reflectedWeights[k] - before.reflectedWeights[k];
      EXPECT_NEAR(added, k == first ? 0.25 * hit->reflectionAngle : 0.0, 1e-12);
      EXPECT_EQ(local.reflectedPhotons[k], 0);
    }
    if (first < local.size()) ++counted;
  }
  EXPECT_GT(counted, 0);
}

}  // namespace
}  // namespace orvel
