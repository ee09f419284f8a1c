#include "orvel/engine/GreggCarderIrradiance.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "orvel/engine/GreggCarderTables.h"
#include "shared/Console.h"

namespace orvel {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;  // [rad/degree]

}  // namespace

bool GreggCarderIrradiance::isWavelengthInRange(int wave) {
  return wave >= greggcarder::kFirstWavelength && wave <= greggcarder::kLastWavelength;
}

void GreggCarderIrradiance::initialize(int wave, double theta, double cloud) {
  wavelength = wave;
  solarZenithAngle = theta;
  cloudCover = cloud;
  JulianDay = 183;
  longitude = -20.0;
  latitude = 60.0;
  seaAtmoPress = 29.92;
  aerosolModelType = 1.0;
  relativeHumidity = 80.0;
  waterVaporContent = 2.5;
  visibility = 15.0;
  meanWindSpeed = 0.0;
}

double GreggCarderIrradiance::relativeAirMass(double theta) {
  return 1.0 / (std::cos(theta * kDegree) + 0.50572 * std::pow(96.07995 - theta, -1.6364));
}

double GreggCarderIrradiance::ozoneAirMass(double theta) {
  // 1.0034536891679748 = 1 + 22/6370 and 0.006907378335949764 = 2 * 22/6370: a thin
  // ozone layer 22 km above an earth of radius 6370 km seen along the slant path.
  const double mu0 = std::cos(theta * kDegree);
  return 1.0034536891679748 / std::sqrt(mu0 * mu0 + 0.006907378335949764);
}

double GreggCarderIrradiance::rayleighOpticalThickness(double lambda) {
  const double lambda2 = lambda * lambda;
  return 1.0 / (115.6406 * lambda2 * lambda2 - 1.335 * lambda2);
}

double GreggCarderIrradiance::aerosolForwardScattering(double asymmetry, double mu0) {
  const double L = std::log(1.0 - asymmetry);
  const double AFS = L * (1.459 + L * (0.1595 + L * 0.4129));
  const double BFS = L * (0.0783 + L * (-0.3824 - L * 0.5874));
  return 1.0 - 0.5 * std::exp((AFS + BFS * mu0) * mu0);
}

std::array<double, 4> GreggCarderIrradiance::getLightData() const {
  if (!isWavelengthInRange(wavelength)) {
    console::message(kWavelengthRangeMessage);
    throw WavelengthRangeError();
  }
  const auto index = static_cast<std::size_t>(wavelength - greggcarder::kFirstWavelength);
  // Hobar is in mW/cm^2/nm; x 10 gives W/m^2/nm.
  return {greggcarder::Hobar[index] * 10.0, greggcarder::oza[index], greggcarder::ag[index],
          greggcarder::aw[index]};
}

std::array<double, 4> GreggCarderIrradiance::NavyMarineAerosol() {
  if (relativeHumidity >= 100.0) relativeHumidity = 99.9;
  const double rh = relativeHumidity / 100.0;
  // Swelling of the particles with humidity.
  const double f = std::pow((2.0 - rh) / (6.0 * (1.0 - rh)), 0.333);

  // Amplitudes of the three log-normal modes: continental background, wind-driven sea
  // salt of the last day and of the present wind.
  const double AM = aerosolModelType;
  const double W = meanWindSpeed;
  const std::array<double, 3> amplitude = {2000.0 * AM * AM, std::max(5.866 * (W - 2.2), 0.5),
                                           std::max(0.01527 * (W - 2.2) * 0.05, 1.4e-5)};
  const std::array<double, 3> modeRadius = {0.03, 0.24, 2.0};  // [micrometre]

  // Least-squares slope of log10(dN/dr) against log10(r) over r = 0.1, 1, 10 micrometres.
  const std::array<double, 3> radius = {0.1, 1.0, 10.0};
  double sumXY = 0.0;
  double sumXX = 0.0;
  for (std::size_t i = 0; i < radius.size(); ++i) {
    double dNdr = 0.0;
    for (std::size_t j = 0; j < amplitude.size(); ++j) {
      const double l = std::log(radius[i] / (f * modeRadius[j]));
      dNdr += amplitude[j] * std::exp(-l * l) / f;
    }
    const double x = std::log10(radius[i]);
    sumXY += x * std::log10(dNdr);
    sumXX += x * x;
  }
  const double gamma = sumXY / sumXX;

  const double alpha = -(gamma + 3.0);                                // Angstrom exponent
  const double lambda = wavelength * 0.001;                           // [micrometre]
  const double beta = (3.91 / visibility) * std::pow(lambda, alpha);  // turbidity coefficient
  double asymmetry = 0.82 - 0.14167 * alpha;
  if (alpha > 1.2)
    asymmetry = 0.65;
  else if (alpha < 0.0)
    asymmetry = 0.82;
  const double omegaA = (0.972 - 0.0032 * AM) * std::exp(0.000306 * relativeHumidity);
  return {alpha, beta, asymmetry, omegaA};
}

