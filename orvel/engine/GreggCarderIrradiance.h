#pragma once
// Spectral clear-sky downwelling irradiance above the sea surface.
//
// The Gregg-Carder (1990) spectral model for maritime atmospheres: extraterrestrial
// irradiance attenuated along the slant path by Rayleigh scattering, ozone, a
// simplified Navy marine aerosol, oxygen and water vapour, giving the direct (sun) and
// the diffuse (sky) irradiance on a horizontal plane just above the surface, in
// W/m^2/nm, for one wavelength, one solar zenith angle and one cloud cover. An
// empirical correction lowers the total and raises the diffuse share above 25 % cloud.
// Every atmospheric parameter is fixed by `initialize`; no surface reflection is
// applied here.
//
// Calling order: `initialize`, `computeGreggCarderDownwellingIrradiance`, then the
// getters. An object may be reused; each `initialize` resets every parameter.

#include <array>
#include <stdexcept>
#include <string_view>

namespace orvel {

// The console line, and the text of `WavelengthRangeError`.
inline constexpr std::string_view kWavelengthRangeMessage = "Wavelength range should be 350-801.";

// A wavelength outside the model's tables (350-801 nm). The model has already written
// `kWavelengthRangeMessage` to the console's message channel when this is thrown; the
// caller abandons its operation and need not print it again.
class WavelengthRangeError : public std::out_of_range {
 public:
  WavelengthRangeError() : std::out_of_range(std::string(kWavelengthRangeMessage)) {}
};

class GreggCarderIrradiance {
 public:
  // True when `wave` (nm) lies within the model's tables, 350 to 801 nm.
  static bool isWavelengthInRange(int wave);

  // Stores the wavelength [nm], the solar zenith angle [degree] and the cloud cover
  // [0, 1], and sets the fixed atmospheric parameters.
  void initialize(int wave, double theta, double cloud);

  // Computes Edir, Edif and Ed, with the cloud correction. Throws WavelengthRangeError
  // (after writing the console line) for a wavelength outside 350-801 nm; the results
  // are then left as they were.
  void computeGreggCarderDownwellingIrradiance();

  // The clear-sky part: returns {Edir, Edif, Ed} [W/m^2/nm] and stores them in the
  // fields. Needs `Fo`, `oza`, `ag`, `aw` and `O3ScaleHeight` set by the compute step.
  std::array<double, 3> computeSolarIrradianceTransmittance();

  // The simplified Navy marine aerosol: returns {Angstrom exponent alpha, turbidity
  // coefficient beta, asymmetry factor, single-scattering albedo}. Caps a relative
  // humidity of 100 % or more at 99.9 %.
  std::array<double, 4> NavyMarineAerosol();

  // The table entries at the current wavelength: {Fobar [W/m^2/nm], oza, ag, aw}.
  // Writes the console line and throws WavelengthRangeError outside 350-801 nm.
  std::array<double, 4> getLightData() const;

  double getDirectEd() const { return Edir; }
  double getDiffuseEd() const { return Edif; }

  // Pieces of the model, exposed for checking.
  // Relative (Kasten) air mass for the solar zenith angle `theta` [degree].
  static double relativeAirMass(double theta);
  // Air mass of a 22 km high ozone layer over a 6370 km earth, `theta` [degree].
  static double ozoneAirMass(double theta);
  // Rayleigh optical thickness of the standard atmosphere at `lambda` [micrometre].
  static double rayleighOpticalThickness(double lambda);
  // Forward-scattering probability of the aerosol for `asymmetry` and cos(zenith) `mu0`.
  static double aerosolForwardScattering(double asymmetry, double mu0);

  // Inputs.
  int wavelength = 550;            // [nm]
  double solarZenithAngle = 30.0;  // [degree]
  double cloudCover = 0.0;         // cloud fraction [0, 1]
  // Fixed atmosphere (set by `initialize`).
  int JulianDay = 183;             // day of the year
  double longitude = -20.0;        // [degree]
  double latitude = 60.0;          // [degree]
  double seaAtmoPress = 29.92;     // sea-level pressure [inHg]
  double aerosolModelType = 1.0;   // Navy aerosol air-mass type
  double relativeHumidity = 80.0;  // [%]
  double waterVaporContent = 2.5;  // precipitable water [cm]
  double visibility = 15.0;        // horizontal visibility [km]
  double meanWindSpeed = 0.0;      // [m/s]
  // Derived.
  double O3ScaleHeight = 0.0;  // ozone amount [atm cm]
  double Fobar = 0.0;          // mean extraterrestrial irradiance [W/m^2/nm]
  double oza = 0.0;            // ozone absorption coefficient [1/(atm cm)]
  double ag = 0.0;             // oxygen absorption coefficient
  double aw = 0.0;             // water vapour absorption coefficient [1/cm]
  double Fo = 0.0;             // extraterrestrial irradiance at the day's earth-sun distance [W/m^2/nm]
  // Results [W/m^2/nm].
  double Edir = 0.0;
  double Edif = 0.0;
  double Ed = 0.0;
};

}  // namespace orvel
