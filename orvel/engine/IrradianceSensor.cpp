#include "orvel/engine/IrradianceSensor.h"

#include <cmath>

#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/LambertianReflection.h"
#include "orvel/engine/Photon.h"

namespace orvel {

IrradianceSensor::IrradianceSensor(const Vec3& direction, const Vec3& center, double radius, bool isCollimated,
                                   const Control& control)
    : Sensor(direction, center, radius, isCollimated, control) {}

Vec3 IrradianceSensor::getInitialPhotonDirectionBackMC(Random& rng, SensorTally& sums) const {
  // A cosine-weighted (Lambertian) direction about the sensor's axis.
  const Vec3 direction = drawLambertianDirection(direction_, rng).direction;
  sums.totalLaunchedWeightBackMC += kInitialWeightBackMC;
  return direction;
}

void IrradianceSensor::finishTally(double Eddir, double Eddif, const HomogeneousWater&) {
  const double N = tally_.totalLaunchedWeightBackMC;
  const double W = tally_.weight;
  const double T = sun_.solarTransmittance;
  const double muW = sun_.solarWaterAngleCosine;
  // Without launched photons the traced parts have no estimate: they contribute 0.
  const double perPhoton = N > 0.0 ? W / N : 0.0;
  if (isCollimated_) {
    const double cosPsi = dot(sun_.solarDirection, direction_);
    double e0 = 0.0;
    if (cosPsi > 0.0) {
      const double slant = center_[2] / muW;  // optical depths to the surface along the beam
      e0 = (cosPsi / muW) * HomogeneousWater::getTransmittance(slant);
    }
    directUnscatteredValue_ = Eddir * T * e0;
    directScatteredValue_ = Eddir * T * kPi * perPhoton / muW;
  } else {
    diffuseValue_ = Eddif * nWater_ * nWater_ * kPi * perPhoton;
  }
}

bool IrradianceSensor::isHit(const Photon&) const { return true; }

}  // namespace orvel
