#include "shared/SplineBracketIndex.h"

#include <cmath>

SplineBracketIndex::SplineBracketIndex(std::span<const double> xa, std::size_t cells)
    : xa_(xa.begin(), xa.end()) {
  const std::size_t n = xa_.size();
  if (n < 2) return;  // splint refuses the table; lowerKnot is never reached
  for (std::size_t i = 0; i < n; ++i) {
    if (!std::isfinite(xa_[i]) || (i > 0 && xa_[i] < xa_[i - 1])) return;  // bisection only
  }
  isMonotone_ = true;
  x0_ = xa_[0];
  const double width = xa_[n - 1] - xa_[0];
  if (cells == 0) cells = 8 * n;
  const double perUnit = static_cast<double>(cells) / width;
  // All abscissae equal, or a span too narrow for a grid: no cells, the search alone answers.
  if (!(width > 0.0 && perUnit > 0.0 && std::isfinite(perUnit))) return;
  start_.resize(cells);
  for (std::size_t j = 0; j < cells; ++j) {
    start_[j] = static_cast<std::uint32_t>(bisectionLowerKnot(xa_, x0_ + static_cast<double>(j) / perUnit));
  }
  cellsPerUnit_ = perUnit;
  cellCount_ = static_cast<double>(cells);
}
