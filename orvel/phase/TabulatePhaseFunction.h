#pragma once
// The tabulation procedure shared by every table-based phase function.
//
// Given unnormalised values beta_i on the 150-angle grid, it integrates
// P(theta) = 2 pi * integral beta sin over the grid: by trapezoids up to a limit index L
// (through the forward peak, where the grid is logarithmic and the spline of beta sin
// would be unreliable), by Romberg integration of the natural spline of beta_i sin(theta_i)
// interval by interval beyond it (one cubic piece per interval, so each integral is exact
// at the first convergence test). It then normalises beta and P by the total T = P_149,
// and fits the two splines the models evaluate: beta over theta, and theta over P (the
// inverse cumulative distribution used for sampling).

#include <vector>

#include "orvel/phase/PhaseFunctionAngles.h"

struct PhaseFunctionTabulation {
  PhaseFunctionAngles::Grid pf{};            // normalised beta on the grid [1/sr]
  PhaseFunctionAngles::Grid cumulativePF{};  // P on the grid, P_0 = 0, P_149 = 1
  std::vector<double> pfSpline;              // natural-spline second derivatives of beta over theta
  std::vector<double> cumulativePFSpline;    // natural-spline second derivatives of theta over P
  double backscatteringRatio = 0;            // 1 - P_119
  double total = 0;                          // T, the integral before normalisation
};

// Tabulates `beta` on the grid `thetas` with trapezoids up to index `trapezoidLimit`
// (0 <= L <= 149). Throws std::invalid_argument when the total is not a positive finite
// number (nothing to normalise) or when P stays constant over a grid interval (the
// inverse cumulative spline would then divide by zero). A P that falls somewhere (a
// table with negative values) is accepted as it is.
PhaseFunctionTabulation tabulatePhaseFunction(const PhaseFunctionAngles::Grid& thetas,
                                              const PhaseFunctionAngles::Grid& beta, int trapezoidLimit);
