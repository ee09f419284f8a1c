// How the three photon loops step, scatter, tally and stop, seen through a detector and a
// housing that record what the loops ask of them.

#include "pallix/engine/PhotonLoops.h"

#include <gtest/gtest.h>

#include <vector>

#include "pallix/engine/Control.h"
#include "pallix/engine/HomogeneousWater.h"

namespace pallix {
namespace {

// Launches every photon at the origin along +z with weight 1.
struct StraightSource {
  std::array<double, 6> getInitialPhotonPositionDirection(Random&) const { return {0, 0, 0, 0, 0, 1}; }
  double getInitialPhotonWeight() const { return 1.0; }
};

// Records each question; reports a hit on the given step of each photon (0: never).
struct RecordingSensor {
  int hitOnStep = 0;
  mutable std::vector<int> askedOnStep;
  mutable std::vector<double> askedAtZ;
  int tallies = 0;

  bool isHit(const Photon& p) const {
    askedOnStep.push_back(p.getMultipleScattering());
    askedAtZ.push_back(p.getNewPosition()[2]);
    return p.getMultipleScattering() == hitOnStep;
  }
  void tally(Photon& p) {
    ++tallies;
    p.setWeight(0.0);
  }
};

// Inside or outside everywhere; at the boundary multiplies the weight by `factor`.
struct RecordingHousing {
  bool inside = true;
  double factor = 0.0;
  mutable int boundaryCalls = 0;

  bool isWithinBoundary(const Vec3&) const { return inside; }
  void processBoundary(Photon& p, Random&) const {
    ++boundaryCalls;
    p.updateWeight(factor);
  }
};

HomogeneousWater isotropicWater() {
  HomogeneousWater water;
  water.setMediumParameters(1.0, 0.7, 3);
  return water;
}

TEST(MediumPhotonLoop, StopsAtTheStepLimitOrTheWeightLimit) {
  struct Case {
    const char* what;
    int nMaxScat;
    double w0;
    double minWeight;
    int hitOnStep;
    bool inside;
    int stepsPerPhoton;
  };
  const Case cases[] = {
      {"step limit", 5, 0.5, 1e-7, 0, true, 5},
      {"weight 0.125 at or below 0.2 after three scatterings", 5, 0.5, 0.2, 0, true, 3},
      {"weight exactly at the limit ends the photon", 5, 0.5, 0.25, 0, true, 2},
      {"w0 = 0 ends it at the first scattering", 5, 0.0, 1e-7, 0, true, 1},
      {"a step limit of 0 still takes one step", 0, 0.5, 1e-7, 0, true, 1},
      {"the detector ends it", 5, 0.9, 1e-7, 2, true, 2},
      {"the detector is asked before the housing", 5, 0.9, 1e-7, 1, false, 1},
      {"a lost photon ends at the boundary", 5, 0.9, 1e-7, 0, false, 1},
  };
  const HomogeneousWater water = isotropicWater();
  for (const Case& c : cases) {
    RecordingSensor sensor;
    sensor.hitOnStep = c.hitOnStep;
    RecordingHousing housing;
    housing.inside = c.inside;
    Photon photon;
    Random rng = Random::stream(1, {2, 3});
    runPallix(3, sensor, StraightSource{}, housing, water, MediumLoopLimits{c.minWeight, c.nMaxScat, c.w0},
              photon, rng);
    ASSERT_EQ(sensor.askedOnStep.size(), static_cast<std::size_t>(3 * c.stepsPerPhoton)) << c.what;
    for (int i = 0; i < 3 * c.stepsPerPhoton; ++i)
      EXPECT_EQ(sensor.askedOnStep[static_cast<std::size_t>(i)], i % c.stepsPerPhoton + 1) << c.what;
    EXPECT_EQ(sensor.tallies, c.hitOnStep > 0 ? 3 : 0) << c.what;
    const bool lostAtBoundary = !c.inside && c.hitOnStep == 0;
    EXPECT_EQ(housing.boundaryCalls, lostAtBoundary ? 3 : 0) << c.what;
  }
}

TEST(KPhotonLoop, TwoStepsOfTwiceTheTubeWithOneBoundaryBetween) {
  RecordingSensor sensor;
  RecordingHousing housing;
  housing.factor = 1.0;
  Photon photon;
  Random rng(5);
  runForK(4, sensor, StraightSource{}, housing, 15.0, photon, rng);
  EXPECT_EQ(housing.boundaryCalls, 4);
  ASSERT_EQ(sensor.askedOnStep.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(sensor.askedOnStep[i], 2);
    EXPECT_DOUBLE_EQ(sensor.askedAtZ[i], 60.0);  // the boundary left the photon's path alone
  }
}

TEST(CalibrationPhotonLoop, BouncesAtLeastOnceWhileTheWeightIsAboveTheLimit) {
  struct Case {
    double minWeight;
    int boundaryCallsPerPhoton;  // the diffuser, then one per step that misses the detector
    int detectorQuestionsPerPhoton;
  };
  // Each boundary halves the weight: 0.5 after the diffuser, then 0.25, 0.125, 0.0625.
  const Case cases[] = {{0.1, 4, 3}, {0.9, 2, 1}, {0.3, 2, 1}, {0.2, 3, 2}};
  for (const Case& c : cases) {
    RecordingSensor sensor;
    RecordingHousing housing;
    housing.factor = 0.5;
    Photon photon;
    Random rng(9);
    runForBetaCalibration(2, sensor, StraightSource{}, housing, c.minWeight, photon, rng);
    EXPECT_EQ(housing.boundaryCalls, 2 * c.boundaryCallsPerPhoton) << c.minWeight;
    ASSERT_EQ(sensor.askedOnStep.size(), static_cast<std::size_t>(2 * c.detectorQuestionsPerPhoton));
    EXPECT_DOUBLE_EQ(sensor.askedAtZ[0], 2000.0) << "steps of 1000 cm";
  }
}

}  // namespace
}  // namespace pallix
