#pragma once
// The 1-nm spectra of the Gregg-Carder maritime clear-sky irradiance model, one entry
// per integer nanometre from 350 to 801 nm (index = wavelength - 350).
// The definitions are generated (scripts/generate_gregg_carder_tables.py).

#include <array>
#include <cstddef>

namespace orvel::greggcarder {

inline constexpr int kFirstWavelength = 350;  // [nm]
inline constexpr int kLastWavelength = 801;   // [nm]
inline constexpr std::size_t kTableSize = kLastWavelength - kFirstWavelength + 1;  // 452

// Mean extraterrestrial irradiance [mW/cm^2/nm] (x 10 gives W/m^2/nm).
extern const std::array<double, kTableSize> Hobar;
// Ozone absorption coefficient [1/(atm cm)].
extern const std::array<double, kTableSize> oza;
// Absorption coefficient of oxygen and the other uniformly mixed gases.
extern const std::array<double, kTableSize> ag;
// Water vapour absorption coefficient [1/cm].
extern const std::array<double, kTableSize> aw;

}  // namespace orvel::greggcarder
