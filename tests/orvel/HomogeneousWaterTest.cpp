#include "orvel/engine/HomogeneousWater.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>

#include "TransportTestDoubles.h"
#include "shared/Random.h"

namespace orvel {
namespace {

using testing::FixedAnglePF;

TEST(HomogeneousWaterTest, TruncationRescaling) {
  struct Case {
    double c, w0, F, cAfter, w0After;
  };
  for (const Case& k : {Case{1.0, 0.7, 0.0, 1.0, 0.7}, Case{1.0, 0.7, 0.5, 0.65, 0.35 / 0.65},
                        Case{2.0, 1.0, 0.3, 1.4, 1.0}, Case{0.5, 0.2, 1.0, 0.4, 0.0}}) {
    HomogeneousWater hw(k.c, k.w0);
    hw.adjustMediumProperties(k.F);
    EXPECT_NEAR(hw.c, k.cAfter, 1e-15) << k.F;
    EXPECT_NEAR(hw.w0, k.w0After, 1e-15) << k.F;
    // The absorption c (1 - w0) is what truncation must not change.
    EXPECT_NEAR(hw.c * (1.0 - hw.w0), k.c * (1.0 - k.w0), 1e-15) << k.F;
  }
}

TEST(HomogeneousWaterTest, TruncationRejectsFractionsThatMakeNoMedium) {
  HomogeneousWater hw(1.0, 0.7);
  for (const double bad : {-0.1, 1.5, std::nan("")}) EXPECT_THROW(hw.adjustMediumProperties(bad), std::invalid_argument);
  EXPECT_EQ(hw.c, 1.0);
  HomogeneousWater pureScatterer(1.0, 1.0);
  EXPECT_THROW(pureScatterer.adjustMediumProperties(1.0), std::invalid_argument);
}

TEST(HomogeneousWaterTest, AsksThePhaseFunctionItHolds) {
  HomogeneousWater hw(1.0, 0.7);
  EXPECT_FALSE(hw.hasPhaseFunction());
  EXPECT_THROW((void)hw.getSPF(0.1), std::logic_error);
  EXPECT_THROW(hw.setPhaseFunction(nullptr), std::invalid_argument);

  hw.setPhaseFunction(std::make_shared<FixedAnglePF>(0.25, 0.1));
  EXPECT_DOUBLE_EQ(hw.getSPF(1.0), 0.2);
  Random rng(9);
  Random reference = rng;
  EXPECT_EQ(hw.getScatteringAngle(rng), 0.25);
  (void)reference.uniform();
  EXPECT_EQ(rng.nextBits(), reference.nextBits()) << "one draw per scattering angle";
}

TEST(HomogeneousWaterTest, FreePathsAreExponentialInOpticalDepths) {
  Random rng(21);
  const int n = 100000;
  double sum = 0.0;
  int beyondOne = 0;
  for (int i = 0; i < n; ++i) {
    const double tau = HomogeneousWater::getFreePathLength(rng);
    ASSERT_TRUE(std::isfinite(tau) && tau >= 0.0);
    sum += tau;
    beyondOne += tau > 1.0;
  }
  EXPECT_NEAR(sum / n, 1.0, 5.0 / std::sqrt(n));  // exponential: mean 1, sd 1
  const double p = std::exp(-1.0);
  EXPECT_NEAR(static_cast<double>(beyondOne) / n, p, 5.0 * std::sqrt(p * (1 - p) / n));
  EXPECT_DOUBLE_EQ(HomogeneousWater::getTransmittance(2.0), std::exp(-2.0));
}

}  // namespace
}  // namespace orvel
