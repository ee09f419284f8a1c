#include "orvel/engine/Sensor.h"

#include <algorithm>
#include <cmath>

#include "orvel/engine/Control.h"
#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/Photon.h"
#include "shared/BasicEquations.h"

namespace orvel {

SolarGeometry::SolarGeometry(double solarZenithAngle, double nWater) {
  constexpr double kDegree = 3.141592653589793 / 180.0;
  const double thetaA = solarZenithAngle;
  solarWaterAngle = BasicEquations::SnellAngle(thetaA, "AIR_TO_WATER", nWater);
  solarAirAngleCosine = std::cos(thetaA * kDegree);
  solarWaterAngleCosine = std::cos(solarWaterAngle * kDegree);
  // Incidence angle first, then transmission angle: the same pair in either direction.
  solarTransmittance = 1.0 - BasicEquations::FresnelReflectance(solarWaterAngle, thetaA, nWater);
  solarDirection = BasicEquations::anglesToDirectionCosine(180.0 - solarWaterAngle, 0.0);
}

Sensor::Sensor(const Vec3& direction, const Vec3& center, double radius, bool isCollimated, const Control& control)
    : direction_(direction),
      center_(center),
      radius_(radius),
      nWater_(control.nWater),
      sun_(control.solarZenithAngle, control.nWater),
      isCollimated_(isCollimated) {}

void Sensor::initializeToNewMode(bool collimated) {
  tally_ = SensorTally{};
  isCollimated_ = collimated;
}

void Sensor::tallyCollimationBackMC(const Photon& photon, const HomogeneousWater& hw, SensorTally& sums) const {
  ++sums.event;
  // Slant path from the point to the surface along the refracted sun beam, in optical
  // depths (engine lengths already include the attenuation).
  const double slant = photon.getNewPosition()[2] / sun_.solarWaterAngleCosine;
  // A dot product of two unit vectors can exceed 1 by rounding; arccos needs [-1, 1].
  const double cosPsi = std::clamp(dot(sun_.solarDirection, photon.getDirection()), -1.0, 1.0);
  const double p = hw.getSPF(std::acos(cosPsi));
  sums.weight += photon.getWeight() * hw.w0 * p * HomogeneousWater::getTransmittance(slant);
}

void Sensor::tally(Photon& photon, SensorTally& sums) const {
  photon.isHitSensor = true;
  ++sums.event;
  sums.weight += photon.getWeight();
}

}  // namespace orvel
