#pragma once
// The settings record of the instrument simulator.
//
// `Control` is a value type holding every setting with its initial value. One
// process-wide instance (`globalControl()`) is what the command line and dialogs edit;
// a run never reads it while tracing: each run step copies it (`snapshotGlobalControl()`)
// when its objects are built and works from that copy, so that edits made while a run
// goes on are never seen half-written.
//
// Units: lengths of the instrument housing in cm, lengths of the LED and detector
// elements in mm, slant angles in degrees, half angles in 0.1 degree, c in 1/m.

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace pallix {

struct Control {
  // --- Run-mode flags, tested in this order by the run thread. ---
  bool isRunForK = false;                // next run: diffuser reflection to the a-sensor, no medium
  bool isRunForBetaCalibration = false;  // next run: calibration against the large diffuser
  bool isBatchRun = false;               // a w0 sweep is armed

  // --- Monte Carlo control, medium and phase function. ---
  std::int64_t Nphoton = 1000000;  // photons per channel / diffuser distance / w0 step
  double minWeight = 1e-7;         // a photon whose weight is at or below this is dropped
  int nMaxScat = 5;                // most free-path steps traced per photon in a medium run
  double c = 1.0;                  // beam attenuation coefficient [1/m]
  double w0 = 0.7;                 // single-scattering albedo
  double nWater = 1.34;            // refractive index of water

  // Phase-function types: the index is `pfType` and the medium's type code.
  static constexpr int nPfType = 7;
  static constexpr std::array<std::string_view, nPfType> pfName = {
      "One term Henyey - Greenstein", "Two term Henyey - Greenstein", "Fournier - Forand",
      "Isotropic",                    "Pure  water",                  "Average  particle (Petzold)",
      "Import  from  PF  file"};
  int pfType = 0;  // selected phase function, index into pfName
  // Phase-function file of type 6 ("Import  from  PF  file"), the file picked in the phase
  // function dialog; a run builds its sampling table from this file. Type 5 always reads
  // "phaseFunction/petzold.txt".
  std::string userFile;

  double bbRatio = 0.016748976535290592;  // backscattering ratio accepted in the phase function dialog
  double g = 0.925;                       // one-term Henyey-Greenstein asymmetry parameter
  double g1 = 0.9;                        // two-term HG: first term's asymmetry parameter
  double g2 = -0.2;                       // two-term HG: second term's asymmetry parameter
  double g12Weight = 0.5;                 // two-term HG: weight of the first term
  double JungeCoeff = 1.0;                // Fournier-Forand Junge slope
  double forwardAngle = 0.01;             // first tabulated angle of the Fournier-Forand table [degree]
  double realIndex = 1.1;                 // Fournier-Forand particle index relative to water

  // --- Instrument, source and detector, calibration and sweep. ---
  double pallixRadius = 4.3;       // instrument, a-tube, a-diffuser and face-plate radius [cm]
  double aHeight = 15.0;           // a-channel tube length: face to a-diffuser [cm]
  double diffuserAlbedo = 1.0;     // reflectance of the a-diffuser and calibration diffuser
  double bottomPlateAlbedo = 0.0;  // reflectance of the face plate
  int sourceType = 0;              // LED angular distribution: 0 Gaussian, 1 Uniform
  int detectorType = 0;            // detector angular response: 0 Gaussian, 1 Uniform
  double startDiffuser = 2.0;      // first calibration diffuser distance [cm]
  double endDiffuser = 14.0;       // last calibration diffuser distance [cm]
  double intervalDiffuser = 0.5;   // step between diffuser distances [cm]
  int betaRepetition = 10;         // parts into which a beta-only single run splits its photons
  double startw0 = 0.1;            // first w0 of a sweep
  double endw0 = 0.9;              // last w0 of a sweep
  double intervalw0 = 0.1;         // w0 step of a sweep

  // --- Channel geometry: A = absorption channel, B = beta channel. ---
  // theta: slant of the element's axis from the face normal towards the other element [degree]
  // center: distance of the element's centre from the instrument axis [mm]
  // diameter: diameter of the emitting or receiving disk [mm]
  // fov: half angle (Gaussian half width at half maximum, Uniform cut-off) [0.1 degree]
  int AthetaLEDSliderValue = 10;
  int AthetaSensorSliderValue = 9;
  int BthetaLEDSliderValue = 19;
  int BthetaSensorSliderValue = 19;
  int AcenterLEDSliderValue = 25;
  int AcenterSensorSliderValue = 25;
  int BcenterLEDSliderValue = 24;
  int BcenterSensorSliderValue = 24;
  int AdiameterLEDSliderValue = 12;
  int AdiameterSensorSliderValue = 20;
  int BdiameterLEDSliderValue = 7;
  int BdiameterSensorSliderValue = 20;
  int AfovLEDSliderValue = 80;
  int AfovSensorSliderValue = 46;
  int BfovLEDSliderValue = 60;
  int BfovSensorSliderValue = 46;

  // Slider bounds of the geometry editors.
  static constexpr int AthetaLEDSliderMin = 5, AthetaLEDSliderMax = 45;
  static constexpr int AthetaSensorSliderMin = 5, AthetaSensorSliderMax = 45;
  static constexpr int BthetaLEDSliderMin = 5, BthetaLEDSliderMax = 45;
  static constexpr int BthetaSensorSliderMin = 5, BthetaSensorSliderMax = 45;
  static constexpr int AcenterLEDSliderMin = 5, AcenterLEDSliderMax = 45;
  static constexpr int AcenterSensorSliderMin = 5, AcenterSensorSliderMax = 45;
  static constexpr int BcenterLEDSliderMin = 5, BcenterLEDSliderMax = 45;
  static constexpr int BcenterSensorSliderMin = 5, BcenterSensorSliderMax = 45;
  static constexpr int AdiameterLEDSliderMin = 5, AdiameterLEDSliderMax = 45;
  static constexpr int AdiameterSensorSliderMin = 5, AdiameterSensorSliderMax = 45;
  static constexpr int BdiameterLEDSliderMin = 5, BdiameterLEDSliderMax = 45;
  static constexpr int BdiameterSensorSliderMin = 5, BdiameterSensorSliderMax = 45;
  static constexpr int AfovLEDSliderMin = 0, AfovLEDSliderMax = 100;
  static constexpr int AfovSensorSliderMin = 0, AfovSensorSliderMax = 100;
  static constexpr int BfovLEDSliderMin = 0, BfovLEDSliderMax = 100;
  static constexpr int BfovSensorSliderMin = 0, BfovSensorSliderMax = 100;

  // The beta channel's apparent scattering angle [degree]: 180 - LED slant - detector slant.
  int betaScatteringAngleDegrees() const { return 180 - BthetaLEDSliderValue - BthetaSensorSliderValue; }
};

// The process-wide settings. Code on a single thread (or with no run going on) may read
// and write it directly; code that runs while a run thread may be reading uses the two
// locked forms below.
Control& globalControl();

// The lock that guards the process-wide settings against concurrent copy and edit.
std::mutex& globalControlMutex();

// A consistent copy of the process-wide settings, taken under the lock.
Control snapshotGlobalControl();

// Applies `edit(Control&)` to the process-wide settings under the lock.
template <class Edit>
void editGlobalControl(Edit&& edit) {
  std::lock_guard<std::mutex> lock(globalControlMutex());
  edit(globalControl());
}

}  // namespace pallix
