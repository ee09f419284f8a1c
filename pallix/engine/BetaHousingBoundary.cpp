#include "pallix/engine/BetaHousingBoundary.h"

namespace pallix {

void BetaHousingBoundary::processBoundary(Photon& photon, Random& rng) const {
  if (bottomPlateAlbedo_ <= 0.0) {
    photon.updateWeight(0.0);
    return;
  }
  if (photon.getNewPosition()[2] > 0.0) return;  // still in front of the face: nothing to do
  const auto [x0, y0] = crossingPoint(photon, 0.0);
  if (x0 * x0 + y0 * y0 <= radiusSquared_) {
    reflectFromFacePlate(photon, x0, y0, bottomPlateAlbedo_, rng);
  } else {
    photon.updateWeight(0.0);  // passed beside the instrument
  }
}

}  // namespace pallix
