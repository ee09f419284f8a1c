// One scattering rotation of a photon direction: the round trip through angles
// (getAnglesFromDirectionVector + computeDirection) against the direct rotation.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "shared/BasicEquations.h"
#include "shared/Random.h"
#include "shared/SinCos.h"

namespace {

constexpr double kPi = std::numbers::pi;

struct Deflection {
  double theta, phi, cosTheta, sinTheta, cosPhi, sinPhi;
};

std::vector<Deflection> deflections() {
  Random rng(7);
  std::vector<Deflection> d(4096);
  for (auto& x : d) {
    x.theta = 0.5 * kPi * rng.uniform() * rng.uniform();  // mostly forward, as in sea water
    x.phi = 2 * kPi * rng.uniform();
    x.cosTheta = std::cos(x.theta);
    x.sinTheta = std::sin(x.theta);
    x.cosPhi = std::cos(x.phi);
    x.sinPhi = std::sin(x.phi);
  }
  return d;
}

void BM_RotationThroughAngles(benchmark::State& state) {
  const auto d = deflections();
  Vec3 direction{0.3, -0.4, std::sqrt(1 - 0.25)};
  std::size_t i = 0;
  for (auto _ : state) {
    const auto [theta0, phi0] = BasicEquations::getAnglesFromDirectionVector(direction);
    direction = BasicEquations::computeDirection(theta0, phi0, d[i].theta, d[i].phi);
    benchmark::DoNotOptimize(direction);
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_RotationThroughAngles);

// The photon loop's form: the deflection's cosines and sines are at hand from sampling.
void BM_DirectRotation(benchmark::State& state) {
  const auto d = deflections();
  Vec3 direction{0.3, -0.4, std::sqrt(1 - 0.25)};
  std::size_t i = 0;
  for (auto _ : state) {
    direction =
        BasicEquations::rotateDirection(direction, d[i].cosTheta, d[i].sinTheta, d[i].cosPhi, d[i].sinPhi);
    benchmark::DoNotOptimize(direction);
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_DirectRotation);

// The visibility photon's scattering: both sine-cosine pairs from the angles, by the
// library and by the short reduction of sinCos, then the direct rotation.
void BM_RotationFromAnglesLibrarySinCos(benchmark::State& state) {
  const auto d = deflections();
  Vec3 direction{0.3, -0.4, std::sqrt(1 - 0.25)};
  std::size_t i = 0;
  for (auto _ : state) {
    direction = BasicEquations::rotateDirection(direction, d[i].theta, d[i].phi);
    benchmark::DoNotOptimize(direction);
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_RotationFromAnglesLibrarySinCos);

void BM_RotationFromAnglesShortSinCos(benchmark::State& state) {
  const auto d = deflections();
  Vec3 direction{0.3, -0.4, std::sqrt(1 - 0.25)};
  std::size_t i = 0;
  for (auto _ : state) {
    const SinCos t = sinCos(d[i].theta), p = sinCos(d[i].phi);
    direction = BasicEquations::rotateDirection(direction, t.cos, t.sin, p.cos, p.sin);
    benchmark::DoNotOptimize(direction);
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_RotationFromAnglesShortSinCos);

// The instrument sensor's start directions about a fixed axis.
void BM_NewDirectionCosine(benchmark::State& state) {
  const auto d = deflections();
  const Vec3 axis{0.3, -0.4, std::sqrt(1 - 0.25)};
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(BasicEquations::computeNewDirectionCosine(axis, d[i].theta, d[i].phi));
    i = (i + 1) & 4095;
  }
}
BENCHMARK(BM_NewDirectionCosine);

}  // namespace
