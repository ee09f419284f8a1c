#include "orvel/phase/PetzoldPF.h"

#include <cmath>
#include <stdexcept>

#include "orvel/phase/MeasuredTable.h"
#include "shared/VarnoMathLib.h"

PetzoldPF::PetzoldPF(std::span<const double> fileTheta, std::span<const double> fileSPF) {
  checkMeasuredTable("Petzold phase function", fileTheta, fileSPF);
  if (!(fileSPF[0] > 0.0 && fileSPF[1] > 0.0)) {
    throw std::invalid_argument("Petzold phase function: the first two values must be positive");
  }
  const std::size_t forward = PhaseFunctionAngles::getForwardAngleIndexForHighPeakedPhaseFunction();
  const auto y2 = VarnoMathLib::spline(fileTheta, fileSPF, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  PhaseFunctionAngles::Grid beta{};
  for (std::size_t i = forward; i < thetas.size(); ++i) beta[i] = VarnoMathLib::splint(fileTheta, fileSPF, y2, thetas[i]);
  // Log-linear through the first two file points, from 0 deg up to and including 0.1 deg.
  const double theta0 = fileTheta[0], theta1 = fileTheta[1];
  const double logRatio = std::log(fileSPF[0] / fileSPF[1]);
  for (std::size_t i = 0; i <= forward; ++i) {
    beta[i] = std::exp(std::log(fileSPF[1]) + logRatio * (theta1 - thetas[i]) / (theta1 - theta0));
  }
  install(tabulatePhaseFunction(thetas, beta, static_cast<int>(forward)));
}
