#pragma once
// The beta channel's calibration set-up (no water, lengths in cm): a slab from the face
// (z = 0) to a large Lambertian diffuser of radius `diffuserRadius` = 30 cm at
// z = `height`. The face plate, of radius `radius`, reflects with `bottomPlateAlbedo`;
// there is no side wall.

#include "pallix/engine/HousingBoundary.h"

namespace pallix {

class BetaCalibrationHousingBoundary final : public HousingBoundary {
 public:
  static constexpr double kDiffuserRadius = 30.0;  // [cm]

  BetaCalibrationHousingBoundary(double radius, double height, double diffuserAlbedo, double bottomPlateAlbedo)
      : radius_(radius),
        diffuserRadius_(kDiffuserRadius),
        height_(height),
        diffuserAlbedo_(diffuserAlbedo),
        bottomPlateAlbedo_(bottomPlateAlbedo),
        radiusSquared_(radius * radius),
        diffuserRadiusSquared_(kDiffuserRadius * kDiffuserRadius) {}

  // Between the face and the diffuser plane, at any distance from the axis.
  bool isWithinBoundary(const Vec3& p) const override { return p[2] >= 0.0 && p[2] <= height_; }

  // At or beyond the diffuser plane: diffuser reflection within its radius; at or behind
  // the face with a reflecting plate: plate reflection within its radius; otherwise (also
  // a step that ends between the two planes) the photon ends.
  void processBoundary(Photon& photon, Random& rng) const override;

  double getRadius() const { return radius_; }
  double getDiffuserRadius() const { return diffuserRadius_; }
  double getHeight() const { return height_; }
  double getDiffuserAlbedo() const { return diffuserAlbedo_; }
  double getBottomPlateAlbedo() const { return bottomPlateAlbedo_; }

 private:
  double radius_;
  double diffuserRadius_;
  double height_;
  double diffuserAlbedo_;
  double bottomPlateAlbedo_;
  double radiusSquared_;
  double diffuserRadiusSquared_;
};

}  // namespace pallix
