#pragma once
// The water body of the visibility simulator: a horizontally infinite slab under a flat
// sea surface at z = 0, either infinitely deep or above a flat Lambertian bottom.
//
// Coordinates: x, y horizontal, z depth positive downwards; lengths in the engine unit.
//
// Sea surface. A backward photon that leaves through the surface is where the light it
// represents came from the sky. With the underwater incidence angle i (0 for a photon
// going straight up), the refracted angle in air t (Snell) and the unpolarised Fresnel
// reflectance R(i, t) (1 at and beyond the critical angle):
//   - diffuse-sky pass, i below the critical angle: the photon scores
//     weight x (1 - R) x L(t, phi) / Ed_dif, the normalised sky radiance of the sky
//     direction it reaches (azimuth phi of its direction; 0 for the azimuth-free
//     cardioidal sky);
//   - in both passes the photon is then reflected specularly back into the water from
//     the crossing point with weight x R. In the direct-sun pass nothing is scored: the
//     sun is accounted for by the local estimates in the water and the analytic
//     unscattered term of the sensors.
// The part of the step beyond the surface is discarded.
//
// Bottom. A photon that goes below the bottom is moved to the crossing point and leaves
// upwards in a cosine-weighted (Lambertian) direction with weight x bottom albedo.

#include <optional>

#include "orvel/engine/Boundary.h"
#include "shared/Vec3.h"

namespace orvel {

class IncidentRadiance;
struct Control;

class InfiniteHorizonBoundary final : public Boundary {
 public:
  // `depth` in engine units (the driver passes bottomDepth x c'), `bottomAlbedo` the
  // bottom reflectance. From `control`: nWater (critical angle and interface optics),
  // inRadType (0 solar model: the sky radiance depends on the azimuth; 1 cardioidal
  // model: azimuth 0 is passed) and isPhotonDebug (trace line of each sky score).
  // `inRad` must outlive the boundary.
  InfiniteHorizonBoundary(const IncidentRadiance& inRad, bool isBottomInfinite, double depth,
                          double bottomAlbedo, const Control& control);

  // None: this boundary offers no random positions.
  std::optional<Vec3> getRandomPosition() const override { return std::nullopt; }
  std::optional<Vec3> getRandomSolarIlluminationPosition() const override { return std::nullopt; }

  // False above the surface (z < 0) and, with a finite bottom, below it (z > depth);
  // z = 0 and z = depth are inside.
  bool isWithinBoundary(const Vec3& position) const override {
    const double z = position[2];
    return !(z < 0.0) && (isBottomInfinite_ || !(z > depth_));
  }

  // Surface when the new depth is < 0 and the photon travels upwards; otherwise bottom
  // when the bottom is finite, the new depth is > depth and the photon travels
  // downwards; otherwise nothing.
  BoundaryEvent outOfBoundOperation(Photon& photon, bool isCollimatedPass, Random& rng) const override;

  double getDepth() const { return depth_; }
  bool isBottomInfinite() const { return isBottomInfinite_; }
  double getBottomAlbedo() const { return bottomAlbedo_; }
  // Critical angle of total internal reflection, arcsin(1 / nWater) [degree].
  double getCriticalAngle() const { return criticalAngle_; }

 private:
  BoundaryEvent surfaceReflection(Photon& photon, bool isCollimatedPass) const;
  BoundaryEvent bottomReflection(Photon& photon, Random& rng) const;

  const IncidentRadiance* inRad_;
  double depth_;
  double bottomAlbedo_;
  double nWater_;
  double criticalAngle_;
  int inRadType_;
  bool isBottomInfinite_;
  bool isPhotonDebug_;
};

}  // namespace orvel
