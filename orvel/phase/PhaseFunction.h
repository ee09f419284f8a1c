#pragma once
// The interface of every phase-function model of the visibility simulator.
//
// Conventions (all models):
//   - theta is the scattering angle in radians, 0 to pi (the percent-scattering angles
//     alone are in degrees);
//   - the value beta(theta) is per steradian, normalised so that
//     2 pi * integral_0^pi beta(theta) sin(theta) dtheta = 1;
//   - the cumulative distribution P(theta) = 2 pi * integral_0^theta beta sin dtheta'
//     has P(0) = 0 and P(pi) = 1;
//   - the backscattering ratio bb/b = 1 - P(pi/2).
// A model builds its tables in its constructor and never changes afterwards, so every
// operation is const and may be called from any thread; the caller supplies the random
// generator for sampling.

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "orvel/phase/PhaseFunctionAngles.h"
#include "shared/Random.h"

// Three rows of 150 values on the common grid: row 0 the grid angles (radians),
// row 1 beta on the grid (1/sr), row 2 P on the grid.
using PhaseFunctionTable = std::array<PhaseFunctionAngles::Grid, 3>;

// The angles (degrees) enclosing 10, 20, 30, 40 and 50 % of the scattering.
using PercentScatteringAngles = std::array<double, 5>;

class PhaseFunction {
 public:
  virtual ~PhaseFunction() = default;

  // bb/b, the fraction of scattering into the backward hemisphere.
  virtual double getBbRatio() const = 0;

  // The fraction of scattering removed by forward truncation (0 for every model but the
  // particle-plus-water mixture with truncation on).
  virtual double getF() const = 0;

  // The five percent-scattering angles in degrees; only the particle-plus-water
  // mixture has them, every other model returns std::nullopt.
  virtual std::optional<PercentScatteringAngles> getPercentScatteringAngles() const = 0;

  // beta(theta) per steradian, theta in radians.
  virtual double getSPF(double theta) const = 0;

  // n values beta(theta_i) at theta_i = pi i / (n - 1), i = 0 ... n - 1 (for n = 1 the
  // single value at 0; empty for n <= 0).
  virtual std::vector<double> getSPFarrayForDisplay(int n) const = 0;

  // The grid angles, beta and P on the grid (a copy).
  virtual PhaseFunctionTable getSPFarrays() const = 0;

  // A random scattering angle (radians, 0 to pi) with probability density
  // 2 pi beta(theta) sin(theta). Draws exactly one uniform number from `rng`; allocates
  // nothing.
  virtual double getScatteringAngle(Random& rng) const = 0;

 protected:
  PhaseFunction() = default;
  PhaseFunction(const PhaseFunction&) = default;
  PhaseFunction& operator=(const PhaseFunction&) = default;
};

// The values f(theta_i) at the n display angles theta_i = pi i / (n - 1): the common body
// of every model's getSPFarrayForDisplay.
template <class Function>
std::vector<double> evaluateAtDisplayAngles(int n, Function&& f) {
  std::vector<double> values(static_cast<std::size_t>(std::max(n, 0)));
  for (int i = 0; i < n; ++i) values[static_cast<std::size_t>(i)] = f(PhaseFunctionAngles::displayAngle(i, n));
  return values;
}
