// The spectral clear-sky irradiance model against the published model's worked values.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "orvel/engine/Control.h"
#include "orvel/engine/GreggCarderIrradiance.h"
#include "orvel/engine/GreggCarderTables.h"
#include "shared/Console.h"
#include "shared/NumberText.h"

namespace orvel {
namespace {

GreggCarderIrradiance computed(int wave, double theta, double cloud) {
  GreggCarderIrradiance model;
  model.initialize(wave, theta, cloud);
  model.computeGreggCarderDownwellingIrradiance();
  return model;
}

struct WorkedCase {
  int wavelength;  // [nm]
  double zenith;   // [degree]
  double cloud;
  double Edir;  // [W/m^2/nm], six decimals
  double Edif;
};

class GreggCarderWorkedValues : public ::testing::TestWithParam<WorkedCase> {};

// Each value holds to the printed sixth decimal.
TEST_P(GreggCarderWorkedValues, DirectAndDiffuseIrradiance) {
  const WorkedCase& c = GetParam();
  const GreggCarderIrradiance model = computed(c.wavelength, c.zenith, c.cloud);
  EXPECT_NEAR(model.getDirectEd(), c.Edir, 5e-7);
  EXPECT_NEAR(model.getDiffuseEd(), c.Edif, 5e-7);
  EXPECT_NEAR(model.Ed, model.Edir + model.Edif, 1e-15);
}

INSTANTIATE_TEST_SUITE_P(
    PublishedCases, GreggCarderWorkedValues,
    ::testing::Values(WorkedCase{550, 30.0, 0.0, 1.001880, 0.368290},
                      WorkedCase{550, 30.0, 0.2, 1.001880, 0.368290},   // light cloud: clear sky
                      WorkedCase{550, 30.0, 0.25, 1.001880, 0.368290},  // the correction starts above 0.25
                      WorkedCase{550, 30.0, 0.5, 0.668231, 0.604590},
                      WorkedCase{550, 30.0, 1.0, 0.0, 0.342543},
                      WorkedCase{760, 30.0, 0.0, 0.602016, 0.194246},  // oxygen A band
                      WorkedCase{350, 0.0, 0.0, 0.377713, 0.282969},   // first table entry, sun overhead
                      WorkedCase{801, 75.0, 0.0, 0.086962, 0.105689}   // last table entry, low sun
                      ));

TEST(GreggCarderIrradiance, IntermediateQuantitiesAt550nmAnd30Degrees) {
  const GreggCarderIrradiance model = computed(550, 30.0, 0.0);
  EXPECT_NEAR(model.O3ScaleHeight, 0.37918, 5e-6);  // 379.18 Dobson units
  EXPECT_NEAR(model.Fobar, 1.878, 1e-12);
  EXPECT_NEAR(model.Fo, 1.815856, 5e-7);
  EXPECT_NEAR(model.Fo / model.Fobar, 0.9669093, 5e-8);  // earth-sun distance on day 183
  EXPECT_NEAR(GreggCarderIrradiance::relativeAirMass(30.0), 1.153992, 5e-7);
  EXPECT_NEAR(GreggCarderIrradiance::ozoneAirMass(30.0), 1.153389, 5e-7);
  EXPECT_NEAR(GreggCarderIrradiance::rayleighOpticalThickness(0.55), 0.0982511, 5e-8);

  GreggCarderIrradiance aerosolModel = model;
  const auto aerosol = aerosolModel.NavyMarineAerosol();
  EXPECT_NEAR(aerosol[0], 1.2471471, 5e-8);  // Angstrom exponent
  EXPECT_DOUBLE_EQ(aerosol[2], 0.65);        // asymmetry for alpha > 1.2
  EXPECT_NEAR(aerosol[3], 0.9928089, 5e-8);  // single-scattering albedo
  // The turbidity carries lambda^alpha, so the optical thickness is 3.91 / visibility.
  EXPECT_NEAR(aerosol[1] * std::pow(0.55, -aerosol[0]), 3.91 / 15.0, 1e-12);
  EXPECT_NEAR(GreggCarderIrradiance::aerosolForwardScattering(aerosol[2], std::cos(std::numbers::pi / 6.0)),
              0.8834151, 5e-8);
}

// The simple model's initial total and sky share are this model's defaults in single
// precision, and the settings record carries exactly those digits.
TEST(GreggCarderIrradiance, SinglePrecisionDefaultsMatchTheSettings) {
  const GreggCarderIrradiance model = computed(550, 30.0, 0.0);
  const double total = model.Edir + model.Edif;
  EXPECT_EQ(numtext::formatS(total), "1.3701702");
  EXPECT_EQ(numtext::formatS(model.Edif / total), "0.2687917");
  const Control initial;
  EXPECT_EQ(numtext::formatD(initial.cardioidalTotalEd), numtext::formatS(total));
  EXPECT_EQ(numtext::formatD(initial.cardioidalSkyEdToTotalEd), numtext::formatS(model.Edif / total));
}

TEST(GreggCarderIrradiance, OvercastSkyIsAllDiffuse) {
  const GreggCarderIrradiance model = computed(550, 30.0, 1.0);
  EXPECT_EQ(model.getDirectEd(), 0.0);
  EXPECT_EQ(numtext::formatS(model.Edif / (model.Edir + model.Edif)), "1.0");
}

TEST(GreggCarderIrradiance, WavelengthOutsideTablesFailsWithConsoleLineAndKeepsResults) {
  GreggCarderIrradiance model = computed(550, 30.0, 0.0);
  const double Edir = model.Edir;
  const double Edif = model.Edif;
  for (int wave : {349, 802, -1, 100000}) {
    console::Capture capture;
    model.initialize(wave, 30.0, 0.0);
    EXPECT_THROW(model.computeGreggCarderDownwellingIrradiance(), WavelengthRangeError) << wave;
    EXPECT_EQ(capture.messages(), "Wavelength range should be 350-801.\n") << wave;
    EXPECT_EQ(capture.out(), "");
    EXPECT_EQ(model.Edir, Edir);
    EXPECT_EQ(model.Edif, Edif);
    EXPECT_FALSE(GreggCarderIrradiance::isWavelengthInRange(wave));
  }
  EXPECT_TRUE(GreggCarderIrradiance::isWavelengthInRange(350));
  EXPECT_TRUE(GreggCarderIrradiance::isWavelengthInRange(801));
}

// `initialize` puts every fixed parameter back, whatever a previous use left there.
TEST(GreggCarderIrradiance, InitializeResetsTheFixedAtmosphere) {
  GreggCarderIrradiance model;
  model.initialize(600, 45.0, 0.0);
  model.JulianDay = 400;
  model.relativeHumidity = 120.0;
  model.visibility = 2.0;
  model.meanWindSpeed = 12.0;
  model.waterVaporContent = 5.0;
  model.seaAtmoPress = 25.0;
  model.computeGreggCarderDownwellingIrradiance();
  EXPECT_EQ(model.JulianDay, 365);          // capped after the ozone amount
  EXPECT_EQ(model.relativeHumidity, 99.9);  // capped by the aerosol model

  model.initialize(600, 45.0, 0.0);
  model.computeGreggCarderDownwellingIrradiance();
  const GreggCarderIrradiance fresh = computed(600, 45.0, 0.0);
  EXPECT_EQ(model.Edir, fresh.Edir);
  EXPECT_EQ(model.Edif, fresh.Edif);
}

struct TableRow {
  int nm;
  double Hobar, oza, ag, aw;
};

// The published rows, and the shape of the gas absorption spectra.
TEST(GreggCarderTables, ReproduceThePublishedSpectra) {
  const TableRow rows[] = {
      {350, 0.0961, 0.0094, 0, 0},      {400, 0.1674, 0, 0, 0},          {443, 0.1957, 0.003, 0, 0},
      {490, 0.1938, 0.0183, 0, 0},      {550, 0.1878, 0.0838, 0, 0},     {600, 0.1752, 0.1236, 0, 0.0226},
      {650, 0.1564, 0.0636, 0, 0.1728}, {700, 0.1411, 0.0216, 0, 0.602}, {760, 0.1243, 0.0089, 1.3825, 0},
      {801, 0.1145, 0.0049, 0, 0.3035},
  };
  for (const TableRow& row : rows) {
    GreggCarderIrradiance model;
    model.initialize(row.nm, 30.0, 0.0);
    const auto light = model.getLightData();
    EXPECT_DOUBLE_EQ(light[0], 10.0 * row.Hobar) << row.nm;
    EXPECT_EQ(light[1], row.oza) << row.nm;
    EXPECT_EQ(light[2], row.ag) << row.nm;
    EXPECT_EQ(light[3], row.aw) << row.nm;
  }

  using namespace greggcarder;
  auto at = [](const auto& table, int nm) { return table[static_cast<std::size_t>(nm - kFirstWavelength)]; };
  for (int nm = kFirstWavelength; nm <= kLastWavelength; ++nm) {
    const bool oxygenBand = (nm >= 626 && nm <= 634) || (nm >= 686 && nm <= 695) || (nm >= 758 && nm <= 773);
    if (!oxygenBand) {
      EXPECT_EQ(at(ag, nm), 0.0) << nm;
    }
    if (nm < 566) {
      EXPECT_EQ(at(aw, nm), 0.0) << nm;
    }
    if (nm >= 380 && nm <= 423) {
      EXPECT_EQ(at(oza, nm), 0.0) << nm;
    }
    EXPECT_GT(at(Hobar, nm), 0.0) << nm;
  }
  EXPECT_EQ(std::max_element(ag.begin(), ag.end()) - ag.begin(), 763 - kFirstWavelength);
  EXPECT_EQ(at(ag, 763), 5.3158);
  EXPECT_EQ(std::max_element(aw.begin(), aw.end()) - aw.begin(), 720 - kFirstWavelength);
  EXPECT_EQ(at(aw, 720), 6.1262);
}

}  // namespace
}  // namespace orvel
