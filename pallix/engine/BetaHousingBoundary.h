#pragma once
// The scattering channel's housing: the open half-space in front of the face (z >= 0).
// The face plate, of radius `radius`, reflects with `bottomPlateAlbedo`; beyond it (and
// everywhere when the albedo is 0) a photon that goes back through the face plane is lost.

#include "pallix/engine/HousingBoundary.h"

namespace pallix {

class BetaHousingBoundary final : public HousingBoundary {
 public:
  BetaHousingBoundary(double radius, double bottomPlateAlbedo)
      : radius_(radius), bottomPlateAlbedo_(bottomPlateAlbedo), radiusSquared_(radius * radius) {}

  // The half-space in front of the face, whatever the plate's albedo: a reflecting plate
  // bounds the water as a black one does, so photons never travel on behind the face.
  bool isWithinBoundary(const Vec3& p) const override { return p[2] >= 0.0; }

  // Back through the face within the plate radius: plate reflection (when the albedo is
  // above 0); otherwise the photon ends.
  void processBoundary(Photon& photon, Random& rng) const override;

  double getRadius() const { return radius_; }
  double getBottomPlateAlbedo() const { return bottomPlateAlbedo_; }

 private:
  double radius_;
  double bottomPlateAlbedo_;
  double radiusSquared_;
};

}  // namespace pallix
