#pragma once
// Natural and clamped cubic splines: the only interpolation used for tables in both
// programs (phase functions and their inverse cumulative distributions, Romberg
// integrands, pure-water spectra, the instrument's medium and source tables).
//
// A spline is the caller's abscissae x (strictly increasing, at least two), ordinates y,
// and the second derivatives y2 returned by `spline`; the caller keeps all three and passes
// them to `splint`. Spans accept std::vector, std::array and plain arrays alike.

#include <span>
#include <vector>

#include "shared/SplineBracketIndex.h"
#include "shared/SplineError.h"

namespace VarnoMathLib {

// An end slope above this value means a natural end (second derivative 0) there.
inline constexpr double kNaturalEndThreshold = 9.9e29;
// The end slope every caller passes for a natural spline.
inline constexpr double kNaturalEnd = 1e31;

// Second derivatives of the cubic spline through (x_i, y_i) with first derivatives yp1 and
// ypn at the two ends (above 9.9e29: natural end). Solves the tridiagonal system.
// The abscissae are not checked: a repeated abscissa gives non-finite second derivatives.
// Raises SplineError when x and y differ in length or hold fewer than two points.
std::vector<double> spline(std::span<const double> x, std::span<const double> y, double yp1, double ypn);

// Value at x of the spline (xa, ya, y2a): bisection for the bracketing interval, then one
// cubic. Outside [xa_0, xa_{n-1}] the first or last cubic piece is extended. No allocation.
// A bracketing interval of zero width (equal first two abscissae with x below them, or equal
// last two with x at or above them) writes "bad xa input in splint" to the message console
// and raises SplineError; so do arrays of different lengths or fewer than two points.
double splint(std::span<const double> xa, std::span<const double> ya, std::span<const double> y2a, double x);

// The same value, to the last bit, with the bracketing interval found by `index` (built
// over the abscissae xa) in constant time instead of by bisection: for tables evaluated
// many times, such as the phase functions' sampling tables. The same errors as above.
double splint(const SplineBracketIndex& index, std::span<const double> ya, std::span<const double> y2a,
              double x);

}  // namespace VarnoMathLib
