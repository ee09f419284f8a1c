#include "orvel/phase/FileSuppliedPF.h"

#include "orvel/phase/MeasuredTable.h"
#include "shared/VarnoMathLib.h"

FileSuppliedPF::FileSuppliedPF(std::span<const double> fileTheta, std::span<const double> fileSPF) {
  checkMeasuredTable("file phase function", fileTheta, fileSPF);
  const auto y2 = VarnoMathLib::spline(fileTheta, fileSPF, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  PhaseFunctionAngles::Grid beta{};
  for (std::size_t i = 1; i < thetas.size(); ++i) beta[i] = VarnoMathLib::splint(fileTheta, fileSPF, y2, thetas[i]);
  // Straight line through grid points 1 and 2, extended to 0 deg.
  beta[0] = beta[2] + (thetas[2] - thetas[0]) / (thetas[2] - thetas[1]) * (beta[1] - beta[2]);
  install(tabulatePhaseFunction(thetas, beta, PhaseFunctionAngles::getForwardAngleIndexForHighPeakedPhaseFunction()));
}
