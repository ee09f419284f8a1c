#pragma once
// The bare photon kernel of the visibility engine on the field's standard comparison
// problem, and the default visibility run, for the benchmark programs.
//
// Kernel problem: a pencil beam at normal incidence through the flat surface (n = 1.34)
// into a half-space of attenuation c = 1, single-scattering albedo 0.7 and
// Henyey-Greenstein phase function g = 0.925. Each photon enters with the surface's
// transmittance as its weight, takes free-path steps, scatters with weight x albedo,
// and is reflected back into the water at the surface with the Fresnel reflectance as
// weight factor (the engine's surface), the rest escaping as diffuse reflectance. Below
// a weight of 1e-4, Russian roulette: survival 1 in 10 with weight x 10.
//
// The photons are traced in chunks of fixed size, each from its own random stream, on
// the requested number of threads.

#include <omp.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "orvel/engine/CardioidalRadiance.h"
#include "orvel/engine/Control.h"
#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/InfiniteHorizonBoundary.h"
#include "orvel/engine/Photon.h"
#include "orvel/engine/Source.h"
#include "orvel/engine/VisibilityRun.h"
#include "orvel/phase/OneTermHenyeyGreenstein.h"
#include "shared/BasicEquations.h"
#include "shared/Console.h"
#include "shared/Random.h"

namespace orvelbench {

struct KernelResult {
  std::int64_t photons = 0;
  std::int64_t steps = 0;            // free-path steps (interactions)
  double diffuseReflectance = 0.0;   // weight escaping through the surface per photon
  double seconds = 0.0;              // wall time
};

// The pencil beam: from the surface point (0, 0, 0) straight down.
class PencilBeam final : public Source {
 public:
  std::array<double, 6> getInitialPhotonPositionDirection(Random&) const override { return {0, 0, 0, 0, 0, 1}; }
  double getInitialPhotonWeight() const override { return 1.0; }
};

class KernelProblem {
 public:
  KernelProblem()
      : water_(1.0, 0.7, std::make_shared<OneTermHenyeyGreenstein>(0.925)),
        sky_(550.0, 0.0, 0.0, 1.0),
        surface_(sky_, true, 0.0, 1.0, orvel::Control{}),
        entry_(1.0 - BasicEquations::FresnelReflectance(0.0, 0.0)) {}

  // Traces `count` photons drawing from `rng`; adds to `result`.
  void trace(std::int64_t count, Random& rng, KernelResult& result) const {
    orvel::Photon photon;
    std::int64_t steps = 0;
    double escaped = 0.0;
    for (std::int64_t i = 0; i < count; ++i) {
      photon.launch(beam_, rng);
      photon.updateWeight(entry_);
      while (true) {
        photon.updatePosition(orvel::HomogeneousWater::getFreePathLength(rng));
        ++steps;
        if (photon.getNewPosition()[2] < 0.0) {
          const double before = photon.getWeight();
          surface_.outOfBoundOperation(photon, true, rng);  // weight x R, back into the water
          escaped += before - photon.getWeight();
        } else {
          photon.volumeScattering(water_, rng);  // weight x albedo
        }
        if (photon.getWeight() < 1e-4) {
          if (rng.uniform() < 0.1) {
            photon.updateWeight(10.0);
          } else {
            break;
          }
        }
      }
    }
    result.photons += count;
    result.steps += steps;
    result.diffuseReflectance += escaped;
  }

 private:
  orvel::HomogeneousWater water_;
  orvel::CardioidalRadiance sky_;
  orvel::InfiniteHorizonBoundary surface_;
  PencilBeam beam_;
  double entry_;
};

// `photons` photons on `threads` threads (0: all), in chunks of 10000.
inline KernelResult runKernel(std::int64_t photons, int threads, std::uint64_t seed = 1) {
  constexpr std::int64_t kChunk = 10000;
  const KernelProblem problem;
  const std::int64_t chunks = (photons + kChunk - 1) / kChunk;
  std::vector<KernelResult> parts(static_cast<std::size_t>(chunks));
  const int n = threads > 0 ? threads : omp_get_max_threads();
  const auto start = std::chrono::steady_clock::now();
#pragma omp parallel for schedule(dynamic, 1) num_threads(n)
  for (std::int64_t k = 0; k < chunks; ++k) {
    Random rng = Random::stream(seed, {static_cast<std::uint64_t>(k)});
    problem.trace(std::min(kChunk, photons - k * kChunk), rng, parts[static_cast<std::size_t>(k)]);
  }
  KernelResult total;
  total.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (const KernelResult& part : parts) {
    total.photons += part.photons;
    total.steps += part.steps;
    total.diffuseReflectance += part.diffuseReflectance;
  }
  if (total.photons > 0) total.diffuseReflectance /= static_cast<double>(total.photons);
  return total;
}

struct RunResult {
  double seconds = 0.0;  // wall time of the whole run, set-up included
  std::int64_t photons = 0;
  std::int64_t steps = 0;
};

// The default visibility run (initial settings) on `threads` threads (0: all), console
// output captured and dropped.
inline RunResult runDefaultVisibility(int threads, std::uint64_t seed = 1) {
  const console::Capture quiet;  // the run's console tables, not shown
  const auto start = std::chrono::steady_clock::now();
  orvel::VisibilityRun run(orvel::Control{}, orvel::VisibilityRunOptions{seed, threads, {}});
  run.run();
  RunResult result;
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.photons = run.getPhotonCount();
  result.steps = run.getStepCount();
  return result;
}

}  // namespace orvelbench