std::array<double, 3> GreggCarderIrradiance::computeSolarIrradianceTransmittance() {
  const double theta = solarZenithAngle;
  const double mu0 = std::cos(theta * kDegree);
  const double lambda = wavelength * 0.001;  // [micrometre]

  // Air masses: along the slant path, corrected for pressure, and through the ozone layer.
  const double M = relativeAirMass(theta);
  const double Mp = (seaAtmoPress / 29.92) * M;
  const double Moz = ozoneAirMass(theta);

  const auto aerosol = NavyMarineAerosol();
  const double alpha = aerosol[0];
  const double beta = aerosol[1];
  const double asymmetry = aerosol[2];
  const double omegaA = aerosol[3];
  const double Fa = aerosolForwardScattering(asymmetry, mu0);

  // Transmittances of the direct beam.
  const double Tr = std::exp(-rayleighOpticalThickness(lambda) * Mp);
  const double Toz = std::exp(-oza * O3ScaleHeight * Moz);
  const double tauA = beta * std::pow(lambda, -alpha);
  const double Ta = std::exp(-tauA * M);
  const double Taa = std::exp(-(1.0 - omegaA) * tauA * M);  // aerosol absorption only
  const double Tas = std::exp(-omegaA * tauA * M);          // aerosol scattering only
  const double Tg = std::exp(-1.41 * ag * Mp / std::pow(1.0 + 118.3 * ag * Mp, 0.45));
  const double wvm = aw * waterVaporContent * M;
  const double Tw = std::exp(-0.2385 * wvm / std::pow(1.0 + 20.07 * wvm, 0.45));

  const double Fmu = Fo * mu0;  // extraterrestrial irradiance on the horizontal plane
  Edir = Fmu * Tr * Toz * Ta * Tg * Tw;
  // Diffuse light: half of the Rayleigh-scattered light and the forward-scattered part
  // of the aerosol-scattered light reach the surface.
  const double Ir = Fmu * Tg * Tw * Toz * Taa * 0.5 * (1.0 - std::pow(Tr, 0.95));
  const double Ia = Fmu * Tg * Tw * Toz * std::pow(Tr, 1.5) * Taa * Fa * (1.0 - Tas);
  Edif = Ir + Ia;
  Ed = Edir + Edif;
  return {Edir, Edif, Ed};
}

void GreggCarderIrradiance::computeGreggCarderDownwellingIrradiance() {
  // Ozone amount for the day and place [Dobson units], then [atm cm].
  const double O3 = 235.0 + (150.0 + 40.0 * std::sin(0.9865 * (JulianDay - 30) * kDegree) +
                             20.0 * std::sin(3.0 * longitude * kDegree)) *
                                std::pow(std::sin(1.28 * latitude * kDegree), 2);
  O3ScaleHeight = O3 * 0.001;

  const auto light = getLightData();  // throws before anything else changes
  Fobar = light[0];
  oza = light[1];
  ag = light[2];
  aw = light[3];

  if (JulianDay > 365) JulianDay = 365;
  // Earth-sun distance of the day (the cosine's argument is in radians).
  const double distance = 1.0 + 0.0167 * std::cos(2.0 * std::numbers::pi * (JulianDay - 3) / 365.0);
  Fo = Fobar * distance * distance;

  computeSolarIrradianceTransmittance();

  // Clouds: less light in total and a larger diffuse share.
  const double C = cloudCover;
  if (C > 0.25) {
    Ed = Ed * (1.0 - 0.75 * std::pow(C, 3.4));
    Edif = Ed * (0.3 + 0.7 * C * C);
    Edir = Ed - Edif;
  }
}

}  // namespace orvel
