#include "pallix/engine/BetaCalibrationHousingBoundary.h"

namespace pallix {

void BetaCalibrationHousingBoundary::processBoundary(Photon& photon, Random& rng) const {
  // The large diffuser has its own radius; the face plate the instrument's.
  processDiffuserAndPlate(photon, height_, diffuserRadiusSquared_, diffuserAlbedo_, radiusSquared_,
                          bottomPlateAlbedo_, rng);
}

}  // namespace pallix
