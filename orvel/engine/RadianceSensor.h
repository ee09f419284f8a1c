#pragma once
// A radiance sensor: an aperture of radius `radius` looking along `direction` with a
// field-of-view half angle `fov`.
//
// Backward photons start at the centre and leave exactly along the viewing direction
// (no spread over the aperture or the field of view). With N photons launched and W
// their tally, a pass gives, with Eddir, Eddif the direct and diffuse irradiance above
// the surface, T the sun's surface transmittance, mu_w, mu_a the cosines of the sun's
// zenith angle in water and in air, n the water's refractive index, zc the sensor depth:
//   direct-sun pass, scattered:    Eddir T W / (N mu_w)
//   direct-sun pass, unscattered:  only when the sensor looks at the refracted sun within
//                                  the sun half-angle: Eddir T exp(-zc / mu_w) / (mu_w Omega_w),
//                                  Omega_w = mu_a Omega_a / (n^2 mu_w) the sun's solid
//                                  angle in water, Omega_a = 2 pi (1 - cos half-angle)
//   diffuse pass:                  Eddif n^2 W / N

#include <optional>

#include "orvel/engine/Sensor.h"

namespace orvel {

class RadianceSensor final : public Sensor {
 public:
  // `fov` in radians; the sun, its half-angle (`collimationTolerance`) and the water's
  // refractive index come from `control`.
  RadianceSensor(const Vec3& direction, const Vec3& center, double radius, double fov, bool isCollimated,
                 const Control& control);

  void finishTally(double Eddir, double Eddif, const HomogeneousWater& hw) override;

  // Exactly the viewing direction; records the launch.
  Vec3 getInitialPhotonDirectionBackMC(Random& rng, SensorTally& sums) const override;
  using Sensor::getInitialPhotonDirectionBackMC;

  // Forward mode: the photon travels into the sensor's face (against `direction`)
  // within the field of view, its last step crosses the sensor plane, and the crossing
  // lies within the aperture.
  bool isHit(const Photon& photon) const override;
  // The crossing point of the photon's last step with the aperture, when it is a hit.
  std::optional<Vec3> getHitPosition(const Photon& photon) const;

  double getFov() const { return fov_; }

 private:
  double fov_;                   // field-of-view half angle [radian]
  double collimationTolerance_;  // sun half-angle [degree]
};

}  // namespace orvel
