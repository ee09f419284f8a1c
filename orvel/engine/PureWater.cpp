#include "orvel/engine/PureWater.h"

#include "shared/VarnoMathLib.h"

namespace orvel::PureWater {

const std::array<double, kTableSize> kWavelengths = {
    350, 360, 370, 380, 390, 400, 410, 420, 430, 440, 450, 460, 470, 480, 490, 500,
    510, 520, 530, 540, 550, 560, 570, 580, 590, 600, 610, 620, 630, 640, 650, 660,
    670, 680, 690, 700, 710, 720, 730, 740, 750, 760, 770, 780, 790, 800};

const std::array<double, kTableSize> kAbsorption = {
    0.0463, 0.0379, 0.03,   0.022,  0.0191, 0.0171, 0.0162, 0.0153, 0.0144, 0.0145, 0.0145, 0.0156,
    0.0156, 0.0176, 0.0196, 0.0257, 0.0357, 0.0477, 0.0507, 0.0558, 0.0638, 0.0708, 0.0799, 0.108,
    0.157,  0.244,  0.289,  0.309,  0.319,  0.329,  0.349,  0.4,    0.43,   0.45,   0.5,    0.65,
    0.839,  1.169,  1.799,  2.38,   2.47,   2.55,   2.51,   2.36,   2.16,   2.07};

const std::array<double, kTableSize> kScattering = {
    0.0134, 0.012,  0.0106, 0.0094, 0.0084, 0.0076, 0.0068, 0.0061, 0.0055, 0.0049, 0.0045, 0.0041,
    0.0037, 0.0034, 0.0031, 0.0029, 0.0026, 0.0024, 0.0022, 0.0021, 0.0019, 0.0018, 0.0017, 0.0016,
    0.0015, 0.0014, 0.0013, 0.0012, 0.0011, 0.001,  0.001,  0.0008, 0.0008, 0.0007, 0.0007, 0.0007,
    0.0007, 0.0006, 0.0006, 0.0006, 0.0005, 0.0005, 0.0005, 0.0004, 0.0004, 0.0004};

namespace {

double interpolate(const std::array<double, kTableSize>& values, double wavelength) {
  const auto y2 = VarnoMathLib::spline(kWavelengths, values, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  return VarnoMathLib::splint(kWavelengths, values, y2, wavelength);
}

}  // namespace

double absorption(double wavelength) { return interpolate(kAbsorption, wavelength); }

double scattering(double wavelength) { return interpolate(kScattering, wavelength); }

}  // namespace orvel::PureWater
