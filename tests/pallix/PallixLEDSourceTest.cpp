#include "pallix/engine/PallixLEDSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace pallix {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

double angleFromAxis(double tilt, const std::array<double, 6>& pd) {
  const double c = std::sin(tilt) * pd[3] + std::cos(tilt) * pd[5];
  return std::acos(std::clamp(c, -1.0, 1.0));
}

// Draw order: radius, azimuth on the disk, azimuth about the axis, polar angle.
TEST(PallixLEDSourceTest, LaunchesFromTheDiskInTheDrawOrder) {
  const PallixLEDSource led(2.5, 0.6, 10 * kDeg, 8 * kDeg, PallixLEDSource::kUniform);
  Random rng = Random::stream(3, {1});
  Random replica = rng;
  const auto pd = led.getInitialPhotonPositionDirection(rng);
  const double r = 0.6 * std::sqrt(replica.uniform());
  const double phi0 = 2 * std::numbers::pi * replica.uniform();
  replica.uniform();
  const double theta = led.getPolarAngle(replica.uniform());
  EXPECT_DOUBLE_EQ(pd[0], -2.5 + r * std::cos(phi0));
  EXPECT_DOUBLE_EQ(pd[1], r * std::sin(phi0));
  EXPECT_EQ(pd[2], 0.0);
  EXPECT_NEAR(angleFromAxis(10 * kDeg, pd), theta, 1e-9);
  EXPECT_EQ(led.getInitialPhotonWeight(), 1.0);

  // Positions are uniform over the disk: half of them within radius / sqrt(2).
  constexpr int kN = 100000;
  int inner = 0;
  for (int i = 0; i < kN; ++i) {
    const auto p = led.getInitialPhotonPositionDirection(rng);
    const double dx = p[0] + 2.5, dy = p[1];
    ASSERT_LE(dx * dx + dy * dy, 0.36 + 1e-12);
    inner += dx * dx + dy * dy < 0.18;
  }
  EXPECT_NEAR(inner, kN / 2, 5 * std::sqrt(kN * 0.25));
}

// A half angle of 0 is a collimated beam along the tilted axis for both types.
TEST(PallixLEDSourceTest, ZeroHalfAngleIsACollimatedBeam) {
  Random rng = Random::stream(3, {2});
  for (int type : {PallixLEDSource::kGaussian, PallixLEDSource::kUniform}) {
    const PallixLEDSource led(2.5, 0.6, 19 * kDeg, 0.0, type);
    for (int i = 0; i < 100; ++i) {
      const auto pd = led.getInitialPhotonPositionDirection(rng);
      EXPECT_NEAR(pd[3], std::sin(19 * kDeg), 1e-15);
      EXPECT_NEAR(pd[4], 0.0, 1e-15);
      EXPECT_NEAR(pd[5], std::cos(19 * kDeg), 1e-15);
    }
  }
  EXPECT_THROW(PallixLEDSource(2.5, 0.6, 0.1, -0.1, PallixLEDSource::kUniform), std::invalid_argument);
  EXPECT_THROW(PallixLEDSource(2.5, 0.6, 0.1, 0.1, 3), std::invalid_argument);
}

// No Gaussian-LED direction lies more than 0.9 (pi/2 - tilt) from the axis, whatever the
// half angle, and even very narrow beams give finite directions near the axis.
TEST(PallixLEDSourceTest, GaussianConeStaysWithinItsTable) {
  const double tilt = 0.5;
  Random rng = Random::stream(3, {3});
  for (double halfDeg : {0.1, 0.3, 1.0, 8.0, 30.0, 90.0}) {
    const PallixLEDSource led(2.5, 0.6, tilt, halfDeg * kDeg, PallixLEDSource::kGaussian);
    double largest = 0.0;
    for (int i = 0; i < 20000; ++i) {
      const auto pd = led.getInitialPhotonPositionDirection(rng);
      ASSERT_TRUE(std::isfinite(pd[3]) && std::isfinite(pd[5])) << halfDeg;
      largest = std::max(largest, angleFromAxis(tilt, pd));
    }
    EXPECT_LE(largest, 0.9 * (std::numbers::pi / 2 - tilt) + 1e-9) << halfDeg;
    EXPECT_LE(largest, led.getAngles()[led.getTableSize() - 1] + 1e-9) << halfDeg;
  }
}

// The polar angles follow the distributions: for the uniform type cos theta is uniform on
// [cos halfFOV, 1]; for the Gaussian type the shares within one and two half angles match
// int exp(-ln2 t^2/h^2) sin t dt over the table's range.
TEST(PallixLEDSourceTest, PolarAnglesFollowTheirDistributions) {
  const double h = 8 * kDeg, tilt = 10 * kDeg;
  constexpr int kN = 100000;
  Random rng = Random::stream(3, {4});

  const PallixLEDSource uniform(2.5, 0.6, tilt, h, PallixLEDSource::kUniform);
  double sumCos = 0.0;
  for (int i = 0; i < kN; ++i) sumCos += std::cos(angleFromAxis(tilt, uniform.getInitialPhotonPositionDirection(rng)));
  const double width = 1 - std::cos(h);
  EXPECT_NEAR(sumCos / kN, 1 - width / 2, 5 * width / std::sqrt(12.0 * kN));

  // Narrow beams too: their table must resolve the Gaussian, not run into its empty tail.
  for (double halfDeg : {0.3, 2.0, 8.0}) {
    const double hg = halfDeg * kDeg;
    const PallixLEDSource gaussian(2.5, 0.6, tilt, hg, PallixLEDSource::kGaussian);
    const double end = gaussian.getAngles()[gaussian.getTableSize() - 1];
    auto energy = [&](double upTo) {
      double sum = 0.0;
      const int steps = 20000;
      for (int i = 0; i < steps; ++i) {
        const double t = (i + 0.5) * upTo / steps;
        sum += std::exp(-std::numbers::ln2 * t * t / (hg * hg)) * std::sin(t);
      }
      return sum * upTo / steps;
    };
    for (double multiple : {1.0, 2.0}) {
      const double p = energy(multiple * hg) / energy(end);
      int within = 0;
      for (int i = 0; i < kN; ++i) {
        within += angleFromAxis(tilt, gaussian.getInitialPhotonPositionDirection(rng)) < multiple * hg;
      }
      // 5 sigma plus the interpolation error of the 20-point table.
      EXPECT_NEAR(within / static_cast<double>(kN), p, 5 * std::sqrt(p * (1 - p) / kN) + 0.003)
          << halfDeg << " degrees, within " << multiple << " half angles";
    }
  }
}

}  // namespace
}  // namespace pallix
