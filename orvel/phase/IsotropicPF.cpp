#include "orvel/phase/IsotropicPF.h"

#include "orvel/phase/PhaseFormulas.h"

IsotropicPF::IsotropicPF() {
  auto& [thetas, pf, cumulativePF] = tables_;
  thetas = PhaseFunctionAngles::getHighlyPeakedAngleScheme();
  for (std::size_t i = 0; i < thetas.size(); ++i) {
    pf[i] = PhaseFormulas::isotropic();
    cumulativePF[i] = PhaseFormulas::isotropicCumulative(thetas[i]);
  }
}

double IsotropicPF::getSPF(double) const { return PhaseFormulas::isotropic(); }

std::vector<double> IsotropicPF::getSPFarrayForDisplay(int n) const {
  return evaluateAtDisplayAngles(n, [&](double) { return PhaseFormulas::isotropic(); });
}

double IsotropicPF::getScatteringAngle(Random& rng) const {
  return PhaseFormulas::isotropicAngle(rng.uniform());
}
