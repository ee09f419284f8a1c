#pragma once
// The Fournier-Forand phase function of particles with a Junge (hyperbolic) size
// distribution: slope J of the distribution and real refractive index n of the particles
// relative to water. Tabulated on the grid (the forward value at 0 deg extrapolated
// linearly from 0.01 and 0.0126 deg, where the closed form is 0/0), normalised by the
// tabulation procedure, evaluated and sampled through splines.

#include "orvel/phase/TableBasedPhaseFunction.h"

class FournierForand final : public TableBasedPhaseFunction {
 public:
  // Throws std::invalid_argument for J = 3 (every value 0) or n = 1 (division by zero),
  // and for values that are not finite.
  FournierForand(double JungeCoeff = 4.0, double realIndex = 1.15);

  // The unnormalised shape at theta (radians), in Haltrin's form.
  double getHaltrinPF(double theta) const;

 private:
  double JungeCoeff_, realIndex_;
};
