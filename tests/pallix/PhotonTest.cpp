#include "pallix/engine/Photon.h"

#include <gtest/gtest.h>

#include <cmath>

#include "pallix/engine/Control.h"
#include "pallix/engine/HomogeneousWater.h"

namespace pallix {
namespace {

struct FixedSource {
  std::array<double, 6> getInitialPhotonPositionDirection(Random&) const { return {1, 2, 0, 0, 0.6, 0.8}; }
  double getInitialPhotonWeight() const { return 0.5; }
};

TEST(PhotonTest, LaunchAndStepsCountEveryFreePath) {
  Photon photon;
  Random rng(1);
  photon.setNewPosition(7, 7, 7);
  photon.updatePosition(1.0);
  photon.launch(FixedSource{}, rng);
  EXPECT_EQ(photon.getMultipleScattering(), 0);
  EXPECT_EQ(photon.getWeight(), 0.5);
  EXPECT_EQ(photon.getNewPosition(), (Vec3{1, 2, 0}));
  EXPECT_EQ(photon.getOldPosition(), (Vec3{7, 7, 7}));  // launch keeps the old position
  photon.updatePosition(5.0);
  photon.updateWeight(0.5);
  photon.updatePosition(1.0);
  photon.setDirection(0, 0, 1);
  photon.updatePosition(1.0);
  EXPECT_EQ(photon.getMultipleScattering(), 3);
  EXPECT_EQ(photon.getOldPosition(), (Vec3{1, 5.6, 4.8}));
  EXPECT_EQ(photon.getNewPosition(), (Vec3{1, 5.6, 5.8}));
}

// Two scatterings with w0 = 0.7 leave 0.49 of the weight; each turns the direction by the
// angle the medium samples from the same random numbers.
TEST(PhotonTest, VolumeScatteringTurnsByTheSampledAngleAndWeighsByW0) {
  Control control;
  control.pfType = 0;
  HomogeneousWater water;
  water.setForRun(control);
  Photon photon;
  Random rng = Random::stream(5, {1});
  photon.launch(FixedSource{}, rng);
  photon.setWeight(1.0);
  for (int i = 0; i < 2; ++i) {
    Random replica = rng;
    const double theta = water.getScatteringAngle(replica);
    const Vec3 before = photon.getDirection();
    photon.volumeScattering(water, 0.7, rng);
    EXPECT_NEAR(dot(before, photon.getDirection()), std::cos(theta), 1e-12);
    EXPECT_NEAR(norm(photon.getDirection()), 1.0, 1e-12);
  }
  EXPECT_DOUBLE_EQ(photon.getWeight(), 0.49);
}

}  // namespace
}  // namespace pallix
