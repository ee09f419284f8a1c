#pragma once
// The phase function of natural water: two components (pure water and particles) mixed
// in proportion to their scattering coefficients, optionally with the forward peak of
// the mixture cut off (truncation).
//
// Truncation holds the mixture's value constant below a cut angle, the first grid angle
// at which the cumulative distribution exceeds the forward cut ratio, and renormalises.
// The share F of scattering removed this way is then treated as unscattered light: the
// run rescales the medium's attenuation and albedo by F, which shortens the photon paths
// through strongly forward-scattering water. Only sampling and getSPF see the
// truncation; bb/b, the percent-scattering angles, the display curve and the tables
// always describe the untruncated mixture.

#include "orvel/phase/TableBasedPhaseFunction.h"

class DualPhaseFunction final : public TableBasedPhaseFunction {
 public:
  // Mixes PF1 and PF2 (only their grid values are used; neither is kept) with scattering
  // coefficients b1 and b2 (any common unit). With `isPFtruncated`, cuts the mixture at
  // the first grid index whose cumulative probability exceeds `initialForwardScat`.
  // Throws std::invalid_argument when b1 or b2 is negative or not finite, when both are
  // zero (a negative coefficient would make the mixture negative and its sampling table
  // meaningless), or when the cut ratio is not a finite number.
  DualPhaseFunction(const PhaseFunction& PF1, const PhaseFunction& PF2, double b1, double b2, bool isPFtruncated,
                    double initialForwardScat);

  // The truncated value when truncation is on, else the untruncated spline.
  double getSPF(double theta) const override;
  // One uniform draw through the truncated or untruncated inverse cumulative spline.
  double getScatteringAngle(Random& rng) const override {
    const double xi = rng.uniform();
    return isPFtruncated_ ? getTruncatedScatteringAngle(xi) : getUntruncatedScatteringAngle(xi);
  }
  double getF() const override { return F_; }
  // The untruncated angles enclosing 10 ... 50 % of the scattering, in degrees.
  std::optional<PercentScatteringAngles> getPercentScatteringAngles() const override;

  double getUntruncatedSPF(double theta) const { return splineSPF(theta); }
  // The untruncated angle whose cumulative probability is d.
  double getUntruncatedScatteringAngle(double d) const { return angleAtProbability(d); }
  // The constant forward value below the cut angle, the spline of the truncated mixture
  // from it on.
  double getTruncatedSPF(double theta) const;
  // The truncated angle whose cumulative probability is d.
  double getTruncatedScatteringAngle(double d) const;

  bool isTruncated() const { return isPFtruncated_; }
  // The first grid index with P above the cut ratio (0 if none).
  int getTruncationIndex() const { return truncationIndex_; }
  // The cut angle [rad] (0 with truncation off).
  double getTruncationAngle() const { return truncationAngle_; }
  // The truncated tables: grid angles, beta and P (the untruncated ones with truncation off).
  PhaseFunctionTable getTruncatedSPFarrays() const;

 private:
  double b1_, b2_;
  bool isPFtruncated_;
  int truncationIndex_ = 0;
  double F_ = 0.0;
  double truncationAngle_ = 0.0;
  PhaseFunctionAngles::Grid Tpf{};
  PhaseFunctionAngles::Grid TcumulativePF{};
  std::vector<double> TpfSpline;
  std::vector<double> TcumulativePFSpline;
  SplineBracketIndex TprobabilityIndex;  // brackets over the truncated P
};
