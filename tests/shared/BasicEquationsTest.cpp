#include "shared/BasicEquations.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shared/Console.h"
#include "shared/Random.h"

namespace be = BasicEquations;

namespace {

constexpr double kPi = std::numbers::pi;
const std::string kNormMessage = "norm of the direction vector is not 1.0\n";

void expectVecNear(const Vec3& actual, const Vec3& expected, double tolerance, const std::string& where = "") {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << where << " component " << i;
}

// A uniformly distributed unit vector.
Vec3 randomDirection(Random& rng) {
  const double z = 2.0 * rng.uniform() - 1.0;
  const double phi = 2.0 * kPi * rng.uniform();
  const double r = std::sqrt(1.0 - z * z);
  return {r * std::cos(phi), r * std::sin(phi), z};
}

// A unit vector with the given z and a random azimuth.
Vec3 directionWithZ(double z, Random& rng) {
  const double phi = 2.0 * kPi * rng.uniform();
  const double r = std::sqrt((1.0 - z) * (1.0 + z));
  return {r * std::cos(phi), r * std::sin(phi), z};
}

// Checks that `v` is a unit vector at angle theta from the unit vector `from`.
void expectDeflection(const Vec3& v, const Vec3& from, double theta, const std::string& where) {
  EXPECT_NEAR(norm(v), 1.0, 1e-12) << where;
  EXPECT_NEAR(dot(v, from), std::cos(theta), 1e-12) << where;
}

struct FakePhoton {
  Vec3 oldPosition, direction;
  const Vec3& getOldPosition() const { return oldPosition; }
  const Vec3& getDirection() const { return direction; }
};

}  // namespace

TEST(BasicEquations, AnglesInDegreesToDirectionCosines) {
  struct Case {
    double theta, phi;
    Vec3 expected;
  };
  const double h = std::sqrt(0.5);
  const Case cases[] = {{90, 90, {0, 1, 0}},  {180, 0, {0, 0, -1}}, {0, 123, {0, 0, 1}},
                        {90, 0, {1, 0, 0}},   {45, 180, {-h, 0, h}}, {135, 270, {0, -h, -h}}};
  for (const auto& c : cases) {
    expectVecNear(be::anglesToDirectionCosine(c.theta, c.phi), c.expected, 1e-15,
                  std::to_string(c.theta) + "," + std::to_string(c.phi));
  }
}

TEST(BasicEquations, AnglesOfDirectionVectors) {
  struct Case {
    Vec3 v;
    double theta, phi;
    bool normMessage;
  };
  const Case cases[] = {
      {{0, 0, 1}, 0, 0, false},
      {{0, 0, -1}, kPi, 0, false},
      {{0, -1, 0}, kPi / 2, 3 * kPi / 2, false},
      {{1, 1, 0}, kPi / 2, kPi / 4, true},  // not of unit length: reported, used as it is
      {{-1, 0, 0}, kPi / 2, kPi, false},
      {{3e-8, 4e-8, 1.0}, 0, 0, false},  // within 1e-7 of the axis: the azimuth is lost
      {{0, 0, 2}, 0, 0, true},
      {{0, 0, -3}, kPi, 0, true},
      {{1e-20, -1e-300, 1.0 - 1e-6}, std::acos(1.0 - 1e-6), 0, true},  // phi stays below 2 pi
  };
  for (const auto& c : cases) {
    console::Capture capture;
    const auto [theta, phi] = be::getAnglesFromDirectionVector(c.v);
    EXPECT_NEAR(theta, c.theta, 1e-15) << c.v[0] << "," << c.v[1] << "," << c.v[2];
    EXPECT_NEAR(phi, c.phi, 1e-15) << c.v[0] << "," << c.v[1] << "," << c.v[2];
    EXPECT_LT(phi, 2 * kPi);
    EXPECT_EQ(capture.messages(), c.normMessage ? kNormMessage : "");
  }
}

TEST(BasicEquations, AnglesRoundTripThroughDirectionCosines) {
  Random rng(11);
  console::Capture capture;
  for (int i = 0; i < 10000; ++i) {
    const Vec3 v = randomDirection(rng);
    const auto [theta, phi] = be::getAnglesFromDirectionVector(v);
    ASSERT_GE(theta, 0.0);
    ASSERT_LE(theta, kPi);
    ASSERT_GE(phi, 0.0);
    ASSERT_LT(phi, 2 * kPi);
    expectVecNear(be::anglesToDirectionCosine(theta * 180 / kPi, phi * 180 / kPi), v, 1e-12);
  }
  EXPECT_EQ(capture.messages(), "");
}

