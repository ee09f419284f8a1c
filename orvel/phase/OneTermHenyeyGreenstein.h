#pragma once
// The one-term Henyey-Greenstein phase function of asymmetry g (the mean cosine of the
// scattering angle):
//   beta(theta) = (1 - g^2) / (4 pi (1 + g^2 - 2 g cos theta)^(3/2)),
// evaluated, integrated and sampled in closed form.

#include "orvel/phase/PhaseFunction.h"

class OneTermHenyeyGreenstein final : public PhaseFunction {
 public:
  // Throws std::invalid_argument unless -1 < g < 1 (|g| = 1 is a delta function). g = 0
  // is the isotropic limit.
  explicit OneTermHenyeyGreenstein(double g = 0.925);

  double getBbRatio() const override { return backscatteringRatio_; }
  double getF() const override { return 0.0; }
  std::optional<PercentScatteringAngles> getPercentScatteringAngles() const override { return std::nullopt; }
  double getSPF(double theta) const override;
  std::vector<double> getSPFarrayForDisplay(int n) const override;
  PhaseFunctionTable getSPFarrays() const override { return tables_; }
  double getScatteringAngle(Random& rng) const override;

  // P(theta) = (1 - g^2)/(2g) [1/(1 - g) - 1/sqrt(1 + g^2 - 2 g cos theta)].
  double getHGintegral(double theta) const;

  double getG() const { return g_; }

 private:
  double g_;
  double backscatteringRatio_;  // 1 - P(pi/2)
  PhaseFunctionTable tables_;   // grid angles, beta, P
};
