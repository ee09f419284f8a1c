#include "orvel/engine/PureWater.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace orvel;

TEST(PureWater, TableValuesAtTheTableWavelengths) {
  for (int i = 0; i < PureWater::kTableSize; ++i) {
    const double nm = PureWater::kWavelengths[i];
    EXPECT_NEAR(PureWater::absorption(nm), PureWater::kAbsorption[i], 1e-12) << nm;
    EXPECT_NEAR(PureWater::scattering(nm), PureWater::kScattering[i], 1e-12) << nm;
  }
  EXPECT_NEAR(PureWater::scattering(550), 0.0019, 1e-15);
  EXPECT_NEAR(PureWater::absorption(550), 0.0638, 1e-15);
  EXPECT_EQ(PureWater::kWavelengths.front(), 350);
  EXPECT_EQ(PureWater::kWavelengths.back(), 800);
}

TEST(PureWater, BetweenAndBeyondTheTable) {
  // Between neighbours the spline stays near them; beyond the ends the end pieces go on.
  const double b = PureWater::scattering(555);
  EXPECT_GT(b, 0.0018);
  EXPECT_LT(b, 0.0019);
  EXPECT_GT(PureWater::scattering(340), PureWater::scattering(350));
  EXPECT_TRUE(std::isfinite(PureWater::absorption(900)));
}

}  // namespace
