#pragma once
// Sine and cosine of one angle together, for the photon loops' deflections.
//
// Every scattering needs cos and sin of the deflection theta (0 to pi) and of the
// azimuth phi = 2 pi u (0 to 2 pi). The C library's sincos is accurate for any argument,
// which costs it range checks and table look-ups; for the angles of a rotation the
// classical reduction by quarter turns and two short polynomials suffice:
//   q = nearest integer to x / (pi/2),  r = x - q pi/2 with pi/2 split in two parts
//   (Cody and Waite), |r| <= pi/4;
//   sin r, cos r by the minimax polynomials of the freely distributable fdlibm kernels
//   (error below one unit in the last place on |r| <= pi/4);
//   the quarter turn q (mod 4) swaps and negates the pair.
// The result differs from std::sin and std::cos by a few units in the last place at
// most (absolute error below 1e-15 for |x| <= 1e5). Arguments beyond that, infinities and
// NaN go to the library functions. Pure, inline, no allocation.

#include <cmath>

struct SinCos {
  double sin;
  double cos;
};

inline SinCos sinCos(double x) {
  constexpr double kTwoOverPi = 6.36619772367581382433e-01;
  constexpr double kPiOver2High = 1.57079632673412561417e+00;  // first 33 bits of pi/2
  constexpr double kPiOver2Low = 6.07710050650619224932e-11;   // pi/2 - kPiOver2High
  constexpr double kRoundingShift = 0x1.8p52;                  // adding and subtracting rounds to an integer
  if (!(std::fabs(x) <= 1e5)) [[unlikely]]
    return {std::sin(x), std::cos(x)};
  const double q = (x * kTwoOverPi + kRoundingShift) - kRoundingShift;
  const double r = (x - q * kPiOver2High) - q * kPiOver2Low;  // q kPiOver2High is exact
  const double z = r * r;
  // sin r = r + r^3 S(r^2)
  constexpr double S1 = -1.66666666666666324348e-01, S2 = 8.33333333332248946124e-03,
                   S3 = -1.98412698298579493134e-04, S4 = 2.75573137070700676789e-06,
                   S5 = -2.50507602534068634195e-08, S6 = 1.58969099521155010221e-10;
  const double sr = r + z * r * (S1 + z * (S2 + z * (S3 + z * (S4 + z * (S5 + z * S6)))));
  // cos r = 1 - r^2/2 + r^4 C(r^2), the leading terms summed so as to keep their rounding
  constexpr double C1 = 4.16666666666666019037e-02, C2 = -1.38888888888741095749e-03,
                   C3 = 2.48015872894767294178e-05, C4 = -2.75573143513906633035e-07,
                   C5 = 2.08757232129817482790e-09, C6 = -1.13596475577881948265e-11;
  const double tail = z * z * (C1 + z * (C2 + z * (C3 + z * (C4 + z * (C5 + z * C6)))));
  const double half = 0.5 * z;
  const double w = 1.0 - half;
  const double cr = w + (((1.0 - w) - half) + tail);
  // Quarter turns: (sin, cos)(r + q pi/2) = (s, c), (c, -s), (-s, -c), (-c, s) for q = 0..3.
  const long quarter = static_cast<long>(q) & 3;
  const double s = (quarter & 1) ? cr : sr;
  const double c = (quarter & 1) ? sr : cr;
  return {(quarter & 2) ? -s : s, ((quarter + 1) & 2) ? -c : c};
}
