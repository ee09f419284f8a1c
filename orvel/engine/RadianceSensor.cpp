#include "orvel/engine/RadianceSensor.h"

#include <cmath>

#include "orvel/engine/Control.h"
#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/Photon.h"
#include "shared/BasicEquations.h"

namespace orvel {

RadianceSensor::RadianceSensor(const Vec3& direction, const Vec3& center, double radius, double fov,
                               bool isCollimated, const Control& control)
    : Sensor(direction, center, radius, isCollimated, control),
      fov_(fov),
      collimationTolerance_(control.collimationTolerance) {}

Vec3 RadianceSensor::getInitialPhotonDirectionBackMC(Random&, SensorTally& sums) const {
  sums.totalLaunchedWeightBackMC += kInitialWeightBackMC;
  return direction_;
}

void RadianceSensor::finishTally(double Eddir, double Eddif, const HomogeneousWater&) {
  const double N = tally_.totalLaunchedWeightBackMC;
  const double W = tally_.weight;
  const double T = sun_.solarTransmittance;
  const double muW = sun_.solarWaterAngleCosine;
  const double n2 = nWater_ * nWater_;
  // Without launched photons the traced parts have no estimate: they contribute 0.
  const double perPhoton = N > 0.0 ? W / N : 0.0;
  if (isCollimated_) {
    const double cosTolerance = std::cos(collimationTolerance_ * kPi / 180.0);
    if (dot(sun_.solarDirection, direction_) > cosTolerance) {
      const double omegaAir = kTwoPi * (1.0 - cosTolerance);  // the sun's solid angle in air
      const double omegaWater = sun_.solarAirAngleCosine * omegaAir / (n2 * muW);
      const double slant = center_[2] / muW;  // optical depths to the surface along the beam
      directUnscatteredValue_ =
          Eddir * T * (1.0 / (muW * omegaWater)) * HomogeneousWater::getTransmittance(slant);
    }
    directScatteredValue_ = Eddir * T * perPhoton / muW;
  } else {
    diffuseValue_ = Eddif * n2 * perPhoton;
  }
}

std::optional<Vec3> RadianceSensor::getHitPosition(const Photon& photon) const {
  const double cosIn = dot(photon.getDirection(), direction_);
  if (!(cosIn < 0.0)) return std::nullopt;               // must travel into the sensor's face
  if (!(-cosIn >= std::cos(fov_))) return std::nullopt;  // within the field of view
  Vec3 oldOffset{};
  Vec3 newOffset{};
  for (int i = 0; i < 3; ++i) {
    oldOffset[i] = photon.getOldPosition()[i] - center_[i];
    newOffset[i] = photon.getNewPosition()[i] - center_[i];
  }
  if (!(dot(direction_, oldOffset) * dot(direction_, newOffset) < 0.0)) return std::nullopt;
  const Vec3 hit = BasicEquations::getPhotonPlaneCrossing(photon, direction_, center_);
  const Vec3 r{hit[0] - center_[0], hit[1] - center_[1], hit[2] - center_[2]};
  if (dot(r, r) > radius_ * radius_) return std::nullopt;
  return hit;
}

bool RadianceSensor::isHit(const Photon& photon) const { return getHitPosition(photon).has_value(); }

}  // namespace orvel
