#include "orvel/engine/SolarRadiance.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "orvel/engine/GreggCarderIrradiance.h"

namespace orvel {

namespace {

// 1 - exp(-a / mu), whose limit at mu = 0 (a direction on the horizon) is 1.
double slantFactor(double a, double mu) { return mu > 0.0 ? 1.0 - std::exp(-a / mu) : 1.0; }

// The quadrature grid: nine zenith bands 10 degrees wide with edges at 5, 15, ..., 85
// and 90 degrees (the lowest band 5 degrees wide), each split into 24 sectors of 15
// degrees, and the 5-degree cap round the zenith (index 9). Band cosines (mean of the
// edges' cosines) and cell solid angles [sr] are the rounded tabled values; they sum to
// 6.28118 sr rather than 2 pi and are used as they stand.
constexpr std::array<double, 10> kBandMu = {0.0436, 0.173, 0.341, 0.498, 0.64,
                                            0.763,  0.863, 0.936, 0.981, 1.0};
constexpr std::array<double, 10> kCellSolidAngle = {0.0228, 0.0449, 0.0429, 0.0395,  0.035,
                                                    0.0293, 0.0228, 0.0156, 0.00792, 0.0239};
constexpr int kNPhi = 24;

}  // namespace

SolarRadiance::SolarRadiance(int wavelength_, double solarZenithAngle_, double cloudCover_)
    : wavelength(wavelength_),
      solarZenithAngle(solarZenithAngle_),
      sunmu(std::cos(solarZenithAngle_ * std::numbers::pi / 180.0)),
      cloudCover(cloudCover_) {
  sunSine = std::sqrt(std::max(0.0, 1.0 - sunmu * sunmu));
  sunZenithRadian = std::acos(sunmu);
  sunAirMassFactor = slantFactor(0.53, sunmu);

  GreggCarderIrradiance model;
  model.initialize(wavelength, solarZenithAngle, cloudCover);
  model.computeGreggCarderDownwellingIrradiance();
  Eddir = model.getDirectEd();
  Eddif = model.getDiffuseEd();
  ScaleFactor = 1.0 / computeEdFromHCnormalRadiance();
}

double SolarRadiance::HarrisonCoombesNormalizedRadiance(double skymu, double skyphi) const {
  // Angle psi between the sky direction and the sun (azimuth 0). Rounding can push the
  // cosine just past +-1 when the direction meets the sun or its antipode; clamp it so
  // the arc cosine stays defined.
  const double skySine = std::sqrt(std::max(0.0, 1.0 - skymu * skymu));
  const double cosPsi = std::clamp(sunmu * skymu + sunSine * skySine * std::cos(skyphi), -1.0, 1.0);
  const double psi = std::acos(cosPsi);

  // Clear sky: circumsolar peak, scattering-angle term and the brightening towards the
  // horizon through the slant air masses of sky direction and sun.
  const double radclear = (1.63 + 53.7 * std::exp(-5.49 * psi) + 2.04 * cosPsi * cosPsi * sunmu) *
                          slantFactor(0.19, skymu) * sunAirMassFactor;
  // Overcast sky.
  const double radcloud = 0.45 + 0.12 * sunZenithRadian + 0.43 * skymu + 0.72 * std::exp(-1.88 * psi);
  return cloudCover * radcloud + (1.0 - cloudCover) * radclear;
}

double SolarRadiance::computeEdFromHCnormalRadiance() const {
  double Ed = 0.0;
  for (int j = 0; j < kNPhi; ++j) {
    const double phi = j * 2.0 * std::numbers::pi / kNPhi;  // sector start [rad]
    for (std::size_t i = 0; i < 9; ++i) {
      Ed +=
          HarrisonCoombesNormalizedRadiance(kBandMu[i], phi) * kBandMu[i] * kCellSolidAngle[i] / (kNPhi / 24);
    }
  }
  // The cap round the zenith, taken without the cosine factor (cos <= 1 there).
  Ed += HarrisonCoombesNormalizedRadiance(1.0, 0.0) * kCellSolidAngle[9];
  return Ed;
}

}  // namespace orvel
