#pragma once
// A phase function supplied by the user as a table (angles in radians, values in any
// unit), read from a phase-function file. Grid angles take the natural spline through
// the file points (angles below the first file angle extend the first cubic piece);
// the value at 0 deg is the straight line through grid points 1 and 2. The tabulation
// procedure normalises the result.
//
// The spline is taken as it is: through few, steeply falling points it can dip below
// zero, and the cumulative distribution then falls there; files need points dense
// enough for the spline to stay positive.

#include <span>

#include "orvel/phase/TableBasedPhaseFunction.h"

class FileSuppliedPF final : public TableBasedPhaseFunction {
 public:
  // Throws std::invalid_argument when the arrays differ in length, hold fewer than two
  // points, or their angles do not increase strictly.
  FileSuppliedPF(std::span<const double> fileTheta, std::span<const double> fileSPF);
};
