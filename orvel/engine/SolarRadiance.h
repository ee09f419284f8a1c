#pragma once
// Incident light of the solar radiation model: direct and diffuse irradiance from the
// Gregg-Carder clear-sky model, and the Harrison-Coombes (1988) sky radiance
// distribution, clear and overcast blended by the cloud cover and normalised numerically
// on a fixed 9 x 24 + 1 cell grid of the sky.

#include <cmath>

#include "orvel/engine/IncidentRadiance.h"

namespace orvel {

class SolarRadiance final : public IncidentRadiance {
 public:
  // `wavelength` [nm], `solarZenithAngle` in air [degree], `cloudCover` [0, 1].
  // Throws WavelengthRangeError (after the console line) outside 350-801 nm.
  SolarRadiance(int wavelength, double solarZenithAngle, double cloudCover);

  double getDiffuseEd() const override { return Eddif; }
  double getDirectEd() const override { return Eddir; }
  // ScaleFactor * HarrisonCoombesNormalizedRadiance(cos skyTheta, skyPhi) [1/sr].
  double getNormalizedSkyRadiance(double skyTheta, double skyPhi) const override {
    return ScaleFactor * HarrisonCoombesNormalizedRadiance(std::cos(skyTheta), skyPhi);
  }

  // Relative sky radiance (no unit) for the sky direction of zenith cosine `skymu`
  // (0 to 1) and azimuth `skyphi` [rad].
  double HarrisonCoombesNormalizedRadiance(double skymu, double skyphi) const;
  // Quadrature of the relative radiance times cos(theta) over the sky [sr].
  double computeEdFromHCnormalRadiance() const;

  int getWavelength() const { return wavelength; }
  double getSolarZenithAngle() const { return solarZenithAngle; }
  double getCloudCover() const { return cloudCover; }
  double getScaleFactor() const { return ScaleFactor; }

 private:
  int wavelength;           // [nm]
  double solarZenithAngle;  // [degree]
  double sunmu;             // cosine of the solar zenith angle
  double cloudCover;        // [0, 1]
  // Terms of the radiance formula that depend on the sun only, worked out once.
  double sunSine;           // sin of the solar zenith angle
  double sunZenithRadian;   // solar zenith angle [rad]
  double sunAirMassFactor;  // 1 - exp(-0.53 / sunmu)
  double Eddir;             // [W/m^2/nm]
  double Eddif;             // [W/m^2/nm]
  double ScaleFactor;       // 1 / computeEdFromHCnormalRadiance() [1/sr]
};

}  // namespace orvel
