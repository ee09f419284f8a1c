#pragma once
// Isotropic scattering: beta = 1/(4 pi) at every angle, bb/b = 1/2.

#include "orvel/phase/PhaseFunction.h"

class IsotropicPF final : public PhaseFunction {
 public:
  IsotropicPF();

  double getBbRatio() const override { return 0.5; }
  double getF() const override { return 0.0; }
  std::optional<PercentScatteringAngles> getPercentScatteringAngles() const override { return std::nullopt; }
  double getSPF(double theta) const override;
  std::vector<double> getSPFarrayForDisplay(int n) const override;
  PhaseFunctionTable getSPFarrays() const override { return tables_; }
  // theta = acos(1 - 2 xi).
  double getScatteringAngle(Random& rng) const override;

 private:
  PhaseFunctionTable tables_;  // grid angles, beta, P = (1 - cos theta)/2
};
