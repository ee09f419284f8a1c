#pragma once
// The absorption channel's housing: a tube of radius `radius` from the face (z = 0) to a
// Lambertian diffuser at z = `height`. The side wall is black; the face plate reflects
// with `bottomPlateAlbedo`.

#include "pallix/engine/HousingBoundary.h"

namespace pallix {

class AHousingBoundary final : public HousingBoundary {
 public:
  AHousingBoundary(double radius, double height, double diffuserAlbedo, double bottomPlateAlbedo)
      : radius_(radius),
        height_(height),
        diffuserAlbedo_(diffuserAlbedo),
        bottomPlateAlbedo_(bottomPlateAlbedo),
        radiusSquared_(radius * radius) {}

  // Inside the tube, walls and ends included.
  bool isWithinBoundary(const Vec3& p) const override {
    return p[0] * p[0] + p[1] * p[1] <= radiusSquared_ && p[2] >= 0.0 && p[2] <= height_;
  }

  // Through the top within the radius: diffuser reflection back towards the face; back
  // through the face within the radius with a reflecting plate: plate reflection; any
  // other exit (side wall, black face): the photon ends.
  void processBoundary(Photon& photon, Random& rng) const override;

  double getRadius() const { return radius_; }
  double getHeight() const { return height_; }
  double getDiffuserAlbedo() const { return diffuserAlbedo_; }
  double getBottomPlateAlbedo() const { return bottomPlateAlbedo_; }

 private:
  double radius_;
  double height_;
  double diffuserAlbedo_;
  double bottomPlateAlbedo_;
  double radiusSquared_;
};

}  // namespace pallix
