#include "orvel/phase/FournierForand.h"

#include <cmath>
#include <stdexcept>

#include "orvel/phase/PhaseFormulas.h"

FournierForand::FournierForand(double JungeCoeff, double realIndex) : JungeCoeff_(JungeCoeff), realIndex_(realIndex) {
  if (!std::isfinite(JungeCoeff) || !std::isfinite(realIndex) || JungeCoeff == 3.0 || realIndex == 1.0) {
    throw std::invalid_argument("Fournier-Forand needs a Junge slope other than 3 and a real index other than 1");
  }
  PhaseFunctionAngles::Grid beta{};
  for (std::size_t i = 1; i < thetas.size(); ++i) beta[i] = getHaltrinPF(thetas[i]);
  // Straight line through the points at 0.01 and 0.012589 deg, extended to 0 deg.
  beta[0] = beta[2] + (thetas[2] - thetas[0]) / (thetas[2] - thetas[1]) * (beta[1] - beta[2]);
  install(tabulatePhaseFunction(thetas, beta, PhaseFunctionAngles::getForwardAngleIndexForHighPeakedPhaseFunction()));
}

double FournierForand::getHaltrinPF(double theta) const {
  return PhaseFormulas::fournierForand(JungeCoeff_, realIndex_, theta);
}
