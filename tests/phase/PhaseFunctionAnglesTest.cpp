#include "orvel/phase/PhaseFunctionAngles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace PhaseFunctionAngles;

double degreesAt(const Grid& grid, int i) { return radiansToDegrees(grid[static_cast<std::size_t>(i)]); }

TEST(PhaseFunctionAngles, GridLandmarksAndSpecialIndices) {
  const Grid grid = getHighlyPeakedAngleScheme();
  EXPECT_EQ(grid[0], 0.0);
  EXPECT_NEAR(degreesAt(grid, 1), 0.01, 1e-15);
  EXPECT_NEAR(degreesAt(grid, 2), 0.012589254117941673, 1e-15);
  EXPECT_EQ(getForwardAngleIndexForHighPeakedPhaseFunction(), 11);
  EXPECT_EQ(getBackscatteringIndexForHighPeakedPhaseFunction(), 119);
  EXPECT_NEAR(degreesAt(grid, 11), 0.1, 1e-15);
  EXPECT_EQ(grid[119], M_PI / 2);  // exactly 90 deg: bb/b is read at this index
  EXPECT_EQ(grid[149], M_PI);
  // First and last angle of each linear block.
  const struct {
    int index;
    double degrees;
  } landmarks[] = {{12, 0.15}, {29, 1.0}, {30, 1.1}, {39, 2.0}, {40, 2.2},  {54, 5.0},  {55, 5.5},
                   {59, 7.5},  {84, 20}, {85, 22},  {91, 34},  {120, 93}, {148, 177}};
  for (const auto& l : landmarks) EXPECT_NEAR(degreesAt(grid, l.index), l.degrees, 1e-12) << l.index;
}

TEST(PhaseFunctionAngles, GridIncreasesStrictly) {
  const Grid grid = getHighlyPeakedAngleScheme();
  for (std::size_t i = 1; i < grid.size(); ++i) EXPECT_LT(grid[i - 1], grid[i]) << i;
}

}  // namespace
