#pragma once
// The three photon loops of the instrument simulator.
//
// Each loop launches `nphoton` photons from an LED, moves them through a housing and
// tallies those that come back onto the detector. They are templates over the concrete
// detector, source and housing types so that the compiler sees every per-step call (no
// virtual dispatch in the loop); all random numbers come from `rng`, and nothing is
// allocated.
//
//   runPallix              medium run: free paths of -ln(xi) attenuation lengths, a
//                          scattering after every step that stays in the water
//   runForK                k run, no water: LED -> a-diffuser -> a-detector, in cm
//   runForBetaCalibration  calibration run, no water: LED -> large diffuser -> beta
//                          detector (and the face plate, when it reflects), in cm

#include <cmath>
#include <cstdint>

#include "pallix/engine/Photon.h"
#include "shared/Random.h"

namespace pallix {

// What the medium loop reads from the run's settings.
struct MediumLoopLimits {
  double minWeight;  // a photon whose weight is at or below this is dropped
  int nMaxScat;      // most free-path steps per photon
  double w0;         // single-scattering albedo: the weight factor at each scattering
};

// Medium photon loop. For each photon: launch; then step by a free path of -ln(xi)
// attenuation lengths. A step that ends in the water ends on the detector (tally) or
// in a scattering; a step that leaves the water ends on the detector or at the
// housing's boundary. The detector is asked first, so a photon that comes back through
// the face onto the detector disk is tallied whatever the housing would do with it.
// Steps repeat while the weight is above `minWeight` and fewer than `nMaxScat` steps
// were taken.
template <class Sensor, class Source, class Housing, class Water>
void runPallix(std::int64_t nphoton, Sensor& sensor, const Source& source, const Housing& housing,
               const Water& water, const MediumLoopLimits& limits, Photon& photon, Random& rng) {
  for (std::int64_t n = 0; n < nphoton; ++n) {
    photon.launch(source, rng);
    do {
      // 1 - uniform() lies in (0, 1], so the path is finite.
      photon.updatePosition(-std::log(1.0 - rng.uniform()));
      if (sensor.isHit(photon)) {
        sensor.tally(photon);
      } else if (housing.isWithinBoundary(photon.getNewPosition())) {
        photon.volumeScattering(water, limits.w0, rng);
      } else {
        housing.processBoundary(photon, rng);
      }
    } while (photon.getWeight() > limits.minWeight && photon.getMultipleScattering() < limits.nMaxScat);
  }
}

// k photon loop: two straight steps of 2 x aHeight cm each. The first reaches the
// a-diffuser plane, where the housing reflects a photon within the tube's radius back
// towards the face and ends any other; the second brings it back to the face, where the
// detector tallies it if it lands on the disk. No weight test, no scattering.
template <class Sensor, class Source, class Housing>
void runForK(std::int64_t nphoton, Sensor& sensor, const Source& source, const Housing& housing,
             double aHeight, Photon& photon, Random& rng) {
  const double stepLength = 2.0 * aHeight;  // [cm]
  for (std::int64_t n = 0; n < nphoton; ++n) {
    photon.launch(source, rng);
    photon.updatePosition(stepLength);
    housing.processBoundary(photon, rng);
    photon.updatePosition(stepLength);
    if (sensor.isHit(photon)) sensor.tally(photon);
  }
}

// Calibration photon loop: steps of 1000 cm, far beyond the slab between the face and
// the large diffuser, so that every step ends at a boundary. After the first step the
// diffuser reflects the photon; then, at least once and while the weight is above
// `minWeight`, a step either ends on the detector or at the housing (the face plate
// reflects it when it has an albedo, anything else ends the photon).
template <class Sensor, class Source, class Housing>
void runForBetaCalibration(std::int64_t nphoton, Sensor& sensor, const Source& source, const Housing& housing,
                           double minWeight, Photon& photon, Random& rng) {
  constexpr double stepLength = 1000.0;  // [cm]
  for (std::int64_t n = 0; n < nphoton; ++n) {
    photon.launch(source, rng);
    photon.updatePosition(stepLength);
    housing.processBoundary(photon, rng);
    do {
      photon.updatePosition(stepLength);
      if (sensor.isHit(photon)) sensor.tally(photon);
      else housing.processBoundary(photon, rng);
    } while (photon.getWeight() > minWeight);
  }
}

}  // namespace pallix
