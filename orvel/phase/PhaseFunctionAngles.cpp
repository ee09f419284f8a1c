#include "orvel/phase/PhaseFunctionAngles.h"

#include <cmath>

namespace PhaseFunctionAngles {

Grid getHighlyPeakedAngleScheme() {
  Grid degrees{};
  std::size_t i = 0;
  degrees[i++] = 0.0;
  // Logarithmic block: exponents -2, -1.9, ..., -1 (11 angles, the last 0.1 deg).
  for (int k = 0; k <= 10; ++k) degrees[i++] = std::pow(10.0, -2.0 + 0.1 * k);
  degrees[i - 1] = 0.1;  // the last exponent is exactly -1
  // The linear blocks, each value written as an integer over a power of ten or two so
  // that it is the double nearest the decimal angle.
  for (int k = 1; k <= 18; ++k) degrees[i++] = (2 + k) / 20.0;  // 0.1 + 0.05 k
  for (int k = 1; k <= 10; ++k) degrees[i++] = (10 + k) / 10.0;  // 1 + 0.1 k
  for (int k = 1; k <= 15; ++k) degrees[i++] = (10 + k) / 5.0;   // 2 + 0.2 k
  for (int k = 1; k <= 30; ++k) degrees[i++] = (10 + k) / 2.0;   // 5 + 0.5 k
  for (int k = 1; k <= 35; ++k) degrees[i++] = 20.0 + 2.0 * k;
  for (int k = 1; k <= 30; ++k) degrees[i++] = 90.0 + 3.0 * k;

  Grid radians{};
  for (std::size_t j = 0; j < kAngleCount; ++j) radians[j] = degreesToRadians(degrees[j]);
  return radians;
}

}  // namespace PhaseFunctionAngles
