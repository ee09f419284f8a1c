#include "orvel/phase/OneTermHenyeyGreenstein.h"

#include <cmath>
#include <stdexcept>

#include "orvel/phase/PhaseFormulas.h"

OneTermHenyeyGreenstein::OneTermHenyeyGreenstein(double g) : g_(g) {
  if (!(std::abs(g) < 1.0)) {
    throw std::invalid_argument("Henyey-Greenstein asymmetry g must lie between -1 and 1");
  }
  backscatteringRatio_ = 1.0 - getHGintegral(M_PI / 2);
  auto& [thetas, pf, cumulativePF] = tables_;
  thetas = PhaseFunctionAngles::getHighlyPeakedAngleScheme();
  for (std::size_t i = 0; i < thetas.size(); ++i) {
    pf[i] = getSPF(thetas[i]);
    cumulativePF[i] = i == 0 ? 0.0 : getHGintegral(thetas[i]);
  }
}

double OneTermHenyeyGreenstein::getHGintegral(double theta) const {
  return PhaseFormulas::henyeyGreensteinCumulative(g_, theta);
}

double OneTermHenyeyGreenstein::getSPF(double theta) const { return PhaseFormulas::henyeyGreenstein(g_, theta); }

std::vector<double> OneTermHenyeyGreenstein::getSPFarrayForDisplay(int n) const {
  return evaluateAtDisplayAngles(n, [&](double theta) { return getSPF(theta); });
}

double OneTermHenyeyGreenstein::getScatteringAngle(Random& rng) const {
  return PhaseFormulas::henyeyGreensteinAngle(g_, rng.uniform());
}
