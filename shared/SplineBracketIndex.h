#pragma once
// A constant-time search for the bracketing interval of a spline's abscissae.
//
// VarnoMathLib::splint finds the interval [xa_klo, xa_klo+1] around x by bisection: about
// log2(n) data-dependent branches per call, which the processor mispredicts roughly half
// the time. Sampling a scattering angle from a 150-knot inverse cumulative table spends
// most of its time there. This index lays a uniform grid of cells over [xa_0, xa_{n-1}]
// and stores, for each cell, the bisection's interval at the cell's left edge; a lookup
// computes the cell of x, starts from that interval and steps to the neighbouring knots
// until the interval holds x, usually zero or one step.
//
// The answer is exactly the bisection's (`bisectionLowerKnot`), for every x including the
// knots themselves, values outside the table (the end intervals) and NaN (the last
// interval): for nondecreasing abscissae the bisection returns the largest k in
// [0, n - 2] with k = 0 or !(xa_k > x), and the local search finds that same k from any
// starting point, so the grid only decides how fast, never what. Abscissae that are not
// finite or somewhere decrease (a cumulative table of a function with negative values)
// get no grid: the index then bisects, as splint does.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The lower knot that bisection over xa (at least two entries) chooses for x: the
// reference the index reproduces, and the search splint itself performs. An abscissa
// equal to x moves klo (xa_k > x fails), as does a NaN x.
inline std::size_t bisectionLowerKnot(std::span<const double> xa, double x) {
  std::size_t klo = 0;
  std::size_t khi = xa.size() - 1;
  while (khi - klo > 1) {
    const std::size_t k = (khi + klo) >> 1;
    if (xa[k] > x) {
      khi = k;
    } else {
      klo = k;
    }
  }
  return klo;
}

class SplineBracketIndex {
 public:
  // An empty index (no abscissae); a spline evaluated through it raises SplineError.
  SplineBracketIndex() = default;
  // Copies the abscissae and, when they are finite and nondecreasing, builds `cells` grid
  // cells (0: eight per knot). Fewer than two abscissae give an index that splint
  // refuses, as it refuses such arrays.
  explicit SplineBracketIndex(std::span<const double> xa, std::size_t cells = 0);

  // The abscissae the index was built over.
  std::span<const double> abscissae() const { return xa_; }

  // The lower knot klo of the interval containing x, equal to bisectionLowerKnot(xa, x).
  // Requires at least two abscissae. No allocation.
  std::size_t lowerKnot(double x) const {
    if (!isMonotone_) [[unlikely]]
      return bisectionLowerKnot(xa_, x);
    const std::size_t last = xa_.size() - 2;  // the highest lower knot
    const double t = (x - x0_) * cellsPerUnit_;
    std::size_t k;
    if (t >= 0.0 && t < cellCount_) {
      k = start_[static_cast<std::size_t>(t)];
    } else {
      k = t < 0.0 ? 0 : last;  // below, above, or NaN (which bisection sends to the end)
    }
    // Rounding in t may put x one cell off: step down, then up, to the bisection's knot.
    while (k > 0 && xa_[k] > x) --k;
    while (k < last && !(xa_[k + 1] > x)) ++k;
    return k;
  }

 private:
  std::vector<double> xa_;
  std::vector<std::uint32_t> start_;  // bisection's lower knot at each cell's left edge
  double x0_ = 0.0;
  double cellsPerUnit_ = 0.0;
  double cellCount_ = 0.0;
  bool isMonotone_ = false;
};
