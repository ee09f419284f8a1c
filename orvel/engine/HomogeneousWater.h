#pragma once
// The water of the visibility simulator: a homogeneous medium of beam attenuation `c`,
// single-scattering albedo `w0` and one phase function.
//
// Length unit. Every position and length handed to the engine is a length in metres
// multiplied by this medium's `c` (after any truncation rescaling), i.e. an optical
// depth of this medium. A free path of tau optical depths is therefore a step of tau
// engine units (`getFreePathLength`), and light travelling s engine units is attenuated
// by exp(-s) (`getTransmittance`); `c` itself must not be applied a second time to
// engine lengths.
//
// The phase function is shared, immutable and resolved once when it is set: a
// scattering costs a single virtual call into the model.

#include <cmath>
#include <memory>

#include "orvel/phase/PhaseFunction.h"
#include "shared/Random.h"

namespace orvel {

class HomogeneousWater {
 public:
  // Stores both; no phase function yet (set one before scattering or tallying).
  HomogeneousWater(double attenuation, double albedo);
  HomogeneousWater(double attenuation, double albedo, std::shared_ptr<const PhaseFunction> spf);

  // Puts the phase function in place. Throws std::invalid_argument for a null model.
  void setPhaseFunction(std::shared_ptr<const PhaseFunction> spf);
  bool hasPhaseFunction() const { return spf_ != nullptr; }
  // The model; throws std::logic_error when none is set.
  const PhaseFunction& getPhaseFunction() const;
  const std::shared_ptr<const PhaseFunction>& getPhaseFunctionPointer() const { return spf_; }

  // A scattering angle (radians) drawn from the phase function with one uniform number.
  double getScatteringAngle(Random& rng) const { return model().getScatteringAngle(rng); }

  // The phase function at scattering angle theta (radians), per steradian.
  double getSPF(double theta) const { return model().getSPF(theta); }

  // A free path in engine units (optical depths): tau = -ln(1 - u), u uniform on [0, 1),
  // always finite and >= 0.
  static double getFreePathLength(Random& rng) { return -std::log(1.0 - rng.uniform()); }

  // Beam transmittance over `length` engine units (optical depths): exp(-length).
  static double getTransmittance(double length) { return std::exp(-length); }

  // Rescales the medium for a phase function whose forward peak, the fraction F of all
  // scattering, has been cut off and treated as unscattered light:
  //   c  <- c (1 - w0 F)
  //   w0 <- w0 (1 - F) / (1 - w0 F)        (w0 on the right is the value before the call)
  // Throws std::invalid_argument unless 0 <= F <= 1, and when w0 F = 1 (no attenuation
  // would be left).
  void adjustMediumProperties(double F);

  double c;   // beam attenuation coefficient [1/m]
  double w0;  // single-scattering albedo b/c

 private:
  const PhaseFunction& model() const {
    if (spf_ == nullptr) [[unlikely]] throwNoPhaseFunction();
    return *spf_;
  }
  [[noreturn]] static void throwNoPhaseFunction();

  std::shared_ptr<const PhaseFunction> spf_;
};

}  // namespace orvel
