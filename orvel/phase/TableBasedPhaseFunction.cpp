#include "orvel/phase/TableBasedPhaseFunction.h"

#include "shared/VarnoMathLib.h"

void TableBasedPhaseFunction::install(PhaseFunctionTabulation&& t) {
  pf = t.pf;
  cumulativePF = t.cumulativePF;
  pfSpline = std::move(t.pfSpline);
  cumulativePFSpline = std::move(t.cumulativePFSpline);
  backscatteringRatio = t.backscatteringRatio;
  indexTables();
}

void TableBasedPhaseFunction::indexTables() {
  thetaIndex = SplineBracketIndex(thetas);
  probabilityIndex = SplineBracketIndex(cumulativePF);
}

double TableBasedPhaseFunction::splineSPF(double theta) const {
  return VarnoMathLib::splint(thetaIndex, pf, pfSpline, theta);
}

double TableBasedPhaseFunction::angleAtProbability(double d) const {
  return clampScatteringAngle(VarnoMathLib::splint(probabilityIndex, thetas, cumulativePFSpline, d));
}

double TableBasedPhaseFunction::getSPF(double theta) const { return splineSPF(theta); }

std::vector<double> TableBasedPhaseFunction::getSPFarrayForDisplay(int n) const {
  return evaluateAtDisplayAngles(n, [&](double theta) { return splineSPF(theta); });
}
