#pragma once
// The common angle grid on which every phase-function model is tabulated.
//
// 150 scattering angles (radians), densest at the forward peak where particle
// phase functions change by orders of magnitude per degree:
//   index 0          0 deg
//   indices 1-11     10^(-2 + 0.1 (i - 1)) deg: 0.01 ... 0.1 (ten per decade)
//   indices 12-29    0.1 + 0.05 k deg, k = 1..18: 0.15 ... 1.0
//   indices 30-39    1 + 0.1 k deg:  1.1 ... 2.0
//   indices 40-54    2 + 0.2 k deg:  2.2 ... 5.0
//   indices 55-84    5 + 0.5 k deg:  5.5 ... 20
//   indices 85-119   20 + 2 k deg:   22 ... 90
//   indices 120-149  90 + 3 k deg:   93 ... 180

#include <array>
#include <cstddef>

namespace PhaseFunctionAngles {

// Number of grid angles.
inline constexpr std::size_t kAngleCount = 150;

using Grid = std::array<double, kAngleCount>;

// The 150 grid angles in radians (0 ... pi); index 119 is exactly pi/2, 149 exactly pi.
Grid getHighlyPeakedAngleScheme();

// Index of the last logarithmic angle (0.1 deg): the forward tables are integrated by
// trapezoids up to it, by Romberg integration beyond it.
constexpr int getForwardAngleIndexForHighPeakedPhaseFunction() { return 11; }

// Index of the angle 90 deg: bb/b = 1 - P at this index.
constexpr int getBackscatteringIndexForHighPeakedPhaseFunction() { return 119; }

// Degrees to radians as every phase-function table converts them (deg / 180 * pi, so
// that 90 and 180 deg give exactly pi/2 and pi).
constexpr double degreesToRadians(double degrees) { return degrees / 180.0 * 3.141592653589793; }
constexpr double radiansToDegrees(double radians) { return radians * 180.0 / 3.141592653589793; }

// The i-th of n evenly spaced display angles over [0, pi]: pi i / (n - 1) radians
// (0 for n = 1).
constexpr double displayAngle(int i, int n) {
  return n > 1 ? 3.141592653589793 * i / (n - 1) : 0.0;
}

}  // namespace PhaseFunctionAngles
