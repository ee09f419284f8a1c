#pragma once
// The common part of the table-based phase functions (two-term Henyey-Greenstein,
// Fournier-Forand, Petzold, file-supplied, the particle-plus-water mixture).
//
// Such a model holds beta and P on the 150-angle grid with two natural splines: beta
// over theta for values, and theta over P for sampling, which inverts the cumulative
// distribution by a cubic spline: one uniform draw, one constant-time bracket lookup over
// the 150 knots (SplineBracketIndex, the same interval as a bisection) and one cubic, with
// no allocation.

#include <numbers>
#include <vector>

#include "orvel/phase/PhaseFunction.h"
#include "orvel/phase/TabulatePhaseFunction.h"
#include "shared/SplineBracketIndex.h"

class TableBasedPhaseFunction : public PhaseFunction {
 public:
  double getBbRatio() const override { return backscatteringRatio; }
  double getF() const override { return 0.0; }
  std::optional<PercentScatteringAngles> getPercentScatteringAngles() const override { return std::nullopt; }
  // The spline of beta over the grid at theta.
  double getSPF(double theta) const override;
  std::vector<double> getSPFarrayForDisplay(int n) const override;
  PhaseFunctionTable getSPFarrays() const override { return {thetas, pf, cumulativePF}; }
  // The spline of theta over P at one uniform number.
  double getScatteringAngle(Random& rng) const override { return angleAtProbability(rng.uniform()); }

 protected:
  TableBasedPhaseFunction() : thetas(PhaseFunctionAngles::getHighlyPeakedAngleScheme()) {}

  // Installs the result of the tabulation procedure (and indexes the tables).
  void install(PhaseFunctionTabulation&& t);
  // Builds the bracket indexes over the grid and over P: for a model that fills the
  // tables and splines itself, once they are complete.
  void indexTables();

  // The untruncated spline answers.
  double splineSPF(double theta) const;
  // The angle whose cumulative probability is d, kept within [0, pi] (a cubic piece may
  // overshoot the grid's ends by a little).
  double angleAtProbability(double d) const;

  PhaseFunctionAngles::Grid thetas;          // the grid [rad]
  PhaseFunctionAngles::Grid pf{};            // normalised beta [1/sr]
  PhaseFunctionAngles::Grid cumulativePF{};  // P
  std::vector<double> pfSpline;              // second derivatives of beta over theta
  std::vector<double> cumulativePFSpline;    // second derivatives of theta over P
  double backscatteringRatio = 0;            // 1 - P_119
  SplineBracketIndex thetaIndex;             // brackets over the grid angles
  SplineBracketIndex probabilityIndex;       // brackets over P
};

// A sampled angle clamped to [0, pi].
inline double clampScatteringAngle(double theta) { return theta < 0.0 ? 0.0 : (theta > std::numbers::pi ? std::numbers::pi : theta); }