TEST(BasicEquations, ComputeDirectionRotatesByTheDeflection) {
  Random rng(5);
  for (int i = 0; i < 200; ++i) {
    const double t0 = kPi * rng.uniform(), p0 = 2 * kPi * rng.uniform();
    const double t = kPi * rng.uniform(), p = 2 * kPi * rng.uniform();
    const Vec3 cone{std::sin(t) * std::cos(p), std::sin(t) * std::sin(p), std::cos(t)};
    expectVecNear(be::computeDirection(0, 0, t, p), cone, 1e-15, "from +z");
    expectVecNear(be::computeDirection(kPi, 0, t, p), {-cone[0], cone[1], -cone[2]}, 1e-15, "from -z");
    const Vec3 old = be::computeDirection(0, 0, t0, p0);
    expectVecNear(be::computeDirection(t0, p0, 0, p), old, 1e-15, "no deflection");
    expectDeflection(be::computeDirection(t0, p0, t, p), old, t, "general");
    // The azimuth is measured from the unit vector of increasing theta0.
    const Vec3 eTheta{std::cos(t0) * std::cos(p0), std::cos(t0) * std::sin(p0), -std::sin(t0)};
    expectVecNear(be::computeDirection(t0, p0, kPi / 2, 0), eTheta, 1e-15, "phi origin");
  }
}

// The direct rotation must agree with the round trip through angles everywhere,
// including next to and exactly on the poles where the azimuth is dropped.
TEST(BasicEquations, DirectRotationAgreesWithRotationThroughAngles) {
  Random rng(2024);
  std::vector<Vec3> directions;
  for (int i = 0; i < 20000; ++i) directions.push_back(randomDirection(rng));
  for (double sign : {1.0, -1.0}) {
    for (double gap : {0.0, 1e-12, 5e-8, 1e-7, 1.0000001e-7, 2e-7, 1e-6, 1e-5, 1e-3}) {
      for (int i = 0; i < 50; ++i) directions.push_back(directionWithZ(sign * (1.0 - gap), rng));
    }
  }
  directions.push_back({1, 0, 0});
  directions.push_back({0, -1, 0});
  for (const Vec3& d : directions) {
    const double t = kPi * rng.uniform(), p = 2 * kPi * rng.uniform();
    const auto [t0, p0] = be::getAnglesFromDirectionVector(d);
    const Vec3 expected = be::computeDirection(t0, p0, t, p);
    const Vec3 direct = be::rotateDirection(d, t, p);
    for (int k = 0; k < 3; ++k) ASSERT_NEAR(direct[k], expected[k], 1e-12) << d[0] << "," << d[1] << "," << d[2];
  }
}

TEST(BasicEquations, DirectRotationReportsNonUnitVectorsLikeTheAngles) {
  console::Capture capture;
  const Vec3 v{0.0, 2.0, 0.0};
  const auto [t0, p0] = be::getAnglesFromDirectionVector(v);
  expectVecNear(be::rotateDirection(v, 0.3, 1.1), be::computeDirection(t0, p0, 0.3, 1.1), 1e-15);
  EXPECT_EQ(capture.messages(), kNormMessage + kNormMessage);
}

