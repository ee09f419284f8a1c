#pragma once
// An irradiance collector of radius `radius` receiving light from the hemisphere that
// `direction` points into (the axis points from the collector into that hemisphere).
//
// Backward photons start at the centre in cosine-weighted directions about the axis
// (density 2 sin(theta) cos(theta) in the angle theta from the axis), so each photon
// carries the collector's cosine response and a pass gives, in the notation of
// RadianceSensor.h:
//   direct-sun pass, scattered:    Eddir T pi W / (N mu_w)
//   direct-sun pass, unscattered:  Eddir T (cos psi / mu_w) exp(-zc / mu_w) when the sun
//                                  lies in the hemisphere (cos psi = axis . sun > 0), else 0
//   diffuse pass:                  Eddif n^2 pi W / N

#include "orvel/engine/Sensor.h"

namespace orvel {

class IrradianceSensor final : public Sensor {
 public:
  // The sun and the water's refractive index come from `control`.
  IrradianceSensor(const Vec3& direction, const Vec3& center, double radius, bool isCollimated,
                   const Control& control);

  void finishTally(double Eddir, double Eddif, const HomogeneousWater& hw) override;

  // A cosine-weighted direction about the axis: theta = 0.5 arccos(1 - 2 R1) from the
  // axis, azimuth phi = 2 pi R2 (R1, R2 successive draws from `rng`); records the launch.
  Vec3 getInitialPhotonDirectionBackMC(Random& rng, SensorTally& sums) const override;
  using Sensor::getInitialPhotonDirectionBackMC;

  // Forward mode: every photon counts.
  bool isHit(const Photon& photon) const override;
};

}  // namespace orvel
