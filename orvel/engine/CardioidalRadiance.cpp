#include "orvel/engine/CardioidalRadiance.h"

#include <numbers>
#include <string>

#include "shared/NumberText.h"

namespace orvel {

CardioidalRadiance::CardioidalRadiance(double wavelength_, double coefficient_, double Eddir_, double Eddif_)
    : wavelength(wavelength_), coefficient(coefficient_), Eddir(Eddir_), Eddif(Eddif_) {
  // 1 + C cos(theta) over 0 <= theta <= pi/2 is smallest at the zenith, 1 + C: below
  // C = -1 the sky would be negative there, and at C = -1.5 the normalisation vanishes.
  if (!(std::isfinite(coefficient) && coefficient >= -1.0)) {
    throw CardioidalCoefficientError("cardioidal coefficient C = " + numtext::formatD(coefficient) +
                                     " gives a negative sky radiance; C must be -1 or more");
  }
  const double cosineWeightedIntegral = 2.0 * std::numbers::pi * (0.5 + coefficient / 3.0);
  normalization = 1.0 / cosineWeightedIntegral;
  Lo = Eddif / cosineWeightedIntegral;
}

CardioidalRadiance CardioidalRadiance::fromTotalEd(double wavelength, double coefficient, double totalEd,
                                                   double skyEdToTotalEd) {
  const double diffuse = skyEdToTotalEd * totalEd;
  return CardioidalRadiance(wavelength, coefficient, totalEd - diffuse, diffuse);
}

}  // namespace orvel
