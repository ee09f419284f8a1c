#include "pallix/engine/AHousingBoundary.h"

namespace pallix {

void AHousingBoundary::processBoundary(Photon& photon, Random& rng) const {
  // The diffuser and the face plate both span the tube's radius.
  processDiffuserAndPlate(photon, height_, radiusSquared_, diffuserAlbedo_, radiusSquared_, bottomPlateAlbedo_, rng);
}

}  // namespace pallix
