#pragma once
// Petzold's measured average-particle phase function, built from the table of the file
// "phaseFunction/petzold.txt" (angles in radians, values in any unit).
//
// Grid angles from 0.1 deg on take the natural spline through the file points; angles
// 0 to 0.1 deg follow the straight line in log(value) against angle through the first
// two file points, extended towards 0 deg (the measured forward peak is steeper than a
// cubic can follow). The tabulation procedure normalises the result.

#include <span>

#include "orvel/phase/TableBasedPhaseFunction.h"

class PetzoldPF final : public TableBasedPhaseFunction {
 public:
  // Throws std::invalid_argument when the arrays differ in length, hold fewer than two
  // points, their angles do not increase strictly, or the first two values are not
  // positive (the logarithmic extrapolation needs them).
  PetzoldPF(std::span<const double> fileTheta, std::span<const double> fileSPF);
};
