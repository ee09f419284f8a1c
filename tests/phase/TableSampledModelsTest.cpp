#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "orvel/phase/FournierForand.h"
#include "orvel/phase/PhaseFormulas.h"
#include "orvel/phase/TabulatePhaseFunction.h"
#include "orvel/phase/TwoTermHenyeyGreenstein.h"
#include "phase/SamplingCheck.h"
#include "shared/VarnoMathLib.h"

namespace {

using PhaseFunctionAngles::Grid;

double degrees(double radians) { return radians * 180 / M_PI; }

// The angle (degrees) at which a model's cumulative table reaches probability p.
double angleAtProbability(const PhaseFunction& model, double p) {
  const auto table = model.getSPFarrays();
  const auto y2 = VarnoMathLib::spline(table[2], table[0], 1e31, 1e31);
  return degrees(VarnoMathLib::splint(table[2], table[0], y2, p));
}

TEST(TabulatePhaseFunction, ConstantValueGivesTheIsotropicCumulative) {
  const Grid thetas = PhaseFunctionAngles::getHighlyPeakedAngleScheme();
  Grid beta;
  beta.fill(3.0);  // any scale: the procedure normalises
  for (int limit : {0, 11, 59}) {
    SCOPED_TRACE(limit);
    const auto t = tabulatePhaseFunction(thetas, beta, limit);
    EXPECT_NEAR(t.total, 3.0 * 4 * M_PI, 1e-5);
    EXPECT_EQ(t.cumulativePF[0], 0.0);
    EXPECT_EQ(t.cumulativePF[149], 1.0);
    for (std::size_t i = 0; i < 150; ++i) {
      EXPECT_NEAR(t.cumulativePF[i], (1 - std::cos(thetas[i])) / 2, 2e-6) << i;
      EXPECT_NEAR(t.pf[i], 1 / (4 * M_PI), 1e-7) << i;
    }
    EXPECT_NEAR(t.backscatteringRatio, 0.5, 2e-6);
  }
}

TEST(TabulatePhaseFunction, RejectsTablesThatCannotBeNormalisedOrInverted) {
  const Grid thetas = PhaseFunctionAngles::getHighlyPeakedAngleScheme();
  Grid zero{};
  EXPECT_THROW(tabulatePhaseFunction(thetas, zero, 11), std::invalid_argument);
  Grid forwardGap;
  forwardGap.fill(1.0);
  for (std::size_t i = 0; i <= 5; ++i) forwardGap[i] = 0.0;  // P would stay 0 up to index 5
  EXPECT_THROW(tabulatePhaseFunction(thetas, forwardGap, 11), std::invalid_argument);
  Grid ok;
  ok.fill(1.0);
  EXPECT_THROW(tabulatePhaseFunction(thetas, ok, 150), std::invalid_argument);
  EXPECT_THROW(tabulatePhaseFunction(thetas, ok, -1), std::invalid_argument);
}

TEST(TwoTermHenyeyGreenstein, DefaultBackscatterClosedFormValuesAndTable) {
  TwoTermHenyeyGreenstein tt(0.9, -0.2, 0.5);
  EXPECT_NEAR(tt.getBbRatio(), 0.334755, 5e-7);
  for (double theta : {0.0, 0.001, 0.3, 2.0, M_PI}) {
    EXPECT_DOUBLE_EQ(tt.getSPF(theta), PhaseFormulas::twoTermHenyeyGreenstein(0.9, -0.2, 0.5, theta));
  }
  const auto table = tt.getSPFarrays();
  EXPECT_EQ(table[2][0], 0.0);
  EXPECT_NEAR(table[2][149], 1.0, 1e-14);
  EXPECT_NEAR(1 - table[2][119], tt.getBbRatio(), 1e-15);
  // A single term (weight 1) is the one-term function.
  TwoTermHenyeyGreenstein single(0.925, -0.2, 1.0);
  EXPECT_NEAR(single.getBbRatio(), 0.016748976535290592, 1e-15);
}

TEST(FournierForand, DefaultTableLandmarks) {
  FournierForand ff(4.0, 1.15);
  const auto table = ff.getSPFarrays();
  EXPECT_EQ(table[2][149], 1.0);
  EXPECT_NEAR(table[2][119], 0.94375, 5e-5);
  EXPECT_NEAR(ff.getBbRatio(), 0.05625, 5e-5);
  EXPECT_NEAR(table[2][11], 0.00717, 5e-6);
  EXPECT_NEAR(angleAtProbability(ff, 0.1), 1.45, 0.01);
  EXPECT_NEAR(angleAtProbability(ff, 0.5), 11.7, 0.05);
  // Beyond 0 deg the table is the Haltrin shape up to one normalising factor; at 0 deg it
  // continues the line through the first two grid points.
  const double scale = table[1][1] / ff.getHaltrinPF(table[0][1]);
  for (std::size_t i = 1; i < 150; ++i) EXPECT_NEAR(table[1][i] / ff.getHaltrinPF(table[0][i]), scale, 1e-12 * scale);
  const double slope = (table[1][2] - table[1][1]) / (table[0][2] - table[0][1]);
  EXPECT_NEAR(table[1][0], table[1][1] - slope * table[0][1], 1e-9 * table[1][0]);
  // Values between grid angles come from the spline through the table.
  for (std::size_t i : {0u, 11u, 59u, 149u}) EXPECT_NEAR(ff.getSPF(table[0][i]), table[1][i], 1e-12 * table[1][i]);
}

TEST(TableSampledModels, RejectParametersTheFormulasCannotTake) {
  EXPECT_THROW(FournierForand(3.0, 1.15), std::invalid_argument);
  EXPECT_THROW(FournierForand(4.0, 1.0), std::invalid_argument);
  EXPECT_THROW(FournierForand(std::nan(""), 1.15), std::invalid_argument);
  EXPECT_THROW(TwoTermHenyeyGreenstein(1.0, -0.2, 0.5), std::invalid_argument);
  EXPECT_THROW(TwoTermHenyeyGreenstein(0.9, -1.0, 0.5), std::invalid_argument);
  EXPECT_THROW(TwoTermHenyeyGreenstein(0.9, -0.2, 1.2), std::invalid_argument);
  EXPECT_THROW(TwoTermHenyeyGreenstein(0.9, -0.2, -0.1), std::invalid_argument);
}

struct NamedModel {
  const char* name;
  std::shared_ptr<const PhaseFunction> model;
};

std::vector<NamedModel> tableSampledModels() {
  return {{"two-term default", std::make_shared<TwoTermHenyeyGreenstein>(0.9, -0.2, 0.5)},
          {"two-term backward", std::make_shared<TwoTermHenyeyGreenstein>(0.6, -0.7, 0.3)},
          {"Fournier-Forand default", std::make_shared<FournierForand>(4.0, 1.15)},
          {"Fournier-Forand steep", std::make_shared<FournierForand>(3.5, 1.05)}};
}

TEST(TableSampledModels, CommonAnswers) {
  for (const auto& m : tableSampledModels()) {
    SCOPED_TRACE(m.name);
    EXPECT_EQ(m.model->getF(), 0.0);
    EXPECT_FALSE(m.model->getPercentScatteringAngles().has_value());
    const auto display = m.model->getSPFarrayForDisplay(19);
    ASSERT_EQ(display.size(), 19u);
    for (int i = 0; i < 19; ++i) EXPECT_NEAR(display[i], m.model->getSPF(i * 10 * M_PI / 180), 1e-9 * display[i]) << i;
  }
}

// Each sampler against the model's own cumulative table, 10^6 draws, one uniform each.
TEST(TableSampledModels, SamplersFollowTheirCumulativeTables) {
  for (const auto& m : tableSampledModels()) {
    SCOPED_TRACE(m.name);
    auto rng = Random::stream(2024, {2});
    const auto table = m.model->getSPFarrays();
    const auto chi = phasetest::chiSquareAgainstTable([&](Random& r) { return m.model->getScatteringAngle(r); },
                                                      table[0], table[2], 1'000'000, rng);
    EXPECT_TRUE(chi.passes()) << chi.statistic << " on " << chi.degreesOfFreedom << " dof, " << chi.outsideRange
                              << " outside";
    auto a = Random::stream(7, {0});
    auto b = Random::stream(7, {0});
    m.model->getScatteringAngle(a);
    b.uniform();
    EXPECT_EQ(a.uniform(), b.uniform());
  }
}

}  // namespace
