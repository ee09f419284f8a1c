#pragma once
// The two-term Henyey-Greenstein phase function
//   beta(theta) = w HG(g1; theta) + (1 - w) HG(g2; theta),
// a forward lobe plus a second (usually backward, g2 < 0) lobe. Values and bb/b are in
// closed form; the cumulative distribution is tabulated in closed form on the grid and
// sampled by the spline of theta over P.

#include "orvel/phase/TableBasedPhaseFunction.h"

class TwoTermHenyeyGreenstein final : public TableBasedPhaseFunction {
 public:
  // Throws std::invalid_argument unless -1 < g1, g2 < 1 and 0 <= weight <= 1 (a weight
  // outside makes the value negative somewhere and the sampling table meaningless).
  TwoTermHenyeyGreenstein(double g1 = 0.9, double g2 = -0.2, double g12Weight = 0.5);

  double getSPF(double theta) const override;
  std::vector<double> getSPFarrayForDisplay(int n) const override;

 private:
  double g1_, g2_, weight_;
};
