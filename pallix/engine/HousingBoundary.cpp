#include "pallix/engine/HousingBoundary.h"

#include <cmath>
#include <numbers>

#include "shared/BasicEquations.h"

namespace pallix {

std::array<double, 2> HousingBoundary::lambertianAngles(Random& rng) {
  // theta = acos(1 - 2 xi) / 2 makes cos(2 theta) uniform on (-1, 1], i.e. sin^2 theta
  // uniform on [0, 1): the cosine-weighted (Lambertian) distribution over the hemisphere.
  const double thetaR = 0.5 * std::acos(1.0 - 2.0 * rng.uniform()) * (180.0 / std::numbers::pi);
  const double phiR = 360.0 * rng.uniform();
  return {thetaR, phiR};
}

void HousingBoundary::reflectFromDiffuser(Photon& photon, double x0, double y0, double z0, double albedo,
                                          Random& rng) {
  photon.setNewPosition(x0, y0, z0);
  const auto [thetaR, phiR] = lambertianAngles(rng);
  photon.setDirection(BasicEquations::anglesToDirectionCosine(180.0 - thetaR, phiR));
  photon.updateWeight(albedo);
}

void HousingBoundary::reflectFromFacePlate(Photon& photon, double x0, double y0, double albedo, Random& rng) {
  photon.setNewPosition(x0, y0, 0.0);
  const auto [thetaR, phiR] = lambertianAngles(rng);
  photon.setDirection(BasicEquations::anglesToDirectionCosine(thetaR, phiR));
  photon.updateWeight(albedo);
}

}  // namespace pallix
