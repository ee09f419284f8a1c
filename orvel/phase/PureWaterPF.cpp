#include "orvel/phase/PureWaterPF.h"

#include "orvel/phase/PhaseFormulas.h"

PureWaterPF::PureWaterPF() {
  auto& [thetas, pf, cumulativePF] = tables_;
  thetas = PhaseFunctionAngles::getHighlyPeakedAngleScheme();
  for (std::size_t i = 0; i < thetas.size(); ++i) {
    pf[i] = PhaseFormulas::pureWater(thetas[i]);
    cumulativePF[i] = i == 0 ? 0.0 : getPureWaterIntegral(thetas[i]);
  }
}

double PureWaterPF::getPureWaterIntegral(double theta) { return PhaseFormulas::pureWaterCumulative(theta); }

double PureWaterPF::getSPF(double theta) const { return PhaseFormulas::pureWater(theta); }

std::vector<double> PureWaterPF::getSPFarrayForDisplay(int n) const {
  return evaluateAtDisplayAngles(n, [&](double theta) { return PhaseFormulas::pureWater(theta); });
}

double PureWaterPF::getScatteringAngle(Random& rng) const {
  return PhaseFormulas::pureWaterAngle(rng.uniform());
}
