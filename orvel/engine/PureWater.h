#pragma once
// Absorption and scattering of pure sea water against wavelength.
//
// A table of 46 wavelengths, 350 to 800 nm in steps of 10 nm, interpolated by natural
// cubic splines; outside the table the end cubic pieces are extended. A run sets the
// medium's pure-water absorption and scattering from it at the run's wavelength, and
// the phase-function preview weights its water component with the scattering.

#include <array>

namespace orvel::PureWater {

inline constexpr int kTableSize = 46;

// Table wavelengths [nm].
extern const std::array<double, kTableSize> kWavelengths;
// Absorption a [1/m] at the table wavelengths.
extern const std::array<double, kTableSize> kAbsorption;
// Scattering b [1/m] at the table wavelengths.
extern const std::array<double, kTableSize> kScattering;

// Pure-water absorption a [1/m] at `wavelength` [nm].
double absorption(double wavelength);
// Pure-water scattering b [1/m] at `wavelength` [nm].
double scattering(double wavelength);

}  // namespace orvel::PureWater
