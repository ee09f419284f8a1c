#pragma once
// Statistical check of a phase-function sampler against a cumulative table.
//
// Draws n angles and bins them between consecutive table angles; the expected share of
// bin i is P_i - P_{i-1}. Bins are merged until each expects at least 25 draws, and
// Pearson's chi-square statistic is compared with its distribution under the null
// hypothesis (mean dof, standard deviation sqrt(2 dof)).

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

#include "shared/Random.h"

namespace phasetest {

struct ChiSquare {
  double statistic = 0;
  int degreesOfFreedom = 0;
  int outsideRange = 0;  // draws that are not numbers or lie outside [0, pi]
  // True when the statistic lies within `sigmas` standard deviations above its mean.
  bool passes(double sigmas = 5.0) const {
    return outsideRange == 0 && statistic < degreesOfFreedom + sigmas * std::sqrt(2.0 * degreesOfFreedom);
  }
};

template <class Sampler>
ChiSquare chiSquareAgainstTable(Sampler&& draw, std::span<const double> thetas, std::span<const double> cumulative,
                                int n, Random& rng) {
  const std::size_t knots = thetas.size();
  std::vector<long> counts(knots + 1, 0);  // bin k holds draws in [theta_{k-1}, theta_k)
  ChiSquare result;
  for (int i = 0; i < n; ++i) {
    const double theta = draw(rng);
    if (!(theta >= 0.0 && theta <= M_PI)) {
      ++result.outsideRange;
      continue;
    }
    const auto k = static_cast<std::size_t>(std::upper_bound(thetas.begin(), thetas.end(), theta) - thetas.begin());
    ++counts[std::min(k, knots - 1)];  // theta = pi goes into the last interval
  }
  double expectedRun = 0, observedRun = 0;
  int bins = 0;
  for (std::size_t k = 1; k < knots; ++k) {
    expectedRun += n * (cumulative[k] - cumulative[k - 1]);
    observedRun += static_cast<double>(counts[k]);
    if (expectedRun >= 25.0 || k + 1 == knots) {
      if (expectedRun > 0) {
        result.statistic += (observedRun - expectedRun) * (observedRun - expectedRun) / expectedRun;
        ++bins;
      }
      expectedRun = observedRun = 0;
    }
  }
  result.degreesOfFreedom = bins - 1;
  return result;
}

}  // namespace phasetest
