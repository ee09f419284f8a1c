#include "pallix/engine/Photon.h"

#include <numbers>

#include "pallix/engine/HomogeneousWater.h"
#include "shared/BasicEquations.h"
#include "shared/SinCos.h"

namespace pallix {

void Photon::volumeScattering(const HomogeneousWater& water, double w0, Random& rng) {
  const double theta = water.getScatteringAngle(rng);
  const double phi = 2.0 * std::numbers::pi * rng.uniform();
  // The direction at (theta, phi) from the old one: the shared rotation of the direction
  // (the angles round trip of getAnglesFromDirectionVector and computeDirection, done
  // directly on the vector), with the sine-cosine pairs of the short reduction (sinCos).
  const SinCos deflection = sinCos(theta);
  const SinCos azimuth = sinCos(phi);
  direction_ = BasicEquations::rotateDirection(direction_, deflection.cos, deflection.sin, azimuth.cos, azimuth.sin);
  weight_ *= w0;
}

}  // namespace pallix
