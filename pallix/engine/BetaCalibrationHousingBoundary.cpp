#include "pallix/engine/BetaCalibrationHousingBoundary.h"

namespace pallix {

void BetaCalibrationHousingBoundary::processBoundary(Photon& photon, Random& rng) const {
  const double z2 = photon.getNewPosition()[2];
  if (z2 >= height_) {
    const auto [x0, y0] = crossingPoint(photon, height_);
    if (x0 * x0 + y0 * y0 <= diffuserRadiusSquared_) {
      reflectFromDiffuser(photon, x0, y0, height_, diffuserAlbedo_, rng);
    } else {
      photon.updateWeight(0.0);  // passed beside the diffuser
    }
  } else if (bottomPlateAlbedo_ > 0.0 && z2 <= 0.0) {
    const auto [x0, y0] = crossingPoint(photon, 0.0);
    if (x0 * x0 + y0 * y0 <= radiusSquared_) {
      reflectFromFacePlate(photon, x0, y0, bottomPlateAlbedo_, rng);
    } else {
      photon.updateWeight(0.0);
    }
  } else {
    photon.updateWeight(0.0);
  }
}

}  // namespace pallix
