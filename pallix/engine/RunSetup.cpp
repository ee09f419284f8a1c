#include "pallix/engine/RunSetup.h"

#include <numbers>

namespace pallix {
namespace {

double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// One LED or detector: centre and diameter [mm], slant [degree], half angle [0.1 degree];
// `mmToRunUnit` converts mm to the run's length unit.
struct Element {
  int centerMm;
  int diameterMm;
  int thetaDegrees;
  int fovTenthDegrees;

  PallixLEDSource led(double mmToRunUnit, int type) const {
    return PallixLEDSource(mmToRunUnit * centerMm, mmToRunUnit * diameterMm / 2.0, radians(thetaDegrees),
                           radians(0.1 * fovTenthDegrees), type);
  }
  PallixSensor sensor(double mmToRunUnit, int type) const {
    return PallixSensor(mmToRunUnit * centerMm, mmToRunUnit * diameterMm / 2.0, radians(thetaDegrees),
                        radians(0.1 * fovTenthDegrees), type);
  }
};

Element aLEDElement(const Control& c) {
  return {c.AcenterLEDSliderValue, c.AdiameterLEDSliderValue, c.AthetaLEDSliderValue, c.AfovLEDSliderValue};
}
Element aSensorElement(const Control& c) {
  return {c.AcenterSensorSliderValue, c.AdiameterSensorSliderValue, c.AthetaSensorSliderValue,
          c.AfovSensorSliderValue};
}
Element betaLEDElement(const Control& c) {
  return {c.BcenterLEDSliderValue, c.BdiameterLEDSliderValue, c.BthetaLEDSliderValue, c.BfovLEDSliderValue};
}
Element betaSensorElement(const Control& c) {
  return {c.BcenterSensorSliderValue, c.BdiameterSensorSliderValue, c.BthetaSensorSliderValue,
          c.BfovSensorSliderValue};
}

}  // namespace

MediumRunSetup initializePallix(const Control& control, HomogeneousWater& water) {
  // c, w0, the phase-function type and parameters, and a sampling table built for them.
  water.setForRun(control);
  // Attenuation lengths: mm -> 0.001 m x c, cm -> 0.01 m x c.
  const double mm = 0.001 * control.c;
  const double cm = 0.01 * control.c;
  return MediumRunSetup{
      MediumLoopLimits{control.minWeight, control.nMaxScat, control.w0},
      AHousingBoundary(cm * control.pallixRadius, cm * control.aHeight, control.diffuserAlbedo,
                       control.bottomPlateAlbedo),
      BetaHousingBoundary(cm * control.pallixRadius, control.bottomPlateAlbedo),
      aLEDElement(control).led(mm, control.sourceType),
      aSensorElement(control).sensor(mm, control.detectorType),
      betaLEDElement(control).led(mm, control.sourceType),
      betaSensorElement(control).sensor(mm, control.detectorType),
  };
}

KRunSetup initializeForK(const Control& control) {
  constexpr double mm = 0.1;  // mm -> cm
  return KRunSetup{
      control.aHeight,
      AHousingBoundary(control.pallixRadius, control.aHeight, control.diffuserAlbedo, control.bottomPlateAlbedo),
      aLEDElement(control).led(mm, control.sourceType),
      aSensorElement(control).sensor(mm, control.detectorType),
  };
}

CalibrationSetup initializeForBetaCalibration(const Control& control, double distance) {
  constexpr double mm = 0.1;  // mm -> cm
  return CalibrationSetup{
      control.minWeight,
      BetaCalibrationHousingBoundary(kCalibrationFacePlateRadius, distance, control.diffuserAlbedo,
                                     control.bottomPlateAlbedo),
      betaLEDElement(control).led(mm, control.sourceType),
      betaSensorElement(control).sensor(mm, control.detectorType),
  };
}

}  // namespace pallix
