// Phase functions: building each model (done at every run start and dialog preview) and
// drawing scattering angles (done at every scattering event of the photon tracing).

#include <benchmark/benchmark.h>

#include "orvel/phase/DualPhaseFunction.h"
#include "orvel/phase/FileSuppliedPF.h"
#include "orvel/phase/FournierForand.h"
#include "orvel/phase/IsotropicPF.h"
#include "orvel/phase/OneTermHenyeyGreenstein.h"
#include "orvel/phase/PetzoldPF.h"
#include "orvel/phase/PhaseFunctionFile.h"
#include "orvel/phase/PureWaterPF.h"
#include "orvel/phase/TwoTermHenyeyGreenstein.h"
#include "shared/DataFiles.h"

namespace {

const PhaseFunctionFileTable& petzoldTable() {
  static const PhaseFunctionFileTable table = readPhaseFunctionFile(resolveDataFile("phaseFunction/petzold.txt"));
  return table;
}

void BM_BuildOneTermHG(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(OneTermHenyeyGreenstein(0.925));
}
BENCHMARK(BM_BuildOneTermHG)->Unit(benchmark::kMicrosecond);

void BM_BuildTwoTermHG(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(TwoTermHenyeyGreenstein(0.9, -0.2, 0.5));
}
BENCHMARK(BM_BuildTwoTermHG)->Unit(benchmark::kMicrosecond);

void BM_BuildFournierForand(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FournierForand(4.0, 1.15));
}
BENCHMARK(BM_BuildFournierForand)->Unit(benchmark::kMicrosecond);

void BM_BuildPetzold(benchmark::State& state) {
  const auto& t = petzoldTable();
  for (auto _ : state) benchmark::DoNotOptimize(PetzoldPF(t.fileTheta, t.fileSPF));
}
BENCHMARK(BM_BuildPetzold)->Unit(benchmark::kMicrosecond);

void BM_BuildFileSupplied(benchmark::State& state) {
  const auto& t = petzoldTable();
  for (auto _ : state) benchmark::DoNotOptimize(FileSuppliedPF(t.fileTheta, t.fileSPF));
}
BENCHMARK(BM_BuildFileSupplied)->Unit(benchmark::kMicrosecond);

// The phase function of a run: water plus particles, with and without truncation.
void BM_BuildMixture(benchmark::State& state) {
  const bool truncated = state.range(0) != 0;
  for (auto _ : state) {
    const OneTermHenyeyGreenstein particles(0.925);
    benchmark::DoNotOptimize(DualPhaseFunction(PureWaterPF(), particles, 0.0019, 0.6981, truncated, 0.5));
  }
}
BENCHMARK(BM_BuildMixture)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ReadPetzoldFile(benchmark::State& state) {
  const auto path = resolveDataFile("phaseFunction/petzold.txt");
  for (auto _ : state) benchmark::DoNotOptimize(readPhaseFunctionFile(path));
}
BENCHMARK(BM_ReadPetzoldFile)->Unit(benchmark::kMicrosecond);

// One scattering angle through the interface, as the medium draws it.
void sampleThroughInterface(benchmark::State& state, const PhaseFunction& model) {
  auto rng = Random::stream(1, {});
  for (auto _ : state) benchmark::DoNotOptimize(model.getScatteringAngle(rng));
}

void BM_SampleOneTermHG(benchmark::State& state) { sampleThroughInterface(state, OneTermHenyeyGreenstein(0.925)); }
BENCHMARK(BM_SampleOneTermHG);

void BM_SamplePureWater(benchmark::State& state) { sampleThroughInterface(state, PureWaterPF()); }
BENCHMARK(BM_SamplePureWater);

void BM_SampleMixture(benchmark::State& state) {
  const DualPhaseFunction m(PureWaterPF(), OneTermHenyeyGreenstein(0.925), 0.0019, 0.6981, state.range(0) != 0, 0.5);
  sampleThroughInterface(state, m);
}
BENCHMARK(BM_SampleMixture)->Arg(0)->Arg(1);

void BM_ValueOfMixture(benchmark::State& state) {
  const DualPhaseFunction m(PureWaterPF(), OneTermHenyeyGreenstein(0.925), 0.0019, 0.6981, true, 0.5);
  double theta = 0.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(m.getSPF(theta));
    theta = theta < 3.1 ? theta + 0.01 : 0.0;
  }
}
BENCHMARK(BM_ValueOfMixture);

}  // namespace
