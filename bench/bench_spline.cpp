// splint on a 150-angle table: the cost of one table lookup per sampled scattering angle,
// with the interval found by bisection and through a SplineBracketIndex.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "shared/Random.h"
#include "shared/VarnoMathLib.h"

namespace {

struct Table {
  std::vector<double> x, y, y2, at;
};

// A smooth, strongly forward-peaked table over [0, pi] with 150 uneven abscissae, and
// 4096 random arguments.
Table table() {
  Table t{std::vector<double>(150), std::vector<double>(150), {}, std::vector<double>(4096)};
  for (int i = 0; i < 150; ++i) {
    const double s = i / 149.0;
    t.x[i] = std::numbers::pi * s * s;
    t.y[i] = std::exp(-5.0 * t.x[i]);
  }
  t.y2 = VarnoMathLib::spline(t.x, t.y, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  Random rng(12345);
  for (double& a : t.at) a = std::numbers::pi * rng.uniform();
  return t;
}

void BM_SplintOn150AngleTable(benchmark::State& state) {
  const Table t = table();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(VarnoMathLib::splint(t.x, t.y, t.y2, t.at[i]));
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_SplintOn150AngleTable);

void BM_IndexedSplintOn150AngleTable(benchmark::State& state) {
  const Table t = table();
  const SplineBracketIndex index(t.x);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(VarnoMathLib::splint(index, t.y, t.y2, t.at[i]));
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_IndexedSplintOn150AngleTable);

}  // namespace
