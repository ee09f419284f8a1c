#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "orvel/phase/IsotropicPF.h"
#include "orvel/phase/OneTermHenyeyGreenstein.h"
#include "orvel/phase/PureWaterPF.h"
#include "phase/SamplingCheck.h"

namespace {

constexpr double kQuarterPiInverse = 0.07957747154594767;

TEST(IsotropicPF, ConstantValueHalfBackscatterAndFullCumulative) {
  IsotropicPF iso;
  for (double theta : {0.0, 0.5, M_PI / 2, M_PI}) EXPECT_EQ(iso.getSPF(theta), kQuarterPiInverse);
  EXPECT_EQ(iso.getBbRatio(), 0.5);
  const auto table = iso.getSPFarrays();
  EXPECT_EQ(table[2][0], 0.0);
  EXPECT_EQ(table[2][149], 1.0);
}

TEST(PureWaterPF, ValuesBackscatterAndTable) {
  PureWaterPF water;
  EXPECT_DOUBLE_EQ(water.getSPF(0.0), 0.1193662073189215);
  EXPECT_DOUBLE_EQ(water.getSPF(M_PI / 2), 0.05968310365946075);
  EXPECT_EQ(water.getBbRatio(), 0.5);
  const auto table = water.getSPFarrays();
  EXPECT_EQ(table[2][0], 0.0);
  EXPECT_DOUBLE_EQ(table[2][119], 0.5);
  EXPECT_DOUBLE_EQ(table[2][149], 1.0);
  EXPECT_DOUBLE_EQ(table[1][149], 0.1193662073189215);
  EXPECT_DOUBLE_EQ(PureWaterPF::getPureWaterIntegral(M_PI / 2), 0.5);
}

TEST(OneTermHenyeyGreenstein, BackscatterOfDefaultAndRisingTable) {
  OneTermHenyeyGreenstein hg(0.925);
  EXPECT_NEAR(hg.getBbRatio(), 0.0167490, 5e-8);
  EXPECT_NEAR(hg.getBbRatio(), 0.016748976535290592, 1e-15);  // the dialog's initial bb/b text
  const auto table = hg.getSPFarrays();
  EXPECT_EQ(table[2][0], 0.0);
  EXPECT_NEAR(table[2][149], 1.0, 1e-14);
  for (std::size_t i = 1; i < 150; ++i) EXPECT_GT(table[2][i], table[2][i - 1]) << i;
  EXPECT_DOUBLE_EQ(hg.getHGintegral(M_PI), 1.0);
}

TEST(OneTermHenyeyGreenstein, RejectsAsymmetryOutsideOpenUnitInterval) {
  for (double g : {1.0, -1.0, 1.5, std::nan("")}) EXPECT_THROW(OneTermHenyeyGreenstein{g}, std::invalid_argument) << g;
  OneTermHenyeyGreenstein isotropicLimit(0.0);
  EXPECT_DOUBLE_EQ(isotropicLimit.getBbRatio(), 0.5);
  EXPECT_DOUBLE_EQ(isotropicLimit.getSPF(1.0), kQuarterPiInverse);
}

struct NamedModel {
  const char* name;
  std::shared_ptr<const PhaseFunction> model;
  double (*closedForm)(double theta);
};

std::vector<NamedModel> closedFormModels() {
  return {{"isotropic", std::make_shared<IsotropicPF>(), [](double) { return kQuarterPiInverse; }},
          {"pure water", std::make_shared<PureWaterPF>(),
           [](double t) { return 0.05968310365946075 * (1 + std::cos(t) * std::cos(t)); }},
          {"HG 0.925", std::make_shared<OneTermHenyeyGreenstein>(0.925),
           [](double t) { return (1 - 0.925 * 0.925) / (4 * M_PI * std::pow(1 + 0.925 * 0.925 - 1.85 * std::cos(t), 1.5)); }},
          {"HG -0.4", std::make_shared<OneTermHenyeyGreenstein>(-0.4),
           [](double t) { return (1 - 0.16) / (4 * M_PI * std::pow(1 + 0.16 + 0.8 * std::cos(t), 1.5)); }}};
}

TEST(ClosedFormModels, NoTruncationNoPercentAnglesAndDisplayAtEvenAngles) {
  for (const auto& m : closedFormModels()) {
    SCOPED_TRACE(m.name);
    EXPECT_EQ(m.model->getF(), 0.0);
    EXPECT_FALSE(m.model->getPercentScatteringAngles().has_value());
    for (int n : {181, 19}) {
      const auto display = m.model->getSPFarrayForDisplay(n);
      ASSERT_EQ(display.size(), static_cast<std::size_t>(n));
      const double step = 180.0 / (n - 1);  // 1 and 10 degrees
      for (int i = 0; i < n; ++i) EXPECT_NEAR(display[i], m.closedForm(i * step * M_PI / 180), 1e-12 * display[i]) << i;
    }
    const auto table = m.model->getSPFarrays();
    for (std::size_t i = 0; i < 150; ++i) EXPECT_NEAR(table[1][i], m.closedForm(table[0][i]), 1e-12 * table[1][i]);
  }
}

// Each sampler against the model's own cumulative table, 10^6 draws.
TEST(ClosedFormModels, SamplersFollowTheirCumulativeTables) {
  for (const auto& m : closedFormModels()) {
    SCOPED_TRACE(m.name);
    auto rng = Random::stream(2024, {1});
    const auto table = m.model->getSPFarrays();
    const auto chi = phasetest::chiSquareAgainstTable([&](Random& r) { return m.model->getScatteringAngle(r); },
                                                      table[0], table[2], 1'000'000, rng);
    EXPECT_TRUE(chi.passes()) << chi.statistic << " on " << chi.degreesOfFreedom << " dof, " << chi.outsideRange
                              << " outside";
  }
}

// Exactly one uniform number per draw: a model's draw leaves the generator where one
// uniform() call would.
TEST(ClosedFormModels, EachDrawUsesOneUniformNumber) {
  for (const auto& m : closedFormModels()) {
    auto a = Random::stream(7, {0});
    auto b = Random::stream(7, {0});
    for (int i = 0; i < 5; ++i) {
      m.model->getScatteringAngle(a);
      b.uniform();
    }
    EXPECT_EQ(a.uniform(), b.uniform()) << m.name;
  }
}

}  // namespace
