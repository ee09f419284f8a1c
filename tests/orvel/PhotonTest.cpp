#include "orvel/engine/Photon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "TransportTestDoubles.h"
#include "orvel/engine/HomogeneousWater.h"
#include "shared/BasicEquations.h"
#include "shared/Console.h"
#include "shared/Random.h"

namespace orvel {
namespace {

using testing::FixedAnglePF;
using testing::FixedSource;
using testing::kPi;
using testing::UniformSpherePF;


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
  const auto [theta0, phi0] = BasicEquations::getAnglesFromDirectionVector({0.48, -0.6, 0.64});
  const Vec3 expected = BasicEquations::computeDirection(theta0, phi0, theta, phi);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(p.getDirection()[i], expected[i], 1e-14);
  EXPECT_NEAR(dot(p.getDirection(), Vec3{0.48, -0.6, 0.64}), std::cos(theta), 1e-14);
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
