// Photon transport hot path: free-path steps with volume scattering, with and without
// the direct-sun local estimate of a sensor.
#include <benchmark/benchmark.h>

#include <memory>

#include "orvel/engine/Control.h"
#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/Photon.h"
#include "orvel/engine/RadianceSensor.h"
#include "orvel/phase/OneTermHenyeyGreenstein.h"
#include "shared/Random.h"

namespace {

orvel::HomogeneousWater makeWater() {
  return orvel::HomogeneousWater(1.0, 0.7, std::make_shared<OneTermHenyeyGreenstein>(0.925));
}

void BM_StepAndScatter(benchmark::State& state) {
  const orvel::HomogeneousWater water = makeWater();
  const orvel::Control control;
  const orvel::RadianceSensor sensor({-1.0, 0.0, 0.0}, {0.0, 0.0, 5.0}, 0.01, 0.05, false, control);
  orvel::SensorTally sums;
  orvel::Photon photon;
  Random rng = Random::stream(1, {0});
  photon.launch(sensor, sums, rng);
  for (auto _ : state) {
    photon.updatePosition(orvel::HomogeneousWater::getFreePathLength(rng));
    photon.volumeScattering(water, rng);
    if (photon.getMultipleScattering() > 30) photon.launch(sensor, sums, rng);
    benchmark::DoNotOptimize(photon.getNewPosition());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StepAndScatter);

void BM_StepLocalEstimateAndScatter(benchmark::State& state) {
  const orvel::HomogeneousWater water = makeWater();
  const orvel::Control control;
  const orvel::RadianceSensor sensor({-1.0, 0.0, 0.0}, {0.0, 0.0, 5.0}, 0.01, 0.05, true, control);
  orvel::SensorTally sums;
  orvel::Photon photon;
  Random rng = Random::stream(2, {0});
  photon.launch(sensor, sums, rng);
  for (auto _ : state) {
    photon.updatePosition(orvel::HomogeneousWater::getFreePathLength(rng));
    sensor.tallyCollimationBackMC(photon, water, sums);
    photon.volumeScattering(water, rng);
    if (photon.getMultipleScattering() > 30) photon.launch(sensor, sums, rng);
  }
  benchmark::DoNotOptimize(sums.weight);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StepLocalEstimateAndScatter);

}  // namespace
