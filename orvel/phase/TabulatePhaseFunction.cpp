#include "orvel/phase/TabulatePhaseFunction.h"

#include <cmath>
#include <stdexcept>

#include "shared/RombergIntegral.h"
#include "shared/VarnoMathLib.h"

PhaseFunctionTabulation tabulatePhaseFunction(const PhaseFunctionAngles::Grid& thetas,
                                              const PhaseFunctionAngles::Grid& beta, int trapezoidLimit) {
  constexpr std::size_t n = PhaseFunctionAngles::kAngleCount;
  constexpr double twoPi = 2.0 * M_PI;
  if (trapezoidLimit < 0 || trapezoidLimit >= static_cast<int>(n)) {
    throw std::invalid_argument("trapezoid limit outside the angle grid");
  }
  const auto limit = static_cast<std::size_t>(trapezoidLimit);

  PhaseFunctionTabulation t;
  auto& P = t.cumulativePF;

  // Trapezoids through the forward peak, 2 pi applied at the end.
  P[0] = 0.0;
  for (std::size_t i = 1; i <= limit; ++i) {
    P[i] = P[i - 1] +
           (thetas[i] - thetas[i - 1]) * (beta[i] * std::sin(thetas[i]) + beta[i - 1] * std::sin(thetas[i - 1])) / 2.0;
  }
  for (std::size_t i = 1; i <= limit; ++i) P[i] *= twoPi;

  // Romberg integration of the spline of beta sin theta, one grid interval at a time.
  RombergIntegral ri;
  ri.setPhaseFunctionArray(thetas, beta);
  for (std::size_t i = limit + 1; i < n; ++i) {
    ri.setIntegralRange(thetas[i - 1], thetas[i]);
    P[i] = twoPi * ri.computePFIntegral() + P[i - 1];
  }

  t.total = P[n - 1];
  if (!(std::isfinite(t.total) && t.total > 0.0)) {
    throw std::invalid_argument("the phase function integrates to no positive total and cannot be normalised");
  }
  for (std::size_t i = 0; i < n; ++i) {
    t.pf[i] = beta[i] / t.total;
    P[i] /= t.total;
  }
  P[n - 1] = 1.0;  // exactly, whatever the rounding of T / T
  for (std::size_t i = 1; i < n; ++i) {
    if (P[i] == P[i - 1]) {
      throw std::invalid_argument("the phase function is zero over a whole grid interval; its cumulative "
                                  "distribution cannot be inverted for sampling");
    }
  }

  t.pfSpline = VarnoMathLib::spline(thetas, t.pf, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  t.cumulativePFSpline = VarnoMathLib::spline(P, thetas, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  t.backscatteringRatio = 1.0 - P[PhaseFunctionAngles::getBackscatteringIndexForHighPeakedPhaseFunction()];
  return t;
}