TEST(BasicEquations, NewDirectionCosineAboutTheOldDirection) {
  Random rng(8);
  const double root = std::sqrt(0.5);
  for (int i = 0; i < 200; ++i) {
    const double t = kPi * rng.uniform(), p = 2 * kPi * rng.uniform();
    const Vec3 cone{std::sin(t) * std::cos(p), std::sin(t) * std::sin(p), std::cos(t)};
    // sin theta is taken as sqrt(1 - cos^2 theta), which loses a little next to pi.
    expectVecNear(be::computeNewDirectionCosine({0, 0, 1}, t, p), cone, 1e-13, "+z");
    expectVecNear(be::computeNewDirectionCosine({0, 0, -1}, t, p), {cone[0], cone[1], -cone[2]}, 1e-13, "-z");
    // Directions at azimuth 135 or 315 degrees have ux + uy = 0 but are far from the z
    // axis: they are rotated about themselves, not given the cone about +z.
    for (const Vec3& u : {Vec3{0.5, -0.5, root}, Vec3{-0.5, 0.5, -root}, Vec3{-root, root, 0.0}}) {
      expectDeflection(be::computeNewDirectionCosine(u, t, p), u, t, "azimuth 135/315");
    }
    // A general direction: the result lies on the cone of half-angle theta about it and
    // matches the rotation formula written with 1 - uz^2.
    const Vec3 u = randomDirection(rng);
    const Vec3 v = be::computeNewDirectionCosine(u, t, p);
    expectDeflection(v, u, t, "general");
    const double mu = std::cos(t), s = std::sqrt((1 - mu * mu) / (1 - u[2] * u[2]));
    const Vec3 formula{u[0] * mu - (u[1] * std::sin(p) + u[0] * u[2] * std::cos(p)) * s,
                       u[1] * mu + (u[0] * std::sin(p) - u[1] * u[2] * std::cos(p)) * s,
                       u[2] * mu + (1 - u[2] * u[2]) * std::cos(p) * s};
    expectVecNear(v, formula, 1e-12, "formula");
  }
  // Next to the axis the result stays a unit vector on the cone.
  for (double gap : {1e-9, 1e-12, 1e-14}) {
    const Vec3 u = directionWithZ(1.0 - gap, rng);
    expectDeflection(be::computeNewDirectionCosine(u, 0.7, 2.0), u, 0.7, "near axis");
  }
}

TEST(BasicEquations, PlaneCrossingOfTheLastStep) {
  struct Case {
    Vec3 oldPosition, direction, normal, center, expected;
  };
  const double r = std::sqrt(1.0 / 3.0);
  const Case cases[] = {
      {{1.5, -2.0, 3.0}, {0, 0, 1}, {0, 0, 1}, {0, 0, 5}, {1.5, -2.0, 5.0}},    // along z through z = 5
      {{1.5, -2.0, 7.0}, {0, 0, -1}, {0, 0, 1}, {9, 9, 5}, {1.5, -2.0, 5.0}},   // upwards, any centre
      {{-1.0, 0.5, 2.0}, {1, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2.0, 0.5, 2.0}},     // horizontal step, vertical plane
      {{0.0, 0.0, 0.0}, {r, r, r}, {0, 0, -2}, {0, 0, 3}, {3.0, 3.0, 3.0}},     // oblique, normal not unit
      {{1.0, 1.0, 1.0}, {0, 1, 0}, {0, r, r}, {0, 0, 0}, {1.0, -1.0, 1.0}},     // crossing behind
  };
  for (const auto& c : cases) {
    expectVecNear(be::getPhotonPlaneCrossing(c.oldPosition, c.direction, c.normal, c.center), c.expected, 1e-14);
    const FakePhoton photon{c.oldPosition, c.direction};
    expectVecNear(be::getPhotonPlaneCrossing(photon, c.normal, c.center), c.expected, 1e-14);
  }
}

