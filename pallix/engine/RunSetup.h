#pragma once
// The objects of the instrument simulator's three kinds of run, built from a snapshot
// of the settings.
//
//   initializePallix              medium run: both channels' housings, LEDs and detectors
//                                 in attenuation lengths (metres times c)
//   initializeForK                k run (no water): the a-channel tube, LED and detector in cm
//   initializeForBetaCalibration  calibration run (no water): the large diffuser at a
//                                 distance, the beta LED and detector in cm
//
// Element lengths are stored in mm (centre, diameter), housing lengths in cm; a slant
// angle is in degrees and a half angle in 0.1 degree. A set-up is built once per run
// step and only read while photons are traced, so every thread may share it.

#include "pallix/engine/AHousingBoundary.h"
#include "pallix/engine/BetaCalibrationHousingBoundary.h"
#include "pallix/engine/BetaHousingBoundary.h"
#include "pallix/engine/Control.h"
#include "pallix/engine/HomogeneousWater.h"
#include "pallix/engine/PallixLEDSource.h"
#include "pallix/engine/PallixSensor.h"
#include "pallix/engine/PhotonLoops.h"

namespace pallix {

// Radius [cm] of the face plate around the beta elements in the calibration set-up.
inline constexpr double kCalibrationFacePlateRadius = 5.75;

struct MediumRunSetup {
  MediumLoopLimits limits;
  AHousingBoundary aHousing;
  BetaHousingBoundary betaHousing;
  PallixLEDSource aLED;
  PallixSensor aSensor;
  PallixLEDSource betaLED;
  PallixSensor betaSensor;
};

struct KRunSetup {
  double aHeight;  // [cm]: the k loop's step is twice the tube length
  AHousingBoundary aHousing;
  PallixLEDSource aLED;
  PallixSensor aSensor;
};

struct CalibrationSetup {
  double minWeight;
  BetaCalibrationHousingBoundary betaCalibrationHousing;
  PallixLEDSource betaLED;
  PallixSensor betaSensor;
};

// Hands c, w0, the phase-function type and parameters to `water` (which builds the
// sampling table they need, unless it holds one made for them), then builds both
// channels for a medium run. Throws std::invalid_argument for element settings that
// have no meaning (a Gaussian detector with a half angle of 0) and PhaseSettingError for
// a phase function that cannot be built (a missing file, parameters out of range).
MediumRunSetup initializePallix(const Control& control, HomogeneousWater& water);

KRunSetup initializeForK(const Control& control);

// The calibration set-up with the diffuser at `distance` cm from the face.
CalibrationSetup initializeForBetaCalibration(const Control& control, double distance);

}  // namespace pallix
