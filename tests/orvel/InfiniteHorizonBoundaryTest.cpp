#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "CosineLawCheck.h"
#include "orvel/engine/Control.h"
#include "orvel/engine/IncidentRadiance.h"
#include "orvel/engine/InfiniteHorizonBoundary.h"
#include "orvel/engine/Photon.h"
#include "shared/Console.h"
#include "shared/Random.h"

namespace orvel {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDegree = kPi / 180.0;
constexpr double kNormalReflectance = 0.021111841624662148;  // ((1.34 - 1) / (1.34 + 1))^2

// A sky whose normalised radiance is a simple known function of both angles, so that a
// score shows which sky direction was asked for.
class FakeSky final : public IncidentRadiance {
 public:
  double getDiffuseEd() const override { return 0.3; }
  double getDirectEd() const override { return 1.0; }
  double getNormalizedSkyRadiance(double skyTheta, double skyPhi) const override {
    return radiance(skyTheta, skyPhi);
  }
  static double radiance(double skyTheta, double skyPhi) { return 0.25 + skyTheta + 0.1 * skyPhi; }
};

// A photon at `from` with unit direction `u` (from its polar and azimuth angles in
// degrees), moved `length` along it.
Photon photonStepping(const Vec3& from, double thetaDeg, double phiDeg, double length, double weight = 1.0) {
  const double t = thetaDeg * kDegree, p = phiDeg * kDegree;
  Photon photon;
  photon.setNewPosition(from);
  photon.setDirection(std::sin(t) * std::cos(p), std::sin(t) * std::sin(p), std::cos(t));
  photon.updatePosition(length);
  photon.updateWeight(weight);
  return photon;
}

class InfiniteHorizonBoundaryTest : public ::testing::Test {
 protected:
  FakeSky sky_;
  Control control_;
  InfiniteHorizonBoundary deepWater_{sky_, true, 0.0, 1.0, control_};
  InfiniteHorizonBoundary shallow_{sky_, false, 10.0, 0.3, control_};
  Random rng_ = Random::stream(11, {3});
};

TEST_F(InfiniteHorizonBoundaryTest, InsideTestIncludesSurfaceAndBottomPlanes) {
  struct Case {
    double z;
    bool deepInside, shallowInside;
  };
  const Case cases[] = {{-1e-12, false, false}, {0.0, true, true},        {5.0, true, true},
                        {10.0, true, true},     {10.000001, true, false}, {1e12, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.z);
    EXPECT_EQ(deepWater_.isWithinBoundary({3.0, -2.0, c.z}), c.deepInside);
    EXPECT_EQ(shallow_.isWithinBoundary({3.0, -2.0, c.z}), c.shallowInside);
  }
  EXPECT_NEAR(deepWater_.getCriticalAngle(), 48.268, 1e-3);
}

// Straight up in the diffuse pass: scored with weight x (1 - R0) x the zenith sky radiance,
// then sent straight down from the surface with weight x R0.
TEST_F(InfiniteHorizonBoundaryTest, NormalIncidenceScoresAndReflectsWithTheNormalReflectance) {
  Photon photon = photonStepping({1.0, 2.0, 0.5}, 180.0, 0.0, 1.5, 0.5);
  const BoundaryEvent event = deepWater_.outOfBoundOperation(photon, false, rng_);
  EXPECT_EQ(event.kind, BoundaryEvent::Kind::kSurface);
  ASSERT_TRUE(event.isSkyTallied);
  EXPECT_NEAR(event.skyEnergy, 0.5 * (1.0 - kNormalReflectance) * FakeSky::radiance(0.0, 0.0), 1e-15);
  EXPECT_NEAR(event.skyEnergy / FakeSky::radiance(0.0, 0.0), 0.5 * 0.97889, 1e-5);
  EXPECT_NEAR(photon.getWeight(), 0.5 * kNormalReflectance, 1e-17);
  EXPECT_NEAR(photon.getWeight(), 0.5 * 0.021112, 1e-7);
  EXPECT_EQ(event.albedo, kNormalReflectance);
  EXPECT_EQ(photon.getNewPosition(), (Vec3{1.0, 2.0, 0.0}));
  EXPECT_EQ(event.hitPosition, photon.getNewPosition());
  EXPECT_EQ(event.normal, (Vec3{0.0, 0.0, 1.0}));
  EXPECT_NEAR(photon.getDirection()[2], 1.0, 1e-15);
}

// Oblique crossings below the critical angle score through the refracted angle and the
// azimuth of the photon (wrapped into [0, 2 pi)); the cardioidal sky gets azimuth 0.
// At and beyond the critical angle nothing is scored and the full weight is reflected.
TEST_F(InfiniteHorizonBoundaryTest, ObliqueCrossingsScoreBelowTheCriticalAngleOnly) {
  Control cardioidal = control_;
  cardioidal.inRadType = 1;
  const InfiniteHorizonBoundary cardioidalWater(sky_, true, 0.0, 1.0, cardioidal);
  struct Case {
    const char* name;
    const InfiniteHorizonBoundary* boundary;
    double incidence, azimuth;  // degrees; the photon travels at polar angle 180 - incidence
    bool scored;
    double reflectance, airAngle, skyPhi;  // expected, when scored (air angle degrees, phi radians)
  };
  const Case cases[] = {
      {"30 degrees, azimuth 225", &deepWater_, 30.0, 225.0, true, 0.0265343, 42.0671, 225.0 * kDegree},
      {"30 degrees, azimuth 90", &deepWater_, 30.0, 90.0, true, 0.0265343, 42.0671, 90.0 * kDegree},
      {"30 degrees, cardioidal sky", &cardioidalWater, 30.0, 225.0, true, 0.0265343, 42.0671, 0.0},
      {"just beyond the critical angle", &deepWater_, 48.3, 10.0, false, 1.0, 0.0, 0.0},
      {"grazing", &deepWater_, 80.0, 300.0, false, 1.0, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // From 0.8 below the surface, a step reaching 0.2 above it.
    const double cosI = std::cos(c.incidence * kDegree);
    Photon photon = photonStepping({0.5, -1.0, 0.8}, 180.0 - c.incidence, c.azimuth, 1.0 / cosI, 2.0);
    const Vec3 u = photon.getDirection();
    const BoundaryEvent event = c.boundary->outOfBoundOperation(photon, false, rng_);
    EXPECT_EQ(event.kind, BoundaryEvent::Kind::kSurface);
    EXPECT_EQ(event.isSkyTallied, c.scored);
    EXPECT_NEAR(event.albedo, c.reflectance, 1e-7);
    if (c.scored) {
      const double expected = 2.0 * (1.0 - event.albedo) * FakeSky::radiance(c.airAngle * kDegree, c.skyPhi);
      EXPECT_NEAR(event.skyEnergy, expected, 1e-5);
    }
    EXPECT_NEAR(photon.getWeight(), 2.0 * event.albedo, 1e-15);
    // Crossing point: x1 - (a/c) z1, y1 - (b/c) z1, 0.
    EXPECT_NEAR(photon.getNewPosition()[0], 0.5 - u[0] / u[2] * 0.8, 1e-12);
    EXPECT_NEAR(photon.getNewPosition()[1], -1.0 - u[1] / u[2] * 0.8, 1e-12);
    EXPECT_EQ(photon.getNewPosition()[2], 0.0);
    EXPECT_EQ(photon.getDirection(), (Vec3{u[0], u[1], -u[2]}));
  }
}

// In the direct-sun pass the surface only reflects: weight x R and no score.
TEST_F(InfiniteHorizonBoundaryTest, DirectSunPassOnlyReflects) {
  Photon photon = photonStepping({0.0, 0.0, 0.2}, 180.0, 0.0, 1.0, 0.8);
  const BoundaryEvent event = deepWater_.outOfBoundOperation(photon, true, rng_);
  EXPECT_EQ(event.kind, BoundaryEvent::Kind::kSurface);
  EXPECT_FALSE(event.isSkyTallied);
  EXPECT_EQ(event.skyEnergy, 0.0);
  EXPECT_NEAR(photon.getWeight(), 0.8 * kNormalReflectance, 1e-17);
  EXPECT_GT(photon.getDirection()[2], 0.0);
}

// Steps that did not leave through a face change nothing: deep water however deep, a
// finite bottom not reached, and a photon above the surface that is not travelling
// upwards (it never crossed the surface from the water; the crossing is undefined).
TEST_F(InfiniteHorizonBoundaryTest, StepsThatLeaveThroughNoFaceChangeNothing) {
  struct Case {
    const char* name;
    const InfiniteHorizonBoundary* boundary;
    Vec3 from;
    double theta, length;
  };
  const Case cases[] = {
      {"deep water, far down", &deepWater_, {0.0, 0.0, 5.0}, 0.0, 1e9},
      {"above the bottom", &shallow_, {0.0, 0.0, 5.0}, 20.0, 4.0},
      {"horizontal above the surface", &deepWater_, {0.0, 0.0, -1.0}, 90.0, 2.0},
      {"downwards above the surface", &shallow_, {0.0, 0.0, -3.0}, 10.0, 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Photon photon = photonStepping(c.from, c.theta, 30.0, c.length, 0.7);
    const Photon before = photon;
    const BoundaryEvent event = c.boundary->outOfBoundOperation(photon, false, rng_);
    EXPECT_EQ(event.kind, BoundaryEvent::Kind::kNone);
    EXPECT_FALSE(event.isSkyTallied);
    EXPECT_EQ(photon.getNewPosition(), before.getNewPosition());
    EXPECT_EQ(photon.getDirection(), before.getDirection());
    EXPECT_EQ(photon.getWeight(), before.getWeight());
  }
}

// Through the bottom: moved to the crossing point, weight x bottom albedo, and always
// upwards afterwards, by the cosine law about the upward vertical.
TEST_F(InfiniteHorizonBoundaryTest, BottomReflectsUpwardsByTheCosineLaw) {
  const Photon incoming = photonStepping({1.0, 1.0, 9.0}, 60.0, 45.0, 4.0, 0.5);
  const Vec3 u = incoming.getDirection();
  std::vector<Vec3> directions;
  for (int i = 0; i < 100000; ++i) {
    Photon photon = incoming;
    const BoundaryEvent event = shallow_.outOfBoundOperation(photon, false, rng_);
    ASSERT_EQ(event.kind, BoundaryEvent::Kind::kBottom);
    if (i == 0) {
      EXPECT_NEAR(photon.getNewPosition()[0], 1.0 + u[0] / u[2] * 1.0, 1e-12);
      EXPECT_NEAR(photon.getNewPosition()[1], 1.0 + u[1] / u[2] * 1.0, 1e-12);
      EXPECT_EQ(photon.getNewPosition()[2], 10.0);
      EXPECT_EQ(event.hitPosition, photon.getNewPosition());
      EXPECT_EQ(event.normal, (Vec3{0.0, 0.0, -1.0}));
      EXPECT_FALSE(event.isSkyTallied);
      EXPECT_DOUBLE_EQ(photon.getWeight(), 0.5 * 0.3);
    }
    ASSERT_LE(photon.getDirection()[2], 0.0);
    directions.push_back(photon.getDirection());
  }
  testing::expectCosineLaw(directions, {0.0, 0.0, -1.0});

  const InfiniteHorizonBoundary black(sky_, false, 10.0, 0.0, control_);
  Photon photon = incoming;
  black.outOfBoundOperation(photon, false, rng_);
  EXPECT_EQ(photon.getWeight(), 0.0);
}

// With the trace on, each sky score writes the incidence angle and the photon's position
// above the surface, before it is moved to the crossing point.
TEST_F(InfiniteHorizonBoundaryTest, TraceLineShowsTheIncidenceAngleAndThePositionAboveTheSurface) {
  Control traced = control_;
  traced.isPhotonDebug = true;
  const InfiniteHorizonBoundary boundary(sky_, true, 0.0, 1.0, traced);
  Photon photon = photonStepping({1.0, 2.0, 0.5}, 180.0, 0.0, 1.0);
  console::Capture capture;
  boundary.outOfBoundOperation(photon, false, rng_);
  Photon direct = photonStepping({1.0, 2.0, 0.5}, 180.0, 0.0, 1.0);
  boundary.outOfBoundOperation(direct, true, rng_);  // direct-sun pass: no score, no line
  EXPECT_EQ(capture.out(), "photon tallied with in-angle 0.0 1.0\t2.0\t-0.5\n");
}

}  // namespace
}  // namespace orvel
