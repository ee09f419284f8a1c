// A volume scattering turns the photon by the sampled deflection and azimuth: the same
// direction, to rounding, as the rotation by the angles themselves
// (BasicEquations::rotateDirection(u, theta, phi)) for the same uniform numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/Photon.h"
#include "orvel/phase/DualPhaseFunction.h"
#include "orvel/phase/OneTermHenyeyGreenstein.h"
#include "orvel/phase/PureWaterPF.h"
#include "shared/BasicEquations.h"
#include "shared/Random.h"

namespace {

using orvel::HomogeneousWater;
using orvel::Photon;

TEST(PhotonDeflection, ScatteringDirectionsFollowTheAngleRotationForTheSameUniforms) {
  const PureWaterPF water;
  const OneTermHenyeyGreenstein particles(0.925);
  const auto mixture = std::make_shared<DualPhaseFunction>(water, particles, 0.0019, 0.6981, false, 0.5);
  const HomogeneousWater hw(1.0, 0.7, mixture);
  Random rng(123), replay(123);
  Photon photon;
  // Start on the z axis (the azimuth-free case), then wander through every direction.
  photon.setDirection(0.0, 0.0, -1.0);
  for (int i = 0; i < 200000; ++i) {
    const Vec3 before = photon.getDirection();
    photon.volumeScattering(hw, rng);
    const double theta = hw.getScatteringAngle(replay);
    const double phi = 2 * std::numbers::pi * replay.uniform();
    const Vec3 expected = BasicEquations::rotateDirection(before, theta, phi);
    const Vec3 got = photon.getDirection();
    for (int k = 0; k < 3; ++k)
      ASSERT_NEAR(got[k], expected[k], 1e-14) << "step " << i << ", component " << k;
    photon.setDirection(expected[0], expected[1], expected[2]);  // no drift between the two forms
  }
}

}  // namespace
