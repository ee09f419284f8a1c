#include "orvel/engine/Photon.h"

#include <array>
#include <cmath>

#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/Source.h"
#include "shared/Console.h"

namespace orvel {

namespace {
constexpr double kTwoPi = 6.283185307179586;
}  // namespace

Vec3 deflectDirection(const Vec3& u, double theta, double phi) {
  const double n2 = dot(u, u);
  if (std::abs(std::sqrt(n2) - 1.0) >= 1e-7) console::message("norm of the direction vector is not 1.0");

  const double sinT = std::sin(theta);
  const double cosT = std::cos(theta);
  const double sinP = std::sin(phi);
  const double cosP = std::cos(phi);

  // The polar axis itself (or a vector of length >= 1 along it): polar angle 0 or pi,
  // azimuth 0.
  const double z = u[2];
  if (std::abs(z - 1.0) <= 1e-7 || z >= 1.0) return {sinT * cosP, sinT * sinP, cosT};
  if (std::abs(z + 1.0) <= 1e-7 || z <= -1.0) return {-sinT * cosP, sinT * sinP, -cosT};

  // Old direction (theta0, phi0) from its cosines: cos theta0 = z (the raw component),
  // sin theta0 = sqrt(1 - z^2), and the azimuth from the horizontal components.
  const double cosT0 = z;
  const double sinT0 = std::sqrt(1.0 - z * z);
  const double h = std::hypot(u[0], u[1]);
  const double cosP0 = h > 0.0 ? u[0] / h : 1.0;
  const double sinP0 = h > 0.0 ? u[1] / h : 0.0;

  return {sinT0 * cosP0 * cosT + cosT0 * cosP0 * sinT * cosP - sinP0 * sinT * sinP,
          sinT0 * sinP0 * cosT + cosT0 * sinP0 * sinT * cosP + cosP0 * sinT * sinP,
          cosT0 * cosT - sinT0 * sinT * cosP};
}

void Photon::launch(const Source& source, Random& rng) {
  const std::array<double, 6> pd = source.getInitialPhotonPositionDirection(rng);
  newPosition_ = {pd[0], pd[1], pd[2]};
  direction_ = {pd[3], pd[4], pd[5]};
  weight_ = 1.0;
  multipleScattering = 0;
  isHitSensor = false;
}

void Photon::volumeScattering(const HomogeneousWater& hw, Random& rng) {
  const double theta = hw.getScatteringAngle(rng);
  const double phi = kTwoPi * rng.uniform();
  direction_ = deflectDirection(direction_, theta, phi);
  weight_ *= hw.w0;
  ++multipleScattering;
  if (scatteringTest_.isEnabled()) scatteringTest_.count(theta, phi);
  if (isPhotonDebug_) [[unlikely]] console::out("volume scattering");
}

void Photon::initializeScatteringTest(bool isSPFTest, double testAngle, Random& rng) {
  scatteringTest_ = isSPFTest ? ScatteringTest(testAngle, rng) : ScatteringTest();
}

}  // namespace orvel
