#pragma once
// Statistical check that directions were drawn from a Lambertian (cosine-law)
// distribution about a unit axis.
//
// For such directions mu = cos(theta) has P(mu^2 <= m) = m, i.e. mu^2 is uniform on
// [0, 1], and the azimuth about the axis is uniform, so the mean direction is 2/3 of the
// axis. The check compares:
//   - the mean direction with (2/3) axis, component by component, within 5 standard
//     errors (the variance of each component is known in closed form);
//   - the histogram of mu^2 in equal bins with the uniform law, by a chi-square
//     statistic that must stay below its mean plus 5 of its standard deviations.
// No direction may lie on the wrong side of the axis' plane.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "shared/Vec3.h"

namespace orvel::testing {

inline void expectCosineLaw(const std::vector<Vec3>& directions, const Vec3& axis) {
  ASSERT_FALSE(directions.empty());
  const double n = static_cast<double>(directions.size());
  constexpr int kBins = 20;
  std::vector<double> counts(kBins, 0.0);
  Vec3 mean{0.0, 0.0, 0.0};
  int belowPlane = 0;
  for (const Vec3& d : directions) {
    const double mu = dot(d, axis);
    if (mu < 0.0) ++belowPlane;
    const int bin = std::min(kBins - 1, static_cast<int>(mu * mu * kBins));
    counts[static_cast<std::size_t>(std::max(0, bin))] += 1.0;
    for (int i = 0; i < 3; ++i) mean[static_cast<std::size_t>(i)] += d[static_cast<std::size_t>(i)] / n;
  }
  EXPECT_EQ(belowPlane, 0) << "directions on the far side of the surface";

  // Component i of a direction is mu a_i + sqrt(1 - mu^2) cos(phi) e_i for an axis a and
  // a unit e_i perpendicular to it with a_i^2 + e_i^2 = 1; E[mu^2] = 1/2, E[mu] = 2/3,
  // E[(1 - mu^2) cos^2 phi] = 1/4, so Var = a_i^2 (1/2 - 4/9) + (1 - a_i^2) / 4.
  for (int i = 0; i < 3; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const double variance = axis[k] * axis[k] * (0.5 - 4.0 / 9.0) + (1.0 - axis[k] * axis[k]) * 0.25;
    const double se = std::sqrt(variance / n);
    EXPECT_NEAR(mean[k], 2.0 / 3.0 * axis[k], 5.0 * se) << "mean direction component " << i;
  }

  const double expected = n / kBins;
  double chiSquare = 0.0;
  for (double c : counts) chiSquare += (c - expected) * (c - expected) / expected;
  const double dof = kBins - 1;
  EXPECT_LT(chiSquare, dof + 5.0 * std::sqrt(2.0 * dof)) << "cos^2 of the polar angle is not uniform";
}

}  // namespace orvel::testing
