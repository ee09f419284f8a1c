#include "orvel/phase/TwoTermHenyeyGreenstein.h"

#include <cmath>
#include <stdexcept>

#include "orvel/phase/PhaseFormulas.h"
#include "shared/VarnoMathLib.h"

TwoTermHenyeyGreenstein::TwoTermHenyeyGreenstein(double g1, double g2, double g12Weight)
    : g1_(g1), g2_(g2), weight_(g12Weight) {
  if (!(std::abs(g1) < 1.0 && std::abs(g2) < 1.0)) {
    throw std::invalid_argument("Henyey-Greenstein asymmetries g1 and g2 must lie between -1 and 1");
  }
  if (!(g12Weight >= 0.0 && g12Weight <= 1.0)) {
    throw std::invalid_argument("two-term Henyey-Greenstein weight must lie between 0 and 1");
  }
  for (std::size_t i = 0; i < thetas.size(); ++i) {
    pf[i] = getSPF(thetas[i]);
    cumulativePF[i] = i == 0 ? 0.0 : PhaseFormulas::twoTermHenyeyGreensteinCumulative(g1, g2, g12Weight, thetas[i]);
  }
  backscatteringRatio = 1.0 - PhaseFormulas::twoTermHenyeyGreensteinCumulative(g1, g2, g12Weight, M_PI / 2);
  pfSpline = VarnoMathLib::spline(thetas, pf, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  cumulativePFSpline = VarnoMathLib::spline(cumulativePF, thetas, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  indexTables();
}

double TwoTermHenyeyGreenstein::getSPF(double theta) const {
  return PhaseFormulas::twoTermHenyeyGreenstein(g1_, g2_, weight_, theta);
}

std::vector<double> TwoTermHenyeyGreenstein::getSPFarrayForDisplay(int n) const {
  return evaluateAtDisplayAngles(n, [&](double theta) { return getSPF(theta); });
}
