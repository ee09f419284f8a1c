#include "shared/VarnoMathLib.h"

#include <cstddef>

#include "shared/Console.h"

namespace VarnoMathLib {

std::vector<double> spline(std::span<const double> x, std::span<const double> y, double yp1, double ypn) {
  const std::size_t n = x.size();
  if (y.size() != n) throw SplineError("spline: abscissae and ordinates differ in length");
  if (n < 2) throw SplineError("spline: at least two points are needed");

  std::vector<double> y2(n);
  std::vector<double> u(n);
  // Lower end: natural (y2 = 0) or clamped to slope yp1.
  if (yp1 > kNaturalEndThreshold) {
    y2[0] = 0.0;
    u[0] = 0.0;
  } else {
    y2[0] = -0.5;
    u[0] = (3.0 / (x[1] - x[0])) * ((y[1] - y[0]) / (x[1] - x[0]) - yp1);
  }
  // Decomposition of the tridiagonal system; y2 and u hold the temporaries.
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
    const double p = sig * y2[i - 1] + 2.0;
    y2[i] = (sig - 1.0) / p;
    u[i] = (6.0 * ((y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1])) /
                (x[i + 1] - x[i - 1]) -
            sig * u[i - 1]) /
           p;
  }
  // Upper end.
  double qn = 0.0;
  double un = 0.0;
  if (!(ypn > kNaturalEndThreshold)) {
    qn = 0.5;
    un = (3.0 / (x[n - 1] - x[n - 2])) * (ypn - (y[n - 1] - y[n - 2]) / (x[n - 1] - x[n - 2]));
  }
  y2[n - 1] = (un - qn * u[n - 2]) / (qn * y2[n - 2] + 1.0);
  // Back substitution.
  for (std::size_t k = n - 1; k-- > 0;) y2[k] = y2[k] * y2[k + 1] + u[k];
  return y2;
}

namespace {

// The refusals, kept out of line so that the evaluation below stays short enough to be
// inlined into both searches.
[[noreturn, gnu::cold, gnu::noinline]] void refuseBracket(const char* reason) {
  console::message("bad xa input in splint");
  throw SplineError(reason);
}

[[noreturn, gnu::cold, gnu::noinline]] void refuseLengths() {
  throw SplineError("splint: table arrays differ in length");
}

// The cubic of the interval [xa_klo, xa_klo+1] at x: the common end of both searches, so
// that they give the same value to the last bit whenever they find the same interval.
inline double cubicOnInterval(std::span<const double> xa, std::span<const double> ya,
                              std::span<const double> y2a, std::size_t klo, double x) {
  const std::size_t khi = klo + 1;
  const double h = xa[khi] - xa[klo];
  if (h == 0.0) [[unlikely]] {
    refuseBracket("bad xa input in splint: two equal abscissae bracket the argument");
  }
  const double a = (xa[khi] - x) / h;
  const double b = (x - xa[klo]) / h;
  return a * ya[klo] + b * ya[khi] +
         ((a * a * a - a) * y2a[klo] + (b * b * b - b) * y2a[khi]) * (h * h) / 6.0;
}

inline void checkTable(std::size_t n, std::span<const double> ya, std::span<const double> y2a) {
  if (ya.size() != n || y2a.size() != n) [[unlikely]] refuseLengths();
  if (n < 2) [[unlikely]] refuseBracket("bad xa input in splint: fewer than two abscissae");
}

}  // namespace

double splint(std::span<const double> xa, std::span<const double> ya, std::span<const double> y2a, double x) {
  checkTable(xa.size(), ya, y2a);
  return cubicOnInterval(xa, ya, y2a, bisectionLowerKnot(xa, x), x);
}

double splint(const SplineBracketIndex& index, std::span<const double> ya, std::span<const double> y2a,
              double x) {
  const std::span<const double> xa = index.abscissae();
  checkTable(xa.size(), ya, y2a);
  return cubicOnInterval(xa, ya, y2a, index.lowerKnot(x), x);
}

}  // namespace VarnoMathLib
