#pragma once
// What a finished visibility run hands to its reports (console, saved report file).
//
// The reports need plain numbers only, so the driver copies them out of its sensors,
// targets and photon once the run is over; the reports never see the engine objects.
// Filling it after a run:
//
//   VisibilityResults r;
//   r.control = run;                      // the run's own copy of the settings, with the
//                                         // aWater / bWater the run computed
//   r.bbRatio = hw.spf.getBbRatio();      // of the run's phase function (mixture)
//   r.elapsedSeconds = ...;               // whole seconds, once known (0 until then)
//   for each i < run.NSensor:
//     r.radTarget.push_back(radTargetSensor[i].getValue());   // likewise the other five
//   lambertianCones / scatteringCones: only when the matching test was on (see below).
//
// Each per-sensor vector has exactly `control.NSensor` entries, element i belonging to
// sensor i of the array (nearest the target first), or is empty: an empty vector reads
// as all zeros, which is what an array that did not run contributes. Any other length
// is a programming error and the report functions raise std::invalid_argument.

#include <vector>

#include "orvel/engine/Control.h"

namespace orvel {

// One cone of the disk target's Lambertian reflection test (printed only when
// `control.isLambertianTest` and `control.isTargetPresent`).
struct LambertianCone {
  double angle = 0.0;      // polar angle of the cone axis from the disk normal [degree]
  long long photons = 0;   // reflections counted in the cone (printed when isLambertianPhotons)
  double weight = 0.0;     // summed weight x theta (printed when isLambertianPhotons is false)
};

// One cone of the photon's scattering-direction test (printed only when `control.isSPFTest`).
struct ScatteringCone {
  double angle = 0.0;      // scattering angle of the cone axis [degree]
  long long photons = 0;   // scatterings counted in the cone over the whole run
  double spf = 0.0;        // the run's phase function at `angle` (hw.getSPF(angle in radians)) [1/sr]
};

struct VisibilityResults {
  // The settings the run was built from (its copy taken at the start), including the
  // pure-water aWater and bWater the run computed for its wavelength. The reports read
  // every setting from here, never from the process-wide record.
  Control control;

  // Backscattering ratio bb/b of the run's phase function (hw.spf.getBbRatio()).
  double bbRatio = 0.0;

  // Duration of the run in whole seconds.
  long long elapsedSeconds = 0;

  // getValue() of every sensor (diffuse-sky plus direct-sun result), per array:
  std::vector<double> radTarget;           // radTargetSensor: target-viewing radiance L_t
  std::vector<double> radOppositeTarget;   // radOppositeTargetSensor: looking away, L_op
  std::vector<double> radBackGround;       // radBackGroundSensor: background radiance L_b
  std::vector<double> radReferenceTarget;  // radReferenceTargetSensor: reference radiance L_r
  std::vector<double> irradTarget;         // irradTargetSensor: irradiance facing the target E
  std::vector<double> irradOppositeTarget; // irradOppositeTargetSensor: facing away, E_op

  // Test histograms, in cone order; empty when the test was off.
  std::vector<LambertianCone> lambertianCones;  // from the target disk
  std::vector<ScatteringCone> scatteringCones;  // from the photon
};

}  // namespace orvel
