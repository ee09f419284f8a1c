#pragma once
// Incident light of the simple model: irradiances typed in by the user and a cardioidal
// sky, L(theta) = Lo (1 + C cos theta), independent of azimuth and normalised in closed
// form: its cosine-weighted integral over the sky is 2 pi Lo (1/2 + C/3) = Eddif.

#include <cmath>
#include <stdexcept>

#include "orvel/engine/IncidentRadiance.h"

namespace orvel {

// A cardioidal coefficient that would make the sky radiance negative somewhere
// (C < -1, including the C = -1.5 that zeroes the normalisation) or is not finite.
class CardioidalCoefficientError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

class CardioidalRadiance final : public IncidentRadiance {
 public:
  // `wavelength` [nm] is kept but does not enter the model; `coefficient` C (at least
  // -1, else CardioidalCoefficientError); `Eddir` and `Eddif` [W/m^2/nm].
  CardioidalRadiance(double wavelength, double coefficient, double Eddir, double Eddif);
  // The simple model as the user gives it: the total irradiance `totalEd` [W/m^2/nm] and
  // the sky share `skyEdToTotalEd`; diffuse = share x total, direct = total - diffuse.
  static CardioidalRadiance fromTotalEd(double wavelength, double coefficient, double totalEd,
                                        double skyEdToTotalEd);

  double getDiffuseEd() const override { return Eddif; }
  double getDirectEd() const override { return Eddir; }
  // (1 + C cos skyTheta) / (2 pi (1/2 + C/3)) [1/sr]; `skyPhi` is ignored. Worked out
  // from the closed form, so it stays finite when the diffuse irradiance is zero.
  double getNormalizedSkyRadiance(double skyTheta, double /*skyPhi*/) const override {
    return normalization * (1.0 + coefficient * std::cos(skyTheta));
  }

  double getWavelength() const { return wavelength; }
  double getCoefficient() const { return coefficient; }
  // Radiance scale Lo = Eddif / (2 pi (1/2 + C/3)) [W/m^2/nm/sr].
  double getLo() const { return Lo; }

 private:
  double wavelength;     // [nm]
  double coefficient;    // C
  double Eddir;          // [W/m^2/nm]
  double Eddif;          // [W/m^2/nm]
  double Lo;             // [W/m^2/nm/sr]
  double normalization;  // 1 / (2 pi (1/2 + C/3)) [1/sr]
};

}  // namespace orvel
