#pragma once
// Scattering by pure water: beta = 3/(16 pi) (1 + cos^2 theta), bb/b = 1/2, sampled by
// the exact inverse of its cumulative distribution.

#include "orvel/phase/PhaseFunction.h"

class PureWaterPF final : public PhaseFunction {
 public:
  PureWaterPF();

  double getBbRatio() const override { return 0.5; }
  double getF() const override { return 0.0; }
  std::optional<PercentScatteringAngles> getPercentScatteringAngles() const override { return std::nullopt; }
  double getSPF(double theta) const override;
  std::vector<double> getSPFarrayForDisplay(int n) const override;
  PhaseFunctionTable getSPFarrays() const override { return tables_; }
  double getScatteringAngle(Random& rng) const override;

  // P(theta) = -cos^3(theta)/8 - 3 cos(theta)/8 + 1/2.
  static double getPureWaterIntegral(double theta);

 private:
  PhaseFunctionTable tables_;  // grid angles, beta, P
};
