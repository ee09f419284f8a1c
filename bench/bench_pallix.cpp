// Photon throughput of the instrument simulator's runs, on one thread and on every core
// (argument 0): the k run, one calibration distance and one single a + beta medium run,
// each traced as the run controller traces it (one team per run, chunks of parallel
// sub-chunks).

#include <benchmark/benchmark.h>
#include <omp.h>

#include <cstdint>

#include "pallix/engine/Control.h"
#include "pallix/engine/HomogeneousWater.h"
#include "pallix/engine/ParallelTracing.h"
#include "pallix/engine/PhotonLoops.h"
#include "pallix/engine/RunPlan.h"
#include "pallix/engine/RunSetup.h"

namespace {

using namespace pallix;

constexpr std::int64_t kPhotons = 200000;

void reportRate(benchmark::State& state, std::int64_t photonsPerIteration) {
  state.counters["photons/s"] =
      benchmark::Counter(static_cast<double>(photonsPerIteration), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["threads"] = static_cast<double>(state.range(0) > 0 ? state.range(0) : omp_get_max_threads());
}

// The k run: 100 chunks of N / 100 photons through the a-channel tube in cm.
void BM_KRun(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  const Control control;
  for (auto _ : state) {
    KRunSetup setup = initializeForK(control);
    withTracingTeam(threads, [&] {
      for (int i = 0; i < MAXIMUM; ++i)
        traceChunk(kPhotons / MAXIMUM, 1, {StreamMode::KRun, 0, static_cast<std::uint64_t>(i)}, threads,
                   setup.aSensor, [&setup](std::int64_t n, PallixSensor& s, Photon& p, Random& rng) {
                     runForK(n, s, setup.aLED, setup.aHousing, setup.aHeight, p, rng);
                   });
    });
    benchmark::DoNotOptimize(setup.aSensor.getWeight());
  }
  reportRate(state, kPhotons);
}

// One calibration distance (8 cm): N photons in one chunk.
void BM_CalibrationDistance(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  const Control control;
  for (auto _ : state) {
    CalibrationSetup setup = initializeForBetaCalibration(control, 8.0);
    traceChunk(kPhotons, 1, {StreamMode::Calibration, 12, 0}, threads, setup.betaSensor,
               [&setup](std::int64_t n, PallixSensor& s, Photon& p, Random& rng) {
                 runForBetaCalibration(n, s, setup.betaLED, setup.betaCalibrationHousing, setup.minWeight, p, rng);
               });
    benchmark::DoNotOptimize(setup.betaSensor.getWeight());
  }
  reportRate(state, kPhotons);
}

// A single medium run of both channels: 50 a chunks, then 50 beta chunks.
void BM_SingleRunBothChannels(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  const Control control;
  HomogeneousWater water;
  const SingleRunPlan plan = planSingleRun(true, true, control.betaRepetition, kPhotons);
  for (auto _ : state) {
    MediumRunSetup setup = initializePallix(control, water);
    withTracingTeam(threads, [&] {
      for (int i = 0; i < plan.a.chunks; ++i)
        traceChunk(plan.a.photonsPerChunk, 1, {StreamMode::Single, 0, static_cast<std::uint64_t>(i)}, threads,
                   setup.aSensor, [&](std::int64_t n, PallixSensor& s, Photon& p, Random& rng) {
                     runPallix(n, s, setup.aLED, setup.aHousing, water, setup.limits, p, rng);
                   });
      for (int i = 0; i < plan.beta.chunks; ++i)
        traceChunk(plan.beta.photonsPerChunk, 1, {StreamMode::Single, 1, static_cast<std::uint64_t>(i)},
                   threads, setup.betaSensor, [&](std::int64_t n, PallixSensor& s, Photon& p, Random& rng) {
                     runPallix(n, s, setup.betaLED, setup.betaHousing, water, setup.limits, p, rng);
                   });
    });
    benchmark::DoNotOptimize(setup.aSensor.getWeight() + setup.betaSensor.getWeight());
  }
  reportRate(state, 2 * (kPhotons / 2));
}

BENCHMARK(BM_KRun)->Arg(1)->Arg(0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalibrationDistance)->Arg(1)->Arg(0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SingleRunBothChannels)->Arg(1)->Arg(0)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
