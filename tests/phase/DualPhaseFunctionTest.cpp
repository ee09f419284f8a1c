#include "orvel/phase/DualPhaseFunction.h"

#include <gtest/gtest.h>

#include <cmath>

#include "orvel/phase/OneTermHenyeyGreenstein.h"
#include "orvel/phase/PureWaterPF.h"
#include "phase/SamplingCheck.h"

namespace {

// Pure water (b1 = 0.0019 1/m) with one-term Henyey-Greenstein particles (g = 0.925),
// total scattering w0 c = 0.7 with c = 1 and w0 = 0.7: the visibility simulator's
// initial settings at 550 nm.
class DefaultMixture : public ::testing::Test {
 protected:
  DualPhaseFunction mixture(bool truncated, double ratio = 0.5) const {
    return DualPhaseFunction(water, particles, 0.0019, 0.6981, truncated, ratio);
  }
  PureWaterPF water;
  OneTermHenyeyGreenstein particles{0.925};
};

TEST_F(DefaultMixture, BackscatterAndPercentScatteringAngles) {
  const auto m = mixture(false);
  EXPECT_NEAR(m.getBbRatio(), 0.0181, 5e-5);
  const auto angles = m.getPercentScatteringAngles();
  ASSERT_TRUE(angles.has_value());
  const double expected[] = {2.12, 3.27, 4.42, 5.74, 7.38};
  for (std::size_t k = 0; k < 5; ++k) EXPECT_NEAR((*angles)[k], expected[k], 0.005) << k;
  const auto table = m.getSPFarrays();
  EXPECT_EQ(table[2][149], 1.0);
  // The mixture is the coefficient-weighted mean of the components.
  for (double theta : {0.05, 0.5, 2.0}) {
    const double mean = (0.0019 * water.getSPF(theta) + 0.6981 * particles.getSPF(theta)) / 0.7;
    EXPECT_NEAR(m.getSPF(theta), mean, 1e-3 * mean) << theta;
  }
}

TEST_F(DefaultMixture, CutRatioGivesTruncationIndexAngleAndRemovedFraction) {
  const struct {
    double ratio;
    int index;
    double degrees;
    double F;
    double tolerance;
  } cases[] = {{0.0, 1, 0.01, 0.0, 1e-6},
               {0.1, 40, 2.2, 0.0159, 5e-5},
               {0.5, 59, 7.5, 0.310, 5e-4},
               {0.9, 91, 34.0, 0.833, 5e-4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ratio);
    const auto m = mixture(true, c.ratio);
    EXPECT_EQ(m.getTruncationIndex(), c.index);
    EXPECT_NEAR(m.getTruncationAngle() * 180 / M_PI, c.degrees, 1e-9);
    EXPECT_NEAR(m.getF(), c.F, c.tolerance);
    const auto truncated = m.getTruncatedSPFarrays();
    EXPECT_EQ(truncated[2][149], 1.0);
  }
}

TEST_F(DefaultMixture, TruncationOffLeavesTheMixtureUntouched) {
  const auto m = mixture(false);
  EXPECT_EQ(m.getF(), 0.0);
  for (double theta : {0.0, 0.001, 0.05, 0.3, 1.0, 3.0}) EXPECT_EQ(m.getSPF(theta), m.getUntruncatedSPF(theta));
  EXPECT_EQ(m.getTruncationIndex(), 59);  // computed either way
}

TEST_F(DefaultMixture, TruncationChangesOnlySamplingAndValues) {
  const auto off = mixture(false);
  const auto on = mixture(true, 0.5);
  const double cut = on.getTruncationAngle();
  const double forward = on.getSPF(0.0);
  for (double theta : {0.001, 0.05, 0.9 * cut}) EXPECT_EQ(on.getSPF(theta), forward) << theta;
  EXPECT_LT(forward, off.getSPF(0.0));
  // Above the cut the truncated value is the untruncated one scaled by 1/(1 - F).
  for (double theta : {cut, 0.5, 2.0}) {
    EXPECT_NEAR(on.getSPF(theta), off.getSPF(theta) / (1 - on.getF()), 1e-6 * on.getSPF(theta)) << theta;
  }
  EXPECT_EQ(on.getSPFarrays(), off.getSPFarrays());
  EXPECT_EQ(on.getBbRatio(), off.getBbRatio());
  EXPECT_EQ(on.getPercentScatteringAngles(), off.getPercentScatteringAngles());
  EXPECT_EQ(on.getSPFarrayForDisplay(181), off.getSPFarrayForDisplay(181));
}

// Both samplers against their own cumulative tables, 10^6 draws each.
TEST_F(DefaultMixture, SamplersFollowTheirCumulativeTables) {
  for (bool truncated : {false, true}) {
    SCOPED_TRACE(truncated);
    const auto m = mixture(truncated, 0.5);
    const auto table = truncated ? m.getTruncatedSPFarrays() : m.getSPFarrays();
    auto rng = Random::stream(99, {truncated ? 1u : 0u});
    const auto chi = phasetest::chiSquareAgainstTable([&](Random& r) { return m.getScatteringAngle(r); }, table[0],
                                                      table[2], 1'000'000, rng);
    EXPECT_TRUE(chi.passes()) << chi.statistic << " on " << chi.degreesOfFreedom << " dof, " << chi.outsideRange
                              << " outside";
  }
  // Below the cut the truncated sampler draws just the share of the constant forward part.
  const auto on = mixture(true, 0.5);
  auto rng = Random::stream(5, {});
  int belowCut = 0;
  for (int i = 0; i < 100000; ++i) belowCut += on.getScatteringAngle(rng) < on.getTruncationAngle();
  const double expectedShare = on.getTruncatedSPFarrays()[2][59];
  EXPECT_NEAR(belowCut / 1e5, expectedShare, 5 * std::sqrt(expectedShare / 1e5));
}

TEST_F(DefaultMixture, RejectsNegativeOrVanishingScatteringCoefficients) {
  EXPECT_THROW(DualPhaseFunction(water, particles, 0.0019, -0.001, false, 0.5), std::invalid_argument);
  EXPECT_THROW(DualPhaseFunction(water, particles, 0.0, 0.0, false, 0.5), std::invalid_argument);
  EXPECT_THROW(DualPhaseFunction(water, particles, 0.0019, 0.6981, true, std::nan("")), std::invalid_argument);
  // Water alone is a valid mixture.
  const DualPhaseFunction waterOnly(water, particles, 0.0019, 0.0, false, 0.5);
  EXPECT_NEAR(waterOnly.getBbRatio(), 0.5, 1e-6);
}

}  // namespace
