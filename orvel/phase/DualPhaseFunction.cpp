#include "orvel/phase/DualPhaseFunction.h"

#include <cmath>
#include <stdexcept>

#include "shared/VarnoMathLib.h"

DualPhaseFunction::DualPhaseFunction(const PhaseFunction& PF1, const PhaseFunction& PF2, double b1, double b2,
                                     bool isPFtruncated, double initialForwardScat)
    : b1_(b1), b2_(b2), isPFtruncated_(isPFtruncated) {
  if (!(std::isfinite(b1) && std::isfinite(b2) && b1 >= 0.0 && b2 >= 0.0 && b1 + b2 > 0.0)) {
    throw std::invalid_argument(
        "the scattering coefficients of the two phase-function components must be non-negative and not both zero");
  }
  if (!std::isfinite(initialForwardScat)) throw std::invalid_argument("forward cut ratio is not a number");
  constexpr std::size_t n = PhaseFunctionAngles::kAngleCount;

  // The mixture, weighted by scattering coefficient, tabulated with trapezoids through the
  // forward peak.
  const auto beta1 = PF1.getSPFarrays()[1];
  const auto beta2 = PF2.getSPFarrays()[1];
  PhaseFunctionAngles::Grid beta{};
  for (std::size_t i = 0; i < n; ++i) beta[i] = (b1 * beta1[i] + b2 * beta2[i]) / (b1 + b2);
  install(tabulatePhaseFunction(thetas, beta, PhaseFunctionAngles::getForwardAngleIndexForHighPeakedPhaseFunction()));

  // Truncation index: the first grid index with P above the cut ratio.
  for (std::size_t i = 0; i < n; ++i) {
    if (cumulativePF[i] > initialForwardScat) {
      truncationIndex_ = static_cast<int>(i);
      break;
    }
  }
  if (!isPFtruncated) {
    Tpf = pf;
    TcumulativePF = cumulativePF;
    TpfSpline = pfSpline;
    TcumulativePFSpline = cumulativePFSpline;
    TprobabilityIndex = probabilityIndex;
    return;
  }

  // The normalised mixture held at its value at the cut angle below it, integrated with
  // trapezoids up to the cut; F is the share of the mixture the constant leaves out.
  const auto t = static_cast<std::size_t>(truncationIndex_);
  truncationAngle_ = thetas[t];
  PhaseFunctionAngles::Grid truncated = pf;
  for (std::size_t i = 0; i < t; ++i) truncated[i] = pf[t];
  auto table = tabulatePhaseFunction(thetas, truncated, truncationIndex_);
  F_ = 1.0 - table.total;
  Tpf = table.pf;
  TcumulativePF = table.cumulativePF;
  TpfSpline = std::move(table.pfSpline);
  TcumulativePFSpline = std::move(table.cumulativePFSpline);
  TprobabilityIndex = SplineBracketIndex(TcumulativePF);
}

double DualPhaseFunction::getSPF(double theta) const {
  return isPFtruncated_ ? getTruncatedSPF(theta) : getUntruncatedSPF(theta);
}

double DualPhaseFunction::getTruncatedSPF(double theta) const {
  if (theta < truncationAngle_) return Tpf[0];
  return VarnoMathLib::splint(thetaIndex, Tpf, TpfSpline, theta);
}

double DualPhaseFunction::getTruncatedScatteringAngle(double d) const {
  return clampScatteringAngle(VarnoMathLib::splint(TprobabilityIndex, thetas, TcumulativePFSpline, d));
}

std::optional<PercentScatteringAngles> DualPhaseFunction::getPercentScatteringAngles() const {
  PercentScatteringAngles angles{};
  for (std::size_t k = 0; k < angles.size(); ++k) {
    angles[k] = PhaseFunctionAngles::radiansToDegrees(getUntruncatedScatteringAngle(0.1 * static_cast<double>(k + 1)));
  }
  return angles;
}

PhaseFunctionTable DualPhaseFunction::getTruncatedSPFarrays() const { return {thetas, Tpf, TcumulativePF}; }