TEST(BasicEquations, RefractionAndFresnelReflectance) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_NEAR(be::SnellAngle(45, "AIR_TO_WATER"), 31.8496, 1e-4);
  EXPECT_NEAR(be::SnellAngle(30, "WATER_TO_AIR"), 42.0671, 1e-4);
  EXPECT_TRUE(std::isnan(be::SnellAngle(50, "WATER_TO_AIR")));
  EXPECT_EQ(be::FresnelReflectance(50, be::SnellAngle(50, "WATER_TO_AIR")), 1.0);
  EXPECT_EQ(be::SnellAngle(45, "AIR"), 0.0);
  EXPECT_EQ(be::SnellAngle(45, be::Interface::None), 0.0);
  for (double t : {0.0, 17.0, 89.0, nan}) EXPECT_EQ(be::FresnelReflectance(0, t), 0.021111841624662148) << t;
  EXPECT_NEAR(be::incidentAngleToFresenelReflectance(45, "AIR_TO_WATER"), 0.0287823, 1e-7);
  EXPECT_NEAR(be::incidentAngleToFresenelReflectance(30, "WATER_TO_AIR"), 0.0265343, 1e-7);
  EXPECT_NEAR(be::incidentAngleToFresenelReflectance(90, "AIR_TO_WATER"), 1.0, 1e-12);
  EXPECT_EQ(be::incidentAngleToFresenelReflectance(45, "air to water"), 0.0);
  // The critical angle of water separates refraction from total internal reflection.
  const double critical = std::asin(1 / be::kWaterIndex) * 180 / kPi;
  EXPECT_NEAR(critical, 48.268, 1e-3);
  EXPECT_LT(be::incidentAngleToFresenelReflectance(critical - 0.01, "WATER_TO_AIR"), 1.0);
  EXPECT_EQ(be::incidentAngleToFresenelReflectance(critical + 0.01, "WATER_TO_AIR"), 1.0);
  // Reciprocity: light crossing the surface either way along the same path is reflected
  // alike; the named and enumerated interfaces agree; another index is honoured.
  for (double i = 1.0; i < 90.0; i += 2.5) {
    const double t = be::SnellAngle(i, be::Interface::AirToWater);
    EXPECT_NEAR(be::SnellAngle(t, be::Interface::WaterToAir), i, 1e-9) << i;
    EXPECT_NEAR(be::incidentAngleToFresenelReflectance(i, "AIR_TO_WATER"),
                be::incidentAngleToFresenelReflectance(t, "WATER_TO_AIR"), 1e-12)
        << i;
    const double r = be::FresnelReflectance(i, t);
    EXPECT_GT(r, 0.0);
    EXPECT_LT(r, 1.0);
  }
  EXPECT_NEAR(be::SnellAngle(30, "AIR_TO_WATER", 1.0), 30.0, 1e-12);
  EXPECT_DOUBLE_EQ(be::FresnelReflectance(0, 0, 1.5), 0.04);
}

TEST(BasicEquations, DistanceAndOldAngles) {
  EXPECT_DOUBLE_EQ(be::computeDistance({1, 2, 3}, {4, 6, 15}), 13.0);
  EXPECT_EQ(be::computeDistance({1, 2, 3}, {1, 2, 3}), 0.0);
  struct Case {
    Vec3 v;
    double theta, phi;
  };
  const Case cases[] = {{{0, -1, 0}, kPi / 2, -kPi / 2}, {{0, 0, -2}, kPi, 0},  {{0, 0, 5}, 0, 0},
                        {{1, 1, 0}, kPi / 2, kPi / 4},   {{-1, 0, 0}, kPi / 2, kPi}, {{0, 3, 3}, kPi / 4, kPi / 2}};
  console::Capture capture;
  for (const auto& c : cases) {
    const auto [theta, phi] = be::getAnglesFromDirectionVectorOldOne(c.v);
    EXPECT_NEAR(theta, c.theta, 1e-15);
    EXPECT_NEAR(phi, c.phi, 1e-15);
  }
  EXPECT_EQ(capture.messages(), "");
}

TEST(BasicEquations, NewDirectionDrawsTheSignOfTheAzimuth) {
  Random rng(99);
  int positive = 0;
  const int n = 4000;
  for (int i = 0; i < n; ++i) {
    const Vec3 u = randomDirection(rng);
    const double t = kPi * rng.uniform(), p = 2 * kPi * rng.uniform();
    // Only cos phi matters: +phi and -phi with the same draw give the same direction.
    Random a(static_cast<std::uint64_t>(i)), b(static_cast<std::uint64_t>(i));
    const Vec3 v = be::getNewDirection(u[0], u[1], u[2], t, p, a);
    expectVecNear(be::getNewDirection(u[0], u[1], u[2], t, -p, b), v, 1e-15);
    expectDeflection(v, u, t, "general");
    // At phi = pi/2 the z component below the old one's share tells the drawn sign.
    const Vec3 w = be::getNewDirection(u[0], u[1], u[2], 1.0, kPi / 2, rng);
    if (w[2] < u[2] * std::cos(1.0)) ++positive;
  }
  // Half the draws take +sin phi: binomial standard error sqrt(n / 4); allow 5 sigma.
  EXPECT_NEAR(positive, n / 2, 5 * std::sqrt(n / 4.0));
  for (double gamma : {1.0, -1.0}) {
    Random r(1);
    const Vec3 v = be::getNewDirection(0, 0, gamma, 0.4, 0.0, r);
    expectVecNear(v, {std::sin(0.4), 0.0, gamma * std::cos(0.4)}, 1e-15, "along z");
  }
}
