// The instrument's sampling tables find their spline interval through a
// SplineBracketIndex; the sampled angles must be the bisection spline's, to the last bit,
// and a scattering must turn the photon as the rotation by the angles does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "pallix/engine/HomogeneousWater.h"
#include "pallix/engine/PhaseTables.h"
#include "pallix/engine/Photon.h"
#include "shared/BasicEquations.h"
#include "shared/Random.h"
#include "shared/VarnoMathLib.h"

namespace {

using namespace pallix;

struct TableCase {
  std::string name;
  std::shared_ptr<const PhaseTable> table;
};

std::vector<TableCase> tableCases() {
  const PhaseParameters p;
  std::vector<double> angles(19), values(19);
  for (std::size_t i = 0; i < angles.size(); ++i) {
    angles[i] = std::numbers::pi * static_cast<double>(i) / 18.0;
    values[i] = 1.0 / (0.05 + angles[i] * angles[i]);
  }
  const auto ffAngles = fournierForandAngles(p.forwardAngle);
  std::vector<double> ffValues(ffAngles.size());
  for (std::size_t i = 0; i < ffAngles.size(); ++i) ffValues[i] = 1.0 / (1e-3 + ffAngles[i] * ffAngles[i]);
  return {{"TwoTerm", buildTwoTermHGTable(p)},
          {"FournierForandShape", buildFournierForandTable(ffAngles, ffValues, p, 1.0)},
          {"File", buildFileTable(5, "user.txt", angles, values)}};
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(PhaseTableIndex, SampledAnglesAreTheBisectionSplinesToTheLastBit) {
  for (const auto& c : tableCases()) {
    SCOPED_TRACE(c.name);
    const PhaseTable& t = *c.table;
    std::vector<double> xi(t.x.begin(), t.x.end());  // every knot
    for (double x : t.x) xi.push_back(std::nextafter(x, 0.0));
    Random rng(3);
    for (int i = 0; i < 100000; ++i) xi.push_back(rng.uniform() * t.x.back() * 1.01);
    for (double u : xi) {
      const double plain =
          t.clampEnd && u >= t.x.back() ? t.y.back() : VarnoMathLib::splint(t.x, t.y, t.y2, u);
      ASSERT_TRUE(sameBits(t.sample(u), plain)) << u;
    }
  }
}

TEST(PhaseTableIndex, ScatteringTurnsThePhotonAsTheAngleRotationDoes) {
  HomogeneousWater water;
  water.setMediumParameters(1.0, 0.8, 1);
  water.setPhaseTable(buildTwoTermHGTable(PhaseParameters{}));
  Random rng(11), replay(11);
  Photon photon;
  photon.setDirection(0.0, 0.0, 1.0);
  for (int i = 0; i < 100000; ++i) {
    const Vec3 before = photon.getDirection();
    photon.volumeScattering(water, 0.8, rng);
    const double theta = water.getScatteringAngle(replay);
    const double phi = 2.0 * std::numbers::pi * replay.uniform();
    const Vec3 expected = BasicEquations::rotateDirection(before, theta, phi);
    for (int k = 0; k < 3; ++k) ASSERT_NEAR(photon.getDirection()[k], expected[k], 1e-14) << i;
    photon.setDirection(expected);
  }
}

}  // namespace
