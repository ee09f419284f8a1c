// splint on a 150-angle table: the cost of one table lookup per sampled scattering angle.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "shared/Random.h"
#include "shared/VarnoMathLib.h"

namespace {

void BM_SplintOn150AngleTable(benchmark::State& state) {
  // A smooth, strongly forward-peaked table over [0, pi] with 150 uneven abscissae.
  std::vector<double> x(150), y(150);
  for (int i = 0; i < 150; ++i) {
    const double t = i / 149.0;
    x[i] = std::numbers::pi * t * t;
    y[i] = std::exp(-5.0 * x[i]);
  }
  const auto y2 = VarnoMathLib::spline(x, y, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  Random rng(12345);
  std::vector<double> at(4096);
  for (double& a : at) a = std::numbers::pi * rng.uniform();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(VarnoMathLib::splint(x, y, y2, at[i]));
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_SplintOn150AngleTable);

}  // namespace
