#pragma once
// The settings record of the visibility simulator.
//
// `Control` is a value type holding every setting of a visibility run with its initial
// value. One process-wide instance (`globalControl()`) is what the command line and the
// dialogs edit; a run copies it when it starts and builds every engine object from that
// copy, so nothing reads the process-wide record while photons are traced.
//
// Units: angles in degrees unless said otherwise; `targetRadius`, `targetDepth` and
// `bottomDepth` in m; `LT0distance`, `radSensorRadius` and `irradianceDiameter` in mm;
// `radSensorSpacing` in optical depths; `c`, `aWater`, `bWater` in 1/m. The driver turns
// every length into the engine's unit, metres multiplied by the medium's attenuation.
//
// `Control` also carries the two console trace operations of the photon tracer, used
// only when `isPhotonDebug` is set.

#include <array>
#include <string>
#include <string_view>

#include "shared/Vec3.h"

namespace orvel {

struct Control {
  // --- Photon budget and termination. ---
  int Nphoton = 20000;       // photons traced backwards from each sensor in each pass
  double minWeight = 1e-10;  // a photon is abandoned once its weight is <= this
  int maxScatEvents = 30;    // abandoned once its scattering count exceeds this (at most 31 scatterings)

  // --- Test and trace switches. ---
  bool isPhotonDebug = false;         // print a console trace line at every photon event
  bool isLambertianTest = false;      // count the disk target's reflected directions in test cones
  bool isLambertianPhotons = true;    // Lambertian test counts photons (true) or sums weights (false);
                                      // when false the disk also returns albedo x theta
  bool isLambertianWeights = false;   // opposite of isLambertianPhotons, kept for the test window only
  bool isSPFTest = false;             // count the sampled scattering directions in test cones
  double testAngle = 3.0;             // full angle of each test cone and spacing of the axes [degree]

  // --- Sensor arrays to run and target presence. ---
  bool isTargetPresent = true;                          // target (and reference) tested for hits
  bool isTargetViewingRadianceSensor = true;            // target-viewing radiance array
  bool isOppositeTargetViewingRadianceSensor = false;   // same places, looking away from the target
  bool isBackGroundRadianceSensor = true;               // background radiance array beside the target
  bool isTargetViewingIrradianceSensor = false;         // irradiance collectors facing the target
  bool isOppositeTargetViewingIrradianceSensor = false; // irradiance collectors facing away
  bool isReferenceTargetPresent = false;                // reference disk and its radiance array

  // --- Target and sensor-array geometry. ---
  bool isDisk = true;                // target shape: disk (true) or sphere (false)
  double targetRadius = 1.0;         // [m]
  double targetDepth = 5.0;          // depth of the target centre [m]
  double targetAlbedo = 1.0;         // target reflectance [0, 1]
  double referenceAlbedo = 0.0;      // reference disk reflectance [0, 1]
  double sensorAzimuthAngle = 180.0; // azimuth of the viewing direction [degree]
  double sensorZenithAngle = 90.0;   // zenith angle of the viewing direction from +z (down) [degree]
  double sensorFOV = 3.0;            // radiance sensor field-of-view half angle [degree]
  double radSensorRadius = 10.0;     // radiance sensor aperture radius [mm]
  double irradianceDiameter = 10.0;  // irradiance collector diameter [mm]
  double radSensorSpacing = 0.5;     // step between successive sensors of an array [optical depth]
  double sensorArrayDistance = 2.0;  // sideways offset of background/reference arrays [x targetRadius]
  int NSensor = 10;                  // sensors in every array
  double LT0distance = 1.0;          // distance of the nearest sensor from the target centre [mm]

  // --- Bottom. ---
  bool isBottomInfinite = true;  // the water is infinitely deep
  double bottomDepth = 20.0;     // [m]
  double bottomAlbedo = 1.0;     // Lambertian bottom reflectance [0, 1]

  // --- Incident light. ---
  static constexpr int nInRadType = 2;
  static constexpr std::array<std::string_view, nInRadType> incidentRadName = {
      "Solar  Radiation  Model (G-C & H-C)", "Simple  Model (input Ed & Cardioidal)"};
  int inRadType = 0;                               // 0 solar radiation model, 1 simple (cardioidal) model
  bool isDiffuseMode = true;                       // run the diffuse-sky pass
  bool isCollimatedMode = true;                    // run the direct-sun pass
  double solarZenithAngle = 30.0;                  // sun zenith angle in air [degree]
  double collimationTolerance = 0.5;               // sun half-angle [degree]
  double cloudCover = 0.0;                         // cloud fraction for the solar model [0, 1]
  int wavelength = 550;                            // [nm]
  double cardioidalCoeff = 0.0;                    // C in the sky radiance Lo (1 + C cos theta)
  double cardioidalTotalEd = 1.3701702;            // total downwelling irradiance above water [W/m^2/nm]
  double cardioidalSkyEdToTotalEd = 0.2687917;     // sky (diffuse) share of the total [0, 1]

  // --- Water optics. ---
  double c = 1.0;               // beam attenuation coefficient [1/m]
  double w0 = 0.7;              // single-scattering albedo b/c
  double nWater = 1.34;         // refractive index of water
  bool isWaterIncluded = true;  // scattering = pure water + a particle component
  double bWater = 0.0019;       // pure-water scattering [1/m]; recomputed for the wavelength by each run
  double aWater = 0.0638;       // pure-water absorption [1/m]; recomputed like bWater, only reported

  // --- Phase function. ---
  static constexpr int nPfType = 7;
  static constexpr std::array<std::string_view, nPfType> pfName = {
      "One term Henyey - Greenstein", "Two term Henyey - Greenstein", "Fournier - Forand",
      "Isotropic",                    "Pure  water",                  "Average  particle (Petzold)",
      "Import  from  PF  file"};
  int pfType = 0;                          // chosen phase function, index into pfName
  std::string userPFfile;                  // file name inside the "phaseFunction" folder (type 6)
  double bbRatio = 0.016748976535290592;   // last backscattering ratio entered; not read by the engine
  int nSPFdisplayAngles = 181;             // angles of the phase-function display
  double initialForwardScat = 0.5;         // forward cut ratio for truncation [0, 0.9]
  bool isPFtruncated = false;              // truncate the forward peak, rescale c and w0
  double g = 0.925;                        // one-term Henyey-Greenstein asymmetry
  double g1 = 0.9;                         // two-term HG: first term
  double g2 = -0.2;                        // two-term HG: second term
  double g12Weight = 0.5;                  // two-term HG: weight w of w HG1 + (1 - w) HG2
  double JungeCoeff = 4.0;                 // Fournier-Forand Junge slope
  double realIndex = 1.15;                 // Fournier-Forand particle index relative to water

  bool operator==(const Control&) const = default;

  // --- Photon trace (console output channel). ---
  // Prints `text` and a line end.
  static void writePhotonEvent(std::string_view text);
  // Prints `text`, one blank, then x, y and z of `position` in single-precision form,
  // separated by tabs, and a line end.
  static void writePhotonInfo(std::string_view text, const Vec3& position);
  // The same for a photon: its current position (`getNewPosition()`).
  template <class PhotonLike>
  static void writePhotonInfo(std::string_view text, const PhotonLike& photon) {
    writePhotonInfo(text, Vec3(photon.getNewPosition()));
  }
};

// The process-wide settings that the command line and dialogs edit. The visibility
// simulator is single-threaded; a run takes a copy (`Control run = globalControl();`).
Control& globalControl();

}  // namespace orvel
