#include "pallix/engine/HomogeneousWater.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "orvel/phase/FournierForand.h"
#include "orvel/phase/IsotropicPF.h"
#include "orvel/phase/OneTermHenyeyGreenstein.h"
#include "orvel/phase/PhaseFormulas.h"
#include "orvel/phase/PureWaterPF.h"
#include "orvel/phase/TwoTermHenyeyGreenstein.h"
#include "pallix/engine/Control.h"

namespace pallix {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

HomogeneousWater mediumFor(const Control& control) {
  HomogeneousWater water;
  water.setForRun(control);
  return water;
}

// Probability integral transform: for angles drawn from a distribution with cumulative P,
// P(theta) is uniform on [0, 1]. Ten bins, each a binomial count, within 5 sigma.
void expectFollows(const HomogeneousWater& water, const std::function<double(double)>& cumulative,
                   std::uint64_t key) {
  Random rng = Random::stream(2024, {key});
  constexpr int kN = 200000;
  constexpr int kBins = 10;
  int bins[kBins] = {};
  for (int i = 0; i < kN; ++i) {
    const double theta = water.getScatteringAngle(rng);
    ASSERT_GE(theta, 0.0);
    ASSERT_LE(theta, std::numbers::pi);
    ++bins[std::clamp(static_cast<int>(cumulative(theta) * kBins), 0, kBins - 1)];
  }
  const double sigma = std::sqrt(kN * 0.1 * 0.9);
  for (int b = 0; b < kBins; ++b) EXPECT_NEAR(bins[b], kN / kBins, 5.0 * sigma) << "bin " << b;
}

TEST(HomogeneousWaterTest, SamplersFollowTheirDistributions) {
  Control control;
  control.pfType = 0;
  expectFollows(mediumFor(control), [&](double t) { return PhaseFormulas::henyeyGreensteinCumulative(0.925, t); }, 0);
  control.pfType = 3;
  expectFollows(mediumFor(control), PhaseFormulas::isotropicCumulative, 3);
  control.pfType = 4;
  expectFollows(mediumFor(control), PhaseFormulas::pureWaterCumulative, 4);
  control.pfType = 1;
  expectFollows(mediumFor(control),
                [&](double t) { return PhaseFormulas::twoTermHenyeyGreensteinCumulative(0.9, -0.2, 0.5, t); }, 1);
  // With all weight on the first term the two-term table samples the one-term function.
  control.g12Weight = 1.0;
  expectFollows(mediumFor(control), [&](double t) { return PhaseFormulas::henyeyGreensteinCumulative(0.9, t); }, 5);
}

TEST(HomogeneousWaterTest, ClosedFormSamplingEnds) {
  Control control;
  control.pfType = 3;
  const HomogeneousWater iso = mediumFor(control);
  EXPECT_EQ(iso.sampleScatteringAngle(0.0), 0.0);
  EXPECT_NEAR(iso.sampleScatteringAngle(1.0 - 1e-12), std::numbers::pi, 1e-5);
  control.pfType = 4;
  EXPECT_NEAR(mediumFor(control).sampleScatteringAngle(0.5), std::numbers::pi / 2, 1e-12);
}

// Fournier-Forand: the sampled angles follow the table's own cumulative probabilities
// (counts between table angles), the smallest lie near the forward angle and never at 0,
// and getPF is normalised: 2 pi int getPF sin = 1.
TEST(HomogeneousWaterTest, FournierForandSamplesFromItsNormalisedTable) {
  Control control;
  control.pfType = 2;
  control.JungeCoeff = 4.0;
  control.realIndex = 1.15;
  control.forwardAngle = 0.01;
  const HomogeneousWater water = mediumFor(control);
  EXPECT_NEAR(water.sampleScatteringAngle(1e-12), 0.01 * kDeg, 1e-6);
  EXPECT_GT(water.sampleScatteringAngle(1e-300), 0.0);
  const PhaseTable& t = *water.getPhaseTable();
  EXPECT_EQ(water.sampleScatteringAngle(t.x.back()), std::numbers::pi);
  const int edges[] = {1, 2, 5, 10, 30, 90, 180};  // table indices: 1, 2, 5, ... degrees
  std::vector<int> counts(std::size(edges), 0);
  Random rng = Random::stream(99, {2});
  constexpr int kN = 200000;
  for (int i = 0; i < kN; ++i) {
    const double theta = water.getScatteringAngle(rng);
    for (std::size_t e = 0; e < std::size(edges); ++e) {
      if (theta < t.y[edges[e]]) {
        ++counts[e];
        break;
      }
    }
  }
  double previous = 0.0;
  for (std::size_t e = 0; e < std::size(edges); ++e) {
    const double p = std::min(t.x[edges[e]], 1.0) - previous;
    previous += p;
    EXPECT_NEAR(counts[e], kN * p, 5.0 * std::sqrt(kN * p * (1 - p)) + 1.0) << "below " << edges[e] << " degrees";
  }

  const std::vector<double> angles = fournierForandAngles(0.01);
  std::vector<double> values;
  for (double a : angles) values.push_back(water.getPF(a));
  EXPECT_NEAR(integratePhaseTable(angles, values, 0.0, std::numbers::pi), 1.0, 1e-6);
  EXPECT_NEAR(water.getPF(1.0), water.FournierForand(1.0) * t.valueScale, 1e-15);
}

// The instrument's values agree with the visibility simulator's models: exactly for the
// closed forms; for the tabulated two-term and Fournier-Forand models (150-angle grid,
// spline, their own normalisation) within a fraction of a percent away from the forward
// peak.
TEST(HomogeneousWaterTest, ValuesAgreeWithTheVisibilityModels) {
  Control control;
  control.g = 0.8;
  control.JungeCoeff = 4.0;
  control.realIndex = 1.15;
  const OneTermHenyeyGreenstein hg(0.8);
  const TwoTermHenyeyGreenstein twoTerm(0.9, -0.2, 0.5);
  const ::FournierForand fournierForand(4.0, 1.15);
  const IsotropicPF isotropic;
  const PureWaterPF pureWater;
  struct Case {
    int type;
    const PhaseFunction& model;
    double relativeTolerance;
  };
  const Case cases[] = {{0, hg, 1e-12}, {1, twoTerm, 2e-3}, {2, fournierForand, 5e-3}, {3, isotropic, 1e-12},
                        {4, pureWater, 1e-12}};
  for (const Case& c : cases) {
    control.pfType = c.type;
    const HomogeneousWater water = mediumFor(control);
    for (int degrees = 5; degrees <= 180; degrees += 5) {
      const double expected = c.model.getSPF(degrees * kDeg);
      EXPECT_NEAR(water.getPF(degrees * kDeg), expected, c.relativeTolerance * expected)
          << "type " << c.type << " at " << degrees << " degrees";
    }
  }
}

// A run samples from the table built for what its settings name, never from the last table
// a dialog built, and a run's copy keeps its table when the program's medium gets a new one.
TEST(HomogeneousWaterTest, RunTableFitsTheSettingsAndIsNeverSwappedUnderARun) {
  HomogeneousWater program;
  Control dialog;
  dialog.g1 = 0.5;  // a plot made with other parameters, then the dialog was cancelled
  program.setPhaseFunctionParameters(dialog.g, dialog.g1, dialog.g2, dialog.g12Weight, 4.0, 1.15, 0.01);
  program.setTwoTermHGPF();

  Control settings;
  settings.pfType = 1;
  HomogeneousWater run = program;
  run.setForRun(settings);
  EXPECT_TRUE(run.isReadyForRun());
  EXPECT_TRUE(run.getPhaseTable()->isBuiltFor(1, PhaseParameters::fromControl(settings), ""));
  EXPECT_NE(run.getPhaseTable(), program.getPhaseTable());

  const auto runTable = run.getPhaseTable();
  const double before = run.sampleScatteringAngle(0.3);
  program.setPhaseFunctionParameters(0.9, 0.1, 0.1, 0.5, 4.0, 1.15, 0.01);
  program.setTwoTermHGPF();
  EXPECT_EQ(run.getPhaseTable(), runTable);
  EXPECT_EQ(run.sampleScatteringAngle(0.3), before);

  // A fitting table is kept, not rebuilt.
  HomogeneousWater again = run;
  again.setForRun(settings);
  EXPECT_EQ(again.getPhaseTable(), runTable);
  // The type alone changes: a table of the new type is built.
  settings.pfType = 2;
  settings.JungeCoeff = 4.0;
  again.setForRun(settings);
  EXPECT_EQ(again.getPhaseTable()->pfType, 2);
}

TEST(HomogeneousWaterTest, SettingsThatAllowNoTableRefuseTheRun) {
  Control settings;  // the initial Junge slope of 1.0 is outside the dialog's 3.5..5
  settings.pfType = 2;
  HomogeneousWater water;
  try {
    water.setForRun(settings);
    ADD_FAILURE();
  } catch (const PhaseSettingError& e) {
    EXPECT_EQ(std::string(e.what()), "Junge Coefficient should be within 3.5 to 5.");
  }
  EXPECT_FALSE(water.isReadyForRun());
  settings.pfType = 6;
  settings.userFile = "no/such/file.txt";
  EXPECT_THROW(water.setForRun(settings), PhaseSettingError);
  settings.pfType = 0;  // types without a table need no valid Fournier-Forand parameters
  EXPECT_NO_THROW(water.setForRun(settings));
  EXPECT_TRUE(water.isReadyForRun());
}

TEST(HomogeneousWaterTest, DialogPreparationsSwapInCompleteTables) {
  HomogeneousWater water;
  water.setMediumParameters(1.0, 0.7, 2);
  water.setPhaseFunctionParameters(0.925, 0.9, -0.2, 0.5, 4.0, 1.15, 0.01);
  const PhaseFunctionDrawing d = drawPhaseFunction(2, water.getPhaseParameters());
  const std::vector<double> angles = fournierForandAngles(0.01);
  std::vector<double> values(angles.size());
  for (std::size_t i = 0; i < angles.size(); ++i) values[i] = water.FournierForand(angles[i]) * d.table->valueScale;
  water.setFournierForandPF(angles, values, d.table->valueScale);
  EXPECT_EQ(water.getPhaseTable(), nullptr);  // nothing changes before the finish call
  water.finishFournierForand();
  ASSERT_NE(water.getPhaseTable(), nullptr);
  EXPECT_TRUE(water.isReadyForRun());
  for (std::size_t i = 0; i < d.table->x.size(); ++i) EXPECT_NEAR(water.getPhaseTable()->x[i], d.table->x[i], 1e-12);
  EXPECT_THROW(water.finishFilePF(), PhaseSettingError);  // nothing handed over
}

}  // namespace
}  // namespace pallix
