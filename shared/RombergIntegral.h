#pragma once
// Romberg integration of a function known only as a table.
//
// A natural cubic spline is fitted through the table and integrated with Romberg's method:
// trapezoid sums with the step halved at each stage, extrapolated to zero step by a
// polynomial through the last five (step^2, sum) pairs. Two integrands:
//   general         the spline of y(x)
//   phase function  the spline of the products y(x_i) sin x_i (not the spline of y times
//                   sin x); 2 pi times its integral over [0, pi] is the integral of a phase
//                   function over the sphere.
// Over a single interval of the table the integrand is one cubic piece, whose trapezoid
// error is exactly quadratic in the step, so the extrapolation is exact at the first test
// (17 integrand evaluations). Ranges across many knots converge more slowly.
//
// An object holds its limits and tables: each user owns its own, and one object is not
// for concurrent use.

#include <array>
#include <span>
#include <vector>

class RombergIntegral {
 public:
  // Copies the table and fits the spline of y; forgets any sine-weighted table.
  void setGeneralFunctionArray(std::span<const double> x, std::span<const double> y);
  // Copies the table, fits the spline of y and the spline of y sin x.
  void setPhaseFunctionArray(std::span<const double> x, std::span<const double> y);
  // Divides every stored value by `normalizationFactor`, refits the spline of y and
  // re-forms and refits the sine-weighted table from the new values.
  void adjustPhaseFunctionArray(double normalizationFactor);
  // Integration limits; from > to gives the negated integral.
  void setIntegralRange(double from, double to);

  // Integral from `from` to `to` of the spline of y. 0.0 after the message-console line
  // "Warning in Romberg integral: Too many steps." when 20 stages do not converge.
  double computeGeneralIntegral() const;
  // Integral of the spline of y sin x, the same way. Raises std::logic_error when the table
  // was not set by setPhaseFunctionArray (or adjusted since).
  double computePFIntegral() const;

  // The stored values (as adjusted by the last adjustPhaseFunctionArray).
  const std::vector<double>& getPF() const { return y_; }
  // The spline of y at nAngle angles i * 180 / (nAngle - 1) degrees (in radians),
  // i = 0 ... nAngle - 1. A single angle is 0; nAngle <= 0 gives an empty array.
  std::vector<double> getPF(int nAngle) const;

  // Neville's algorithm: the polynomial through (x_i, y_i), at most 10 points, evaluated at
  // x0, and an error estimate (the last correction added on the path through the tableau
  // centred on the point nearest x0). Two equal abscissae write "Warning in Romberg
  // integral: Failure in polint." and give a non-finite result. Raises
  // std::invalid_argument for no points, more than 10, or arrays of different lengths.
  static std::array<double, 2> polynomialInterpolation(std::span<const double> x, std::span<const double> y,
                                                       double x0);

  static constexpr int kMaxPoints = 10;

 private:
  template <class Integrand>
  double integrate(const Integrand& f) const;
  void fitSineWeighted();

  double from_ = 0.0;
  double to_ = 0.0;
  std::vector<double> x_, y_, y2_;
  std::vector<double> ysin_, ysin2_;
  bool hasSineTable_ = false;
};
