#include "orvel/engine/LambertianTest.h"

#include <cmath>
#include <stdexcept>

#include "shared/BasicEquations.h"
#include "shared/Random.h"

namespace orvel {

namespace {
constexpr double kDegree = 3.141592653589793 / 180.0;
}  // namespace

LambertianTest::LambertianTest(const Vec3& normal, double testAngle, bool isLambertianPhotons, Random& rng)
    : testAngle_(testAngle), isLambertianPhotons_(isLambertianPhotons) {
  if (!(testAngle > 0.0 && testAngle <= 180.0)) {
    throw std::invalid_argument("Lambertian test angle must lie in (0, 180] degrees");
  }
  cosHalfAngle_ = std::cos(0.5 * testAngle * kDegree);
  const auto nTest = 1 + static_cast<std::size_t>((90.0 - 0.5 * testAngle) / testAngle);
  angle.resize(nTest);
  testDirection.resize(nTest);
  reflectedPhotons.assign(nTest, 0);
  reflectedWeights.assign(nTest, 0.0);
  for (std::size_t i = 0; i < nTest; ++i) {
    angle[i] = static_cast<double>(i) * testAngle;
    const double phi = rng.uniform() * 6.283185307179586;
    testDirection[i] = BasicEquations::rotateDirection(normal, angle[i] * kDegree, phi);
  }
}

int LambertianTest::count(const Vec3& reflected, double theta, double photonWeight) {
  for (std::size_t i = 0; i < testDirection.size(); ++i) {
    if (dot(reflected, testDirection[i]) > cosHalfAngle_) {
      if (isLambertianPhotons_) {
        ++reflectedPhotons[i];
      } else {
        reflectedWeights[i] += photonWeight * theta;
      }
      return static_cast<int>(i);
    }
  }
  return -1;
}

LambertianTest& LambertianTest::operator+=(const LambertianTest& other) {
  if (!other.isEnabled()) return *this;
  if (!isEnabled()) {
    *this = other;
    return *this;
  }
  if (other.testDirection != testDirection || other.angle != angle ||
      other.isLambertianPhotons_ != isLambertianPhotons_) {
    throw std::invalid_argument("Lambertian tests with different cones cannot be merged");
  }
  for (std::size_t i = 0; i < angle.size(); ++i) {
    reflectedPhotons[i] += other.reflectedPhotons[i];
    reflectedWeights[i] += other.reflectedWeights[i];
  }
  return *this;
}

}  // namespace orvel
