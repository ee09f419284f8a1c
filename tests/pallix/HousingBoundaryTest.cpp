#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

#include "pallix/engine/AHousingBoundary.h"
#include "pallix/engine/BetaCalibrationHousingBoundary.h"
#include "pallix/engine/BetaHousingBoundary.h"

namespace pallix {
namespace {

// A photon that stepped from `from` along `direction` by `length`.
Photon stepped(const Vec3& from, const Vec3& direction, double length, double weight = 1.0) {
  Photon p;
  p.setNewPosition(from);
  p.setDirection(direction);
  p.setWeight(weight);
  p.updatePosition(length);
  return p;
}

Vec3 unit(double x, double y, double z) {
  const double n = std::sqrt(x * x + y * y + z * z);
  return {x / n, y / n, z / n};
}

enum class Outcome { Diffuser, FacePlate, Lost, Unchanged };

struct BoundaryCase {
  std::string name;
  std::shared_ptr<const HousingBoundary> housing;
  Vec3 from, direction;
  double length;
  Outcome outcome;
  double surfaceZ;  // the surface a reflection puts the photon on
  double albedo;    // the weight factor of a reflection
};

// Each photon leaves the medium; the housing reflects it from the right surface, with the
// right albedo and into the right half-space, or ends it.
TEST(HousingBoundaryTest, PhotonsLeavingTheMediumAreReflectedOrLost) {
  const auto tube = std::make_shared<AHousingBoundary>(4.3, 15.0, 0.9, 0.0);
  const auto tubeWithPlate = std::make_shared<AHousingBoundary>(4.3, 15.0, 0.9, 0.4);
  const auto halfSpace = std::make_shared<BetaHousingBoundary>(4.3, 0.0);
  const auto halfSpaceWithPlate = std::make_shared<BetaHousingBoundary>(4.3, 0.4);
  const auto calibration = std::make_shared<BetaCalibrationHousingBoundary>(5.75, 10.0, 0.8, 0.0);
  const auto calibrationWithPlate = std::make_shared<BetaCalibrationHousingBoundary>(5.75, 10.0, 0.8, 0.4);
  const Vec3 up{0.0, 0.0, 1.0}, down{0.0, 0.0, -1.0};
  const BoundaryCase cases[] = {
      {"tube: through the top within the radius", tube, {1.0, 0.0, 14.0}, up, 2.0, Outcome::Diffuser, 15.0, 0.9},
      {"tube: slanted through the top", tube, {0.0, 0.0, 10.0}, unit(0.5, 0.0, 1.0), 20.0, Outcome::Diffuser, 15.0,
       0.9},
      {"tube: side wall before the top", tube, {3.0, 0.0, 14.0}, unit(1.0, 0.0, 0.5), 10.0, Outcome::Lost, 0, 0},
      {"tube: through the side wall", tube, {3.0, 0.0, 5.0}, unit(1.0, 0.0, 0.0), 5.0, Outcome::Lost, 0, 0},
      {"tube: back through a black face", tube, {1.0, 0.0, 1.0}, down, 2.0, Outcome::Lost, 0, 0},
      {"tube: back through a reflecting face", tubeWithPlate, {1.0, 0.0, 1.0}, down, 2.0, Outcome::FacePlate, 0.0,
       0.4},
      {"half-space: back through a black face", halfSpace, {1.0, 0.0, 1.0}, down, 2.0, Outcome::Lost, 0, 0},
      {"half-space: back through a reflecting plate", halfSpaceWithPlate, {1.0, 0.0, 1.0}, down, 2.0,
       Outcome::FacePlate, 0.0, 0.4},
      {"half-space: back beside the plate", halfSpaceWithPlate, {5.0, 0.0, 1.0}, down, 2.0, Outcome::Lost, 0, 0},
      {"calibration: diffuser at 29 cm from the axis", calibration, {29.0, 0.0, 9.0}, up, 1000.0,
       Outcome::Diffuser, 10.0, 0.8},
      {"calibration: diffuser plane at 31 cm from the axis", calibration, {31.0, 0.0, 9.0}, up, 1000.0,
       Outcome::Lost, 0, 0},
      {"calibration: back through a black face", calibration, {1.0, 0.0, 9.0}, down, 1000.0, Outcome::Lost, 0, 0},
      {"calibration: back through a reflecting plate", calibrationWithPlate, {1.0, 0.0, 9.0}, down, 1000.0,
       Outcome::FacePlate, 0.0, 0.4},
      {"calibration: back beside the plate", calibrationWithPlate, {6.0, 0.0, 9.0}, down, 1000.0, Outcome::Lost, 0,
       0},
      {"calibration: a step that ends between the planes", calibration, {1.0, 0.0, 5.0}, up, 1.0, Outcome::Lost, 0,
       0},
  };
  Random rng = Random::stream(7, {1});
  for (const BoundaryCase& c : cases) {
    SCOPED_TRACE(c.name);
    Photon p = stepped(c.from, c.direction, c.length, 0.5);
    c.housing->processBoundary(p, rng);
    const Vec3& d = p.getDirection();
    switch (c.outcome) {
      case Outcome::Lost:
        EXPECT_EQ(p.getWeight(), 0.0);
        break;
      case Outcome::Unchanged:
        EXPECT_EQ(p.getWeight(), 0.5);
        break;
      case Outcome::Diffuser:
      case Outcome::FacePlate: {
        EXPECT_DOUBLE_EQ(p.getWeight(), 0.5 * c.albedo);
        EXPECT_EQ(p.getNewPosition()[2], c.surfaceZ);
        EXPECT_NEAR(norm(d), 1.0, 1e-12);
        if (c.outcome == Outcome::Diffuser) {
          EXPECT_LE(d[2], 0.0);  // back towards the face
        } else {
          EXPECT_GE(d[2], 0.0);  // into the water
        }
        // The new position is where the step crossed the surface's plane.
        const double t = (c.surfaceZ - c.from[2]) / c.direction[2];
        EXPECT_NEAR(p.getNewPosition()[0], c.from[0] + t * c.direction[0], 1e-12);
        break;
      }
    }
  }
}

TEST(HousingBoundaryTest, InsideTests) {
  const AHousingBoundary tube(4.3, 15.0, 1.0, 0.0);
  EXPECT_TRUE(tube.isWithinBoundary({4.3, 0.0, 15.0}));
  EXPECT_TRUE(tube.isWithinBoundary({0.0, 0.0, 0.0}));
  EXPECT_FALSE(tube.isWithinBoundary({3.1, 3.1, 1.0}));
  EXPECT_FALSE(tube.isWithinBoundary({0.0, 0.0, 15.000001}));
  EXPECT_FALSE(tube.isWithinBoundary({0.0, 0.0, -1e-12}));
  // The beta half-space is bounded by the face whether the plate reflects or not.
  for (double albedo : {0.0, 0.5}) {
    const BetaHousingBoundary halfSpace(4.3, albedo);
    EXPECT_TRUE(halfSpace.isWithinBoundary({100.0, -50.0, 0.0}));
    EXPECT_FALSE(halfSpace.isWithinBoundary({0.0, 0.0, -1e-12}));
  }
  const BetaCalibrationHousingBoundary calibration(5.75, 3.0, 1.0, 0.0);
  EXPECT_TRUE(calibration.isWithinBoundary({500.0, 0.0, 3.0}));
  EXPECT_FALSE(calibration.isWithinBoundary({0.0, 0.0, 3.5}));
}

// A step parallel to the face has no crossing point; the housings still give finite results.
TEST(HousingBoundaryTest, StepParallelToTheFaceNeverDividesByZero) {
  Random rng = Random::stream(7, {2});
  const AHousingBoundary tube(4.3, 15.0, 1.0, 0.0);
  Photon onTop = stepped({1.0, 0.0, 15.0}, {1.0, 0.0, 0.0}, 1.0);
  tube.processBoundary(onTop, rng);
  EXPECT_EQ(onTop.getWeight(), 1.0);  // reflected where it touched the diffuser
  EXPECT_EQ(onTop.getNewPosition()[0], 1.0);
  EXPECT_LT(onTop.getDirection()[2], 0.0);

  const BetaHousingBoundary halfSpace(4.3, 0.5);
  Photon onFace = stepped({1.0, 0.0, 0.0}, {0.0, -1.0, 0.0}, 0.5);
  halfSpace.processBoundary(onFace, rng);
  for (double v : onFace.getNewPosition()) EXPECT_TRUE(std::isfinite(v));
  EXPECT_EQ(onFace.getWeight(), 0.5);
}

// Reflected directions stay within 90 degrees of the surface normal and are cosine
// weighted: sin^2 of the polar angle is uniform on [0, 1], the azimuth uniform on [0, 2 pi).
TEST(HousingBoundaryTest, LambertianReflectionIsCosineWeighted) {
  const AHousingBoundary tube(1e9, 1.0, 1.0, 0.0);
  Random rng = Random::stream(11, {3});
  constexpr int kN = 200000;
  constexpr int kBins = 10;
  int sin2Bins[kBins] = {};
  int phiBins[kBins] = {};
  for (int i = 0; i < kN; ++i) {
    Photon p = stepped({0.0, 0.0, 0.5}, {0.0, 0.0, 1.0}, 1.0);
    tube.processBoundary(p, rng);
    const Vec3& d = p.getDirection();
    ASSERT_LE(d[2], 0.0);
    const double sin2 = 1.0 - d[2] * d[2];
    const double phi = std::atan2(d[1], d[0]) + std::numbers::pi;
    ++sin2Bins[std::min(kBins - 1, static_cast<int>(sin2 * kBins))];
    ++phiBins[std::min(kBins - 1, static_cast<int>(phi / (2.0 * std::numbers::pi) * kBins))];
  }
  // Each bin holds a binomial count: mean N/10, standard error sqrt(N p (1 - p)).
  const double expected = kN / static_cast<double>(kBins);
  const double sigma = std::sqrt(kN * 0.1 * 0.9);
  for (int b = 0; b < kBins; ++b) {
    EXPECT_NEAR(sin2Bins[b], expected, 5.0 * sigma) << "sin^2 bin " << b;
    EXPECT_NEAR(phiBins[b], expected, 5.0 * sigma) << "azimuth bin " << b;
  }
}

}  // namespace
}  // namespace pallix
