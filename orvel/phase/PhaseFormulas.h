#pragma once
// The closed-form phase-function formulas, written once for both programs.
//
// The visibility simulator's models (IsotropicPF, PureWaterPF, OneTermHenyeyGreenstein,
// TwoTermHenyeyGreenstein, FournierForand) and the instrument simulator's medium call
// these functions, so both evaluate and sample the same expressions.
//
// Angles in radians. Values per steradian, normalised so that
// 2 pi * integral_0^pi beta(theta) sin(theta) dtheta = 1 (the Fournier-Forand shape
// alone is not normalised). Cumulative P(theta) = 2 pi * integral_0^theta beta sin.
// The samplers map one uniform number xi on [0, 1) to an angle theta with P(theta) = xi,
// and always return an angle in [0, pi] (the cosine is clamped to [-1, 1], since
// rounding can carry it a few ulps past 1 and acos would then give NaN).

#include <algorithm>
#include <cmath>

namespace PhaseFormulas {

inline constexpr double kOneOverFourPi = 0.07957747154594767;       // 1 / (4 pi)
inline constexpr double kFourPi = 12.566370614359172;               // 4 pi
inline constexpr double kThreeOverSixteenPi = 0.05968310365946075;  // 3 / (16 pi)

// Below this |g| the Henyey-Greenstein cumulative and inverse lose all precision to
// cancellation (their (1 - g^2)/(2g) factor multiplies a difference of order g); the
// isotropic limit, off by O(g), is used instead.
inline constexpr double kIsotropicLimitG = 1e-8;

// acos of a cosine that rounding may have carried just outside [-1, 1].
inline double clampedAcos(double cosTheta) { return std::acos(std::clamp(cosTheta, -1.0, 1.0)); }

// ---- Isotropic --------------------------------------------------------------------

inline double isotropic() { return kOneOverFourPi; }
inline double isotropicCumulative(double theta) { return 0.5 * (1.0 - std::cos(theta)); }
inline double isotropicAngle(double xi) { return clampedAcos(1.0 - 2.0 * xi); }

// ---- Pure water (Rayleigh-like, depolarisation neglected) ---------------------------

// 3/(16 pi) (1 + cos^2 theta).
inline double pureWater(double theta) {
  const double mu = std::cos(theta);
  return kThreeOverSixteenPi * (1.0 + mu * mu);
}

// P(theta) = -cos^3/8 - 3 cos/8 + 1/2.
inline double pureWaterCumulative(double theta) {
  const double mu = std::cos(theta);
  return -0.125 * mu * mu * mu - 0.375 * mu + 0.5;
}

// Exact inverse of the cumulative (Cardano's formula for the cubic in cos theta):
// A = 2 (1 - 2 xi), B = sqrt(1 + A^2), cos theta = cbrt(A + B) + cbrt(A - B).
inline double pureWaterAngle(double xi) {
  const double a = 2.0 * (1.0 - 2.0 * xi);
  const double b = std::sqrt(1.0 + a * a);
  return clampedAcos(std::cbrt(a + b) + std::cbrt(a - b));
}

// ---- One-term Henyey-Greenstein ---------------------------------------------------

// (1 - g^2) / (4 pi (1 + g^2 - 2 g cos theta)^(3/2)).
inline double henyeyGreenstein(double g, double theta) {
  const double d = 1.0 + g * g - 2.0 * g * std::cos(theta);
  return (1.0 - g * g) / kFourPi / (d * std::sqrt(d));
}

// P(theta) = (1 - g^2)/(2g) [1/(1 - g) - 1/sqrt(1 + g^2 - 2 g cos theta)].
inline double henyeyGreensteinCumulative(double g, double theta) {
  if (std::abs(g) < kIsotropicLimitG) return isotropicCumulative(theta);
  const double d = 1.0 + g * g - 2.0 * g * std::cos(theta);
  return (1.0 - g * g) / (2.0 * g) * (1.0 / (1.0 - g) - 1.0 / std::sqrt(d));
}

// Inverse of the cumulative: A = (1 + g - 2 g xi)/(1 - g^2) = 1/sqrt(1 + g^2 - 2g cos),
// cos theta = (1 + g^2 - 1/A^2)/(2g).
inline double henyeyGreensteinAngle(double g, double xi) {
  if (std::abs(g) < kIsotropicLimitG) return isotropicAngle(xi);
  const double a = (1.0 + g - 2.0 * g * xi) / (1.0 - g * g);
  return clampedAcos((1.0 + g * g - 1.0 / (a * a)) / (2.0 * g));
}

// ---- Two-term Henyey-Greenstein ---------------------------------------------------

// w HG(g1) + (1 - w) HG(g2).
inline double twoTermHenyeyGreenstein(double g1, double g2, double weight, double theta) {
  return weight * henyeyGreenstein(g1, theta) + (1.0 - weight) * henyeyGreenstein(g2, theta);
}

inline double twoTermHenyeyGreensteinCumulative(double g1, double g2, double weight, double theta) {
  return weight * henyeyGreensteinCumulative(g1, theta) +
         (1.0 - weight) * henyeyGreensteinCumulative(g2, theta);
}

// ---- Fournier-Forand --------------------------------------------------------------

// The Fournier-Forand phase function in Haltrin's form, not normalised: particles with a
// Junge (hyperbolic) size distribution of slope J and real refractive index n relative
// to water. With mu = cos theta (0.999999 at theta = 0, where the form is 0/0),
// v = (3 - J)/2, u = 2 (1 - mu) = 4 sin^2(theta/2), delta = u / (3 (n - 1)^2):
//   S = v (1 - delta) - (1 - delta^v) + (4/u) [1 - delta^(v+1) - (1 + v)(1 - delta)]
//   value = S (1 + mu^2) / ((1 - delta)^2 delta^v).
// Needs n != 1 and J != 3.
inline double fournierForand(double JungeCoeff, double realIndex, double theta) {
  double mu = std::cos(theta);
  if (mu >= 1.0) mu = 0.999999;
  const double v = (3.0 - JungeCoeff) / 2.0;
  const double u = 2.0 * (1.0 - mu);
  const double dn = realIndex - 1.0;
  const double delta = u / (3.0 * dn * dn);
  const double oneMinusDelta = 1.0 - delta;
  const double deltaV = std::pow(delta, v);
  const double s = v * oneMinusDelta - (1.0 - deltaV) +
                   (4.0 / u) * (1.0 - delta * deltaV - (1.0 + v) * oneMinusDelta);
  return s * (1.0 + mu * mu) / (oneMinusDelta * oneMinusDelta * deltaV);
}

}  // namespace PhaseFormulas
