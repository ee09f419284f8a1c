#include "orvel/engine/ScatteringTest.h"

#include <cmath>
#include <stdexcept>

#include "shared/BasicEquations.h"
#include "shared/Console.h"
#include "shared/Random.h"

namespace orvel {

namespace {

constexpr double kDegree = 3.141592653589793 / 180.0;

// (sin t cos p, sin t sin p, cos t) for t, p in radians.
Vec3 unitVector(double theta, double phi) {
  const double s = std::sin(theta);
  return {s * std::cos(phi), s * std::sin(phi), std::cos(theta)};
}

}  // namespace

ScatteringTest::ScatteringTest(double testAngle, Random& rng) {
  if (!(testAngle > 0.0 && testAngle <= 180.0)) {
    throw std::invalid_argument("scattering test angle must lie in (0, 180] degrees");
  }
  testAngle_ = testAngle;
  cosHalfAngle_ = std::cos(0.5 * testAngle * kDegree);
  const auto nTest = 1 + static_cast<std::size_t>(180.0 / testAngle);
  angle.resize(nTest);
  scatteredPhotons.assign(nTest, 0);
  testDirection.resize(nTest);
  for (std::size_t i = 0; i < nTest; ++i) {
    angle[i] = static_cast<double>(i) * testAngle;
    const double phi = rng.uniform() * 360.0;
    testDirection[i] = BasicEquations::anglesToDirectionCosine(angle[i], phi);
  }
}

int ScatteringTest::count(double theta, double phi) {
  const Vec3 s = unitVector(theta, phi);
  int matches = 0;
  for (std::size_t i = 0; i < testDirection.size(); ++i) {  // every cone, no early exit
    if (dot(s, testDirection[i]) > cosHalfAngle_) {
      ++scatteredPhotons[i];
      ++matches;
    }
  }
  if (matches > 1) console::message("Multiple");
  return matches;
}

ScatteringTest& ScatteringTest::operator+=(const ScatteringTest& other) {
  if (!other.isEnabled()) return *this;
  if (!isEnabled()) return *this = other;
  if (other.testAngle_ != testAngle_ || other.testDirection != testDirection) {
    throw std::invalid_argument("scattering tests with different cones cannot be merged");
  }
  for (std::size_t i = 0; i < scatteredPhotons.size(); ++i) scatteredPhotons[i] += other.scatteredPhotons[i];
  return *this;
}

}  // namespace orvel
