// The visibility engine's speed: the bare photon kernel on the standard comparison
// problem and the default visibility run, each on one thread and on all threads.
// Counters: photon histories and interaction (free-path) steps per second of wall time.
#include <benchmark/benchmark.h>
#include <omp.h>

#include "VisibilityKernel.h"

namespace {

int threadsOf(const benchmark::State& state) {
  return state.range(0) > 0 ? static_cast<int>(state.range(0)) : omp_get_max_threads();
}

void BM_PhotonKernel(benchmark::State& state) {
  const int threads = threadsOf(state);
  std::int64_t photons = 0, steps = 0;
  std::uint64_t seed = 1;
  for (auto _ : state) {
    const orvelbench::KernelResult r = orvelbench::runKernel(100000, threads, seed++);
    photons += r.photons;
    steps += r.steps;
    benchmark::DoNotOptimize(r.diffuseReflectance);
  }
  state.counters["threads"] = threads;
  state.counters["photons_per_s"] = benchmark::Counter(static_cast<double>(photons), benchmark::Counter::kIsRate);
  state.counters["steps_per_s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
  state.counters["steps_per_photon"] = static_cast<double>(steps) / static_cast<double>(photons);
}
// Arg 0: all threads.
BENCHMARK(BM_PhotonKernel)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DefaultVisibilityRun(benchmark::State& state) {
  const int threads = threadsOf(state);
  std::int64_t photons = 0, steps = 0;
  for (auto _ : state) {
    const orvelbench::RunResult r = orvelbench::runDefaultVisibility(threads);
    photons += r.photons;
    steps += r.steps;
  }
  state.counters["threads"] = threads;
  state.counters["photons_per_s"] = benchmark::Counter(static_cast<double>(photons), benchmark::Counter::kIsRate);
  state.counters["steps_per_s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DefaultVisibilityRun)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
