#include "orvel/engine/Photon.h"

#include <array>
#include <cmath>

#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/Sensor.h"
#include "orvel/engine/Source.h"
#include "shared/BasicEquations.h"
#include "shared/Console.h"
#include "shared/SinCos.h"

namespace orvel {

namespace {
constexpr double kTwoPi = 6.283185307179586;
}  // namespace

void Photon::launch(const Sensor& sensor, SensorTally& sums, Random& rng) {
  newPosition_ = sensor.getInitialPhotonPositionBackMC();
  direction_ = sensor.getInitialPhotonDirectionBackMC(rng, sums);
  weight_ = sensor.getInitialWeightBackMC();
  multipleScattering = 0;
}

void Photon::launch(Sensor& sensor, Random& rng) {
  newPosition_ = sensor.getInitialPhotonPositionBackMC();
  direction_ = sensor.getInitialPhotonDirectionBackMC(rng);
  weight_ = sensor.getInitialWeightBackMC();
  multipleScattering = 0;
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
  // rotateDirection(direction_, theta, phi) with the two sine-cosine pairs from the short
  // reduction of sinCos (equal to the library's to a few units in the last place).
  const SinCos deflection = sinCos(theta);
  const SinCos azimuth = sinCos(phi);
  direction_ = BasicEquations::rotateDirection(direction_, deflection.cos, deflection.sin, azimuth.cos, azimuth.sin);
  weight_ *= hw.w0;
  ++multipleScattering;
  if (scatteringTest_.isEnabled()) scatteringTest_.count(theta, phi);
  if (isPhotonDebug_) [[unlikely]] console::out("volume scattering");
}

void Photon::initializeScatteringTest(bool isSPFTest, double testAngle, Random& rng) {
  scatteringTest_ = isSPFTest ? ScatteringTest(testAngle, rng) : ScatteringTest();
}

}  // namespace orvel
