#include "pallix/engine/PallixLEDSource.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <stdexcept>
#include <string>

#include "shared/BasicEquations.h"
#include "shared/RombergIntegral.h"
#include "shared/VarnoMathLib.h"

namespace pallix {

PallixLEDSource::PallixLEDSource(double center, double radius, double tilt, double halfFOV, int sourceType)
    : center_(center),
      radius_(radius),
      tilt_(tilt),
      halfFOV_(halfFOV),
      sourceType_(sourceType),
      collimated_(halfFOV == 0.0),
      oneMinusCosHalfFOV_(1.0 - std::cos(halfFOV)) {
  if (sourceType != kGaussian && sourceType != kUniform) {
    throw std::invalid_argument("Unknown LED type " + std::to_string(sourceType) + " (0 Gaussian, 1 Uniform).");
  }
  if (!(halfFOV >= 0.0)) throw std::invalid_argument("The LED half angle (fov) must not be negative.");
  if (sourceType == kGaussian && !collimated_) buildGaussianTable();
}

void PallixLEDSource::buildGaussianTable() {
  // exp(t theta^2) is 1/2 at theta = halfFOV.
  const double t = -std::numbers::ln2 / (halfFOV_ * halfFOV_);
  // A ray on the tilted side lies in the face plane at pi/2 - tilt from the axis. The
  // table stops earlier, where the Gaussian has fallen to 1e-7: at halfFOV
  // sqrt(ln 1e7 / ln 2). (Finding that angle only on a 20-point grid over [0, pi/2 - tilt]
  // overshoots it by up to one grid step for narrow beams; the table then runs far into a
  // tail without energy, and the inverse spline through its flat cumulative end no longer
  // follows the Gaussian.)
  const double cutoff = halfFOV_ * std::sqrt(std::log(1e7) / std::numbers::ln2);
  const double maxAngle = std::min(std::numbers::pi / 2.0 - tilt_, cutoff);
  for (int i = 0; i < kTableSize; ++i) {
    angles_[i] = i * 0.9 * maxAngle / (kTableSize - 1);
    gaussian_[i] = std::exp(t * angles_[i] * angles_[i]);
  }

  // Cumulative emitted energy 2 pi int_0^theta gaussian sin theta' dtheta', summed interval
  // by interval (each interval is one cubic piece of the spline, so each Romberg integral
  // converges at once; the sum equals the integral from 0).
  RombergIntegral ri;
  ri.setPhaseFunctionArray(std::span<const double>(angles_), std::span<const double>(gaussian_));
  cumulativeGaussian_[0] = 0.0;
  for (int i = 1; i < kTableSize; ++i) {
    ri.setIntegralRange(angles_[i - 1], angles_[i]);
    cumulativeGaussian_[i] = cumulativeGaussian_[i - 1] + 2.0 * std::numbers::pi * ri.computePFIntegral();
  }

  // For a half angle that is narrow against the grid, the tail of the table holds no
  // energy at double precision (or the spline through the few points that hold it bends
  // below zero): the cumulative distribution stops rising there. The table ends at the
  // last point where it still rises, so that the inverse spline below has strictly
  // increasing abscissae.
  tableSize_ = 1;
  while (tableSize_ < kTableSize && cumulativeGaussian_[tableSize_] > cumulativeGaussian_[tableSize_ - 1]) {
    ++tableSize_;
  }
  if (tableSize_ < 2) {
    // Not even the first interval carries energy: the beam is collimated at this scale.
    collimated_ = true;
    return;
  }
  const double total = cumulativeGaussian_[tableSize_ - 1];
  for (int i = 1; i < tableSize_; ++i) cumulativeGaussian_[i] /= total;
  cumulativeGaussian_[tableSize_ - 1] = 1.0;

  const std::vector<double> y2 = VarnoMathLib::spline(
      std::span<const double>(cumulativeGaussian_.data(), tableSize_),
      std::span<const double>(angles_.data(), tableSize_), VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  std::copy(y2.begin(), y2.end(), cumulativeGaussianSpline_.begin());
}

double PallixLEDSource::getPolarAngle(double xi) const {
  if (collimated_) return 0.0;
  if (sourceType_ == kUniform) return std::acos(1.0 - oneMinusCosHalfFOV_ * xi);
  // Inverse of the cumulative distribution. A cubic through monotonic points can bend a
  // little beyond them, so the angle is kept within the table.
  const double theta = VarnoMathLib::splint(std::span<const double>(cumulativeGaussian_.data(), tableSize_),
                                            std::span<const double>(angles_.data(), tableSize_),
                                            std::span<const double>(cumulativeGaussianSpline_.data(), tableSize_),
                                            xi);
  return std::clamp(theta, 0.0, angles_[tableSize_ - 1]);
}

std::array<double, 6> PallixLEDSource::getInitialPhotonPositionDirection(Random& rng) const {
  // Uniform over the disk: r = radius sqrt(xi).
  const double r = radius_ * std::sqrt(rng.uniform());
  const double phi0 = 2.0 * std::numbers::pi * rng.uniform();
  const double phi = 2.0 * std::numbers::pi * rng.uniform();
  const double theta = getPolarAngle(rng.uniform());
  // Turn (theta, phi) about the LED axis, whose polar angle is the tilt and azimuth 0.
  const Vec3 d = BasicEquations::computeDirection(tilt_, 0.0, theta, phi);
  return {-center_ + r * std::cos(phi0), r * std::sin(phi0), 0.0, d[0], d[1], d[2]};
}

}  // namespace pallix
