#include "orvel/engine/Photon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "TransportTestDoubles.h"
#include "orvel/engine/HomogeneousWater.h"
#include "shared/Console.h"
#include "shared/Random.h"

namespace orvel {
namespace {

using testing::FixedAnglePF;
using testing::FixedSource;
using testing::kPi;
using testing::UniformSpherePF;


// computeDirection(getAnglesFromDirectionVector(u), theta, phi) written out from the
// angles, to check the direction-cosine form against.
Vec3 rotateByAngles(const Vec3& u, double theta, double phi) {
  double t0 = 0.0;
  double p0 = 0.0;
  if (std::abs(u[2] - 1.0) <= 1e-7) {
    t0 = 0.0;
  } else if (std::abs(u[2] + 1.0) <= 1e-7) {
    t0 = kPi;
  } else {
    t0 = std::acos(u[2]);
    p0 = std::atan2(u[1], u[0]);
    if (u[1] < 0) p0 += 2 * kPi;
  }
  const double st0 = std::sin(t0), ct0 = std::cos(t0), sp0 = std::sin(p0), cp0 = std::cos(p0);
  const double st = std::sin(theta), ct = std::cos(theta), sp = std::sin(phi), cp = std::cos(phi);
  return {st0 * cp0 * ct + ct0 * cp0 * st * cp - sp0 * st * sp, st0 * sp0 * ct + ct0 * sp0 * st * cp + cp0 * st * sp,
          ct0 * ct - st0 * st * cp};
}

TEST(PhotonTest, NewPhotonHasUnitWeightAndNothingElse) {
  const Photon p;
  EXPECT_EQ(p.getWeight(), 1.0);
  EXPECT_EQ(p.getMultipleScattering(), 0);
  EXPECT_FALSE(p.isHitSensor);
  EXPECT_EQ(p.getNewPosition(), (Vec3{0, 0, 0}));
  EXPECT_FALSE(p.getScatteringTest().isEnabled());
}

TEST(PhotonTest, StepMovesAlongTheDirectionAndKeepsThePreviousPosition) {
  Photon p;
  p.setNewPosition(1.0, -2.0, 3.0);
  p.setDirection(0.6, 0.0, -0.8);
  p.updatePosition(2.5);
  EXPECT_EQ(p.getOldPosition(), (Vec3{1.0, -2.0, 3.0}));
  EXPECT_DOUBLE_EQ(p.getNewPosition()[0], 2.5);
  EXPECT_DOUBLE_EQ(p.getNewPosition()[1], -2.0);
  EXPECT_DOUBLE_EQ(p.getNewPosition()[2], 1.0);
  p.updatePosition(1.0);
  EXPECT_DOUBLE_EQ(p.getOldPosition()[0], 2.5);
}

TEST(PhotonTest, AccessorsReturnThePhotonsOwnArrays) {
  Photon p;
  p.setDirection(0.0, 0.6, -0.8);
  p.getDirection()[2] = -p.getDirection()[2];  // what the sea surface does
  EXPECT_EQ(p.getDirection(), (Vec3{0.0, 0.6, 0.8}));
}

TEST(PhotonTest, LaunchFromSourceResetsThePacketButNotTheOldPosition) {
  Photon p;
  const auto water = testing::waterWith(1.0, 0.5, std::make_shared<FixedAnglePF>(0.3));
  Random rng(1);
  p.setNewPosition(4.0, 5.0, 6.0);
  p.setDirection(0.0, 0.0, 1.0);
  p.updatePosition(1.0);
  p.volumeScattering(water, rng);
  p.volumeScattering(water, rng);
  p.isHitSensor = true;

  const FixedSource source({1.0, 2.0, 3.0}, {0.0, 1.0, 0.0}, 0.25);
  p.launch(source, rng);
  EXPECT_EQ(p.getNewPosition(), (Vec3{1.0, 2.0, 3.0}));
  EXPECT_EQ(p.getDirection(), (Vec3{0.0, 1.0, 0.0}));
  EXPECT_EQ(p.getWeight(), 1.0) << "the visibility photon does not take the source's weight";
  EXPECT_EQ(p.getMultipleScattering(), 0);
  EXPECT_FALSE(p.isHitSensor);
  EXPECT_EQ(p.getOldPosition(), (Vec3{4.0, 5.0, 6.0})) << "kept until the first step";
}

struct DeflectionCase {
  const char* name;
  Vec3 u;
};

class DeflectDirectionTest : public ::testing::TestWithParam<DeflectionCase> {};

TEST_P(DeflectDirectionTest, TurnsByThePolarAngleAndMatchesTheAngleForm) {
  const Vec3 u = GetParam().u;
  for (const double theta : {0.0, 0.01, 0.7, kPi / 2, 2.5, kPi}) {
    for (const double phi : {0.0, 1.0, 3.5, 6.0}) {
      const Vec3 v = deflectDirection(u, theta, phi);
      const Vec3 expected = rotateByAngles(u, theta, phi);
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(v[i], expected[i], 1e-12) << theta << " " << phi;
      EXPECT_NEAR(norm(v), 1.0, 1e-12);
      // Away from the snapped pole band the deflection angle is exact.
      if (std::abs(std::abs(u[2]) - 1.0) > 1e-7) {
        EXPECT_NEAR(dot(u, v), std::cos(theta), 1e-12);
      }
    }
  }
}

const double kS = std::sqrt(0.5);
INSTANTIATE_TEST_SUITE_P(
    Directions, DeflectDirectionTest,
    ::testing::Values(DeflectionCase{"down", {0, 0, 1}}, DeflectionCase{"up", {0, 0, -1}},
                      DeflectionCase{"nearlyDown", {0, 1e-8, std::sqrt(1 - 1e-16)}},
                      DeflectionCase{"horizontalMinusX", {-1, 0, 0}}, DeflectionCase{"minusY", {0, -1, 0}},
                      DeflectionCase{"azimuth315", {0.5, -0.5, kS}}, DeflectionCase{"oblique", {0.48, -0.6, 0.64}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(DeflectDirectionTest, ReportsADirectionThatIsNotAUnitVectorAndGoesOn) {
  console::Capture capture;
  const Vec3 v = deflectDirection({1.0, 1.0, 0.0}, 0.0, 0.0);
  EXPECT_EQ(capture.messages(), "norm of the direction vector is not 1.0\n");
  EXPECT_NEAR(v[0], kS, 1e-12);  // treated as the direction at azimuth 45 degrees
}

TEST(PhotonTest, VolumeScatteringTurnsByTheDrawnAngleAndLowersTheWeightByW0) {
  const double theta = 0.9;
  const auto water = testing::waterWith(1.0, 0.7, std::make_shared<FixedAnglePF>(theta));
  Photon p;
  p.setDirection(0.48, -0.6, 0.64);
  Random rng(7);
  Random reference = rng;
  p.volumeScattering(water, rng);
  (void)reference.uniform();  // the phase function's draw
  const double phi = 6.283185307179586 * reference.uniform();
  const Vec3 expected = deflectDirection({0.48, -0.6, 0.64}, theta, phi);
  for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(p.getDirection()[i], expected[i]);
  EXPECT_DOUBLE_EQ(p.getWeight(), 0.7);
  EXPECT_EQ(p.getMultipleScattering(), 1);
  EXPECT_EQ(rng.nextBits(), reference.nextBits()) << "two draws per scattering";
}

TEST(PhotonTest, AlbedoOneNeverLowersTheWeight) {
  const auto water = testing::waterWith(1.0, 1.0, std::make_shared<UniformSpherePF>());
  Photon p;
  p.setDirection(0, 0, 1);
  Random rng(3);
  for (int i = 0; i < 100; ++i) p.volumeScattering(water, rng);
  EXPECT_EQ(p.getWeight(), 1.0);
  EXPECT_EQ(p.getMultipleScattering(), 100);
  EXPECT_NEAR(norm(p.getDirection()), 1.0, 1e-12);
}

TEST(PhotonTest, ScatteringIsTracedOnlyWhenTheTraceIsOn) {
  const auto water = testing::waterWith(1.0, 0.5, std::make_shared<FixedAnglePF>(0.2));
  Photon p;
  p.setDirection(0, 0, 1);
  Random rng(5);
  {
    console::Capture capture;
    p.volumeScattering(water, rng);
    EXPECT_EQ(capture.out(), "");
  }
  p.setPhotonDebug(true);
  console::Capture capture;
  p.volumeScattering(water, rng);
  EXPECT_EQ(capture.out(), "volume scattering\n");
}

TEST(PhotonTest, ScatteringTestCountsEveryScatteringOfThePhoton) {
  const auto water = testing::waterWith(1.0, 0.5, std::make_shared<FixedAnglePF>(0.0));
  Photon p;
  Random rng(11);
  p.initializeScatteringTest(true, 3.0, rng);
  ASSERT_EQ(p.getScatteringTest().size(), 61u);
  p.setDirection(0.0, 1.0, 0.0);
  for (int i = 0; i < 5; ++i) p.volumeScattering(water, rng);
  EXPECT_EQ(p.getScatteringTest().scatteredPhotons[0], 5) << "a zero angle falls in the 0-degree cone";
  p.initializeScatteringTest(false, 3.0, rng);
  EXPECT_FALSE(p.getScatteringTest().isEnabled());
  p.volumeScattering(water, rng);  // counts nothing, no crash
}

}  // namespace
}  // namespace orvel
