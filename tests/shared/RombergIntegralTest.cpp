#include "shared/RombergIntegral.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "shared/Console.h"
#include "shared/VarnoMathLib.h"

namespace {

constexpr double kPi = std::numbers::pi;

// The 150-angle forward-peaked grid of the phase functions, in radians.
std::vector<double> peakedGrid() {
  std::vector<double> deg{0.0};
  for (int i = 1; i <= 11; ++i) deg.push_back(std::pow(10.0, -2.0 + 0.1 * (i - 1)));
  for (int k = 1; k <= 18; ++k) deg.push_back(0.1 + 0.05 * k);
  for (int k = 1; k <= 10; ++k) deg.push_back(1.0 + 0.1 * k);
  for (int k = 1; k <= 15; ++k) deg.push_back(2.0 + 0.2 * k);
  for (int k = 1; k <= 30; ++k) deg.push_back(5.0 + 0.5 * k);
  for (int k = 1; k <= 35; ++k) deg.push_back(20.0 + 2.0 * k);
  for (int k = 1; k <= 30; ++k) deg.push_back(90.0 + 3.0 * k);
  for (double& d : deg) d *= kPi / 180.0;
  return deg;
}

// Exact integral of the natural spline (x, y, y2) over the knot interval [x_i, x_{i+1}].
double splinePieceIntegral(const std::vector<double>& x, const std::vector<double>& y, const std::vector<double>& y2,
                           std::size_t i) {
  const double h = x[i + 1] - x[i];
  return h * (y[i] + y[i + 1]) / 2 - h * h * h * (y2[i] + y2[i + 1]) / 24;
}

// An uneven, wiggly table.
struct Table {
  std::vector<double> x, y;
};
Table wigglyTable() {
  Table t;
  for (int i = 0; i < 12; ++i) {
    t.x.push_back(0.3 * i + 0.05 * std::sin(3.0 * i));
    t.y.push_back(std::cos(1.7 * i) + 0.1 * i * i);
  }
  return t;
}

}  // namespace

// Over one knot interval the integrand is a single cubic, for which the extrapolated
// trapezoid sums are exact; across many knots the result meets the relative accuracy 1e-6.
TEST(RombergIntegral, IntegratesSplinePiecesExactlyAndWholeTablesToTheRequestedAccuracy) {
  const Table t = wigglyTable();
  const auto y2 = VarnoMathLib::spline(t.x, t.y, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  RombergIntegral r;
  r.setGeneralFunctionArray(t.x, t.y);
  double total = 0.0;
  for (std::size_t i = 0; i + 1 < t.x.size(); ++i) {
    const double exact = splinePieceIntegral(t.x, t.y, y2, i);
    total += exact;
    r.setIntegralRange(t.x[i], t.x[i + 1]);
    EXPECT_NEAR(r.computeGeneralIntegral(), exact, 1e-13 * (1 + std::fabs(exact))) << "interval " << i;
    r.setIntegralRange(t.x[i + 1], t.x[i]);
    EXPECT_NEAR(r.computeGeneralIntegral(), -exact, 1e-13 * (1 + std::fabs(exact))) << "reversed " << i;
  }
  // Across knots the stopping test relies on the error estimate, which a coarse wiggly
  // table can fool; a smooth dense table meets the requested accuracy.
  r.setIntegralRange(t.x.front(), t.x.back());
  EXPECT_NEAR(r.computeGeneralIntegral(), total, 1e-4 * std::fabs(total));
  std::vector<double> x, y;
  for (int i = 0; i <= 60; ++i) {
    x.push_back(0.05 * i);
    y.push_back(std::exp(x.back()));
  }
  r.setGeneralFunctionArray(x, y);
  r.setIntegralRange(0.0, 3.0);
  EXPECT_NEAR(r.computeGeneralIntegral(), std::exp(3.0) - 1.0, 2e-6 * (std::exp(3.0) - 1.0));
}

// A two-knot table is a straight line; empty ranges and zero tables give 0 at once.
TEST(RombergIntegral, DegenerateRangesAndZeroTables) {
  const std::vector<double> x{0.0, 2.0}, line{1.0, 5.0}, zero{0.0, 0.0};
  RombergIntegral r;
  r.setGeneralFunctionArray(x, line);
  r.setIntegralRange(0.5, 1.5);  // integral of 1 + 2x
  EXPECT_NEAR(r.computeGeneralIntegral(), 3.0, 1e-14);
  r.setIntegralRange(1.25, 1.25);
  EXPECT_EQ(r.computeGeneralIntegral(), 0.0);
  r.setPhaseFunctionArray(x, zero);
  r.setIntegralRange(0.0, 2.0);
  EXPECT_EQ(r.computeGeneralIntegral(), 0.0);
  EXPECT_EQ(r.computePFIntegral(), 0.0);
}

TEST(RombergIntegral, IsotropicValueOnThePeakedGridIntegratesToOneOverTwoPi) {
  const auto grid = peakedGrid();
  ASSERT_EQ(grid.size(), 150u);
  const std::vector<double> iso(grid.size(), 1.0 / (4 * kPi));
  RombergIntegral r;
  r.setPhaseFunctionArray(grid, iso);
  r.setIntegralRange(0.0, kPi);
  const double whole = r.computePFIntegral();
  EXPECT_NEAR(whole, 2.0 / (4 * kPi), 1e-6);
  // Interval by interval, as the phase-function models integrate, gives the same.
  double pieces = 0.0;
  for (std::size_t i = 0; i + 1 < grid.size(); ++i) {
    r.setIntegralRange(grid[i], grid[i + 1]);
    pieces += r.computePFIntegral();
  }
  EXPECT_NEAR(pieces, 2.0 / (4 * kPi), 1e-6);
  EXPECT_NEAR(2 * kPi * pieces, 1.0, 1e-5);
}

TEST(RombergIntegral, AdjustmentScalesValuesAndBothIntegrals) {
  const Table t = wigglyTable();
  RombergIntegral r;
  r.setPhaseFunctionArray(t.x, t.y);
  r.setIntegralRange(t.x[2], t.x[9]);
  const double general = r.computeGeneralIntegral();
  const double pf = r.computePFIntegral();
  r.adjustPhaseFunctionArray(2.0);
  ASSERT_EQ(r.getPF().size(), t.y.size());
  for (std::size_t i = 0; i < t.y.size(); ++i) EXPECT_DOUBLE_EQ(r.getPF()[i], t.y[i] / 2) << i;
  EXPECT_NEAR(r.computeGeneralIntegral(), general / 2, 1e-6 * std::fabs(general));
  EXPECT_NEAR(r.computePFIntegral(), pf / 2, 1e-6 * std::fabs(pf));
}

// The normalisation sequence of the phase-function dialog: integrate, divide by the
// integral times 2 pi, read back 181 values at whole degrees.
TEST(RombergIntegral, NormalisationSequenceAndValuesAtWholeDegrees) {
  const auto grid = peakedGrid();
  std::vector<double> raw;
  for (double a : grid) raw.push_back(3.0 * (1 + std::cos(a) * std::cos(a)));  // unnormalised Rayleigh
  RombergIntegral r;
  r.setPhaseFunctionArray(grid, raw);
  r.setIntegralRange(0.0, kPi);
  const double all = r.computePFIntegral();
  r.adjustPhaseFunctionArray(all / 0.15915494309189535);
  EXPECT_NEAR(2 * kPi * r.computePFIntegral(), 1.0, 1e-6);
  const auto y2 = VarnoMathLib::spline(grid, r.getPF(), VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  const auto degrees = r.getPF(181);
  ASSERT_EQ(degrees.size(), 181u);
  for (int i = 0; i <= 180; i += 15) {
    EXPECT_DOUBLE_EQ(degrees[i], VarnoMathLib::splint(grid, r.getPF(), y2, i * kPi / 180)) << i;
  }
  // 3/(16 pi)(1 + cos^2) once normalised.
  EXPECT_NEAR(degrees[0], 3 / (8 * kPi), 1e-5);
  EXPECT_NEAR(degrees[90], 3 / (16 * kPi), 1e-5);
  EXPECT_EQ(r.getPF(1).size(), 1u);
  EXPECT_TRUE(r.getPF(0).empty());
}

TEST(RombergIntegral, PhaseFunctionIntegralNeedsThePhaseFunctionTable) {
  const std::vector<double> x{0.0, 1.0, 2.0}, y{1.0, 2.0, 3.0};
  RombergIntegral r;
  r.setIntegralRange(0.0, 1.0);
  EXPECT_THROW(r.computePFIntegral(), std::logic_error);
  r.setPhaseFunctionArray(x, y);
  EXPECT_NO_THROW(r.computePFIntegral());
  // A general table replaces the sine-weighted one instead of leaving a stale table.
  r.setGeneralFunctionArray(x, y);
  EXPECT_THROW(r.computePFIntegral(), std::logic_error);
  EXPECT_THROW(r.setGeneralFunctionArray(x, std::vector<double>{1.0}), std::invalid_argument);
}

TEST(RombergIntegral, NonConvergenceWarnsAndReturnsZero) {
  const std::vector<double> x{0.0, 1.0, 2.0}, y{1.0, std::numeric_limits<double>::quiet_NaN(), 3.0};
  RombergIntegral r;
  r.setGeneralFunctionArray(x, y);
  r.setIntegralRange(0.0, 2.0);
  console::Capture capture;
  EXPECT_EQ(r.computeGeneralIntegral(), 0.0);
  EXPECT_EQ(capture.messages(), "Warning in Romberg integral: Too many steps.\n");
}

TEST(PolynomialInterpolation, ExactForPolynomialsUpToTheNumberOfPointsLessOne) {
  const auto quartic = [](double v) { return 2 - v + 0.5 * v * v - 3 * v * v * v + v * v * v * v; };
  struct Case {
    std::vector<double> x;
    double x0;
  };
  const Case cases[] = {
      {{1.0, 0.25, 0.0625, 0.015625, 0.00390625}, 0.0},  // Romberg's steps, extrapolated to 0
      {{-2.0, -1.0, 0.5, 1.5, 3.0}, 0.7},
      {{-2.0, -1.0, 0.5, 1.5, 3.0}, -1.0},  // at a point of the table
      {{0.0, 1.0, 2.0, 3.0, 4.0}, 6.5},     // beyond the points
      {{3.0, 0.0, 4.0, 1.0, 2.0, 5.0, 7.0}, 2.5},
  };
  for (const auto& c : cases) {
    std::vector<double> y;
    for (double v : c.x) y.push_back(quartic(v));
    const auto [value, error] = RombergIntegral::polynomialInterpolation(c.x, y, c.x0);
    EXPECT_NEAR(value, quartic(c.x0), 1e-9 * (1 + std::fabs(quartic(c.x0)))) << c.x0;
    if (c.x.size() > 5) {
      EXPECT_NEAR(error, 0.0, 1e-9 * (1 + std::fabs(quartic(c.x0)))) << c.x0;
    }
  }
}

// With Romberg's abscissae the nearest point is the newest; the error estimate is then the
// difference from the cubic through the four newest points.
TEST(PolynomialInterpolation, ErrorEstimateIsTheDifferenceFromTheLowerDegreeThroughTheNearestPoints) {
  const std::vector<double> h{1.0, 0.25, 0.0625, 0.015625, 0.00390625};
  const std::vector<double> s{3.1, 2.7, 2.65, 2.641, 2.6405};
  const auto [value, error] = RombergIntegral::polynomialInterpolation(h, s, 0.0);
  const auto [cubic, unused] = RombergIntegral::polynomialInterpolation(
      std::span<const double>(h).subspan(1), std::span<const double>(s).subspan(1), 0.0);
  EXPECT_NEAR(value - error, cubic, 1e-12);
  EXPECT_NE(error, 0.0);
}

TEST(PolynomialInterpolation, CoincidentAbscissaeWarnAndTooManyPointsAreRefused) {
  const std::vector<double> x{0.0, 1.0, 1.0, 2.0}, y{1.0, 2.0, 3.0, 4.0};
  {
    console::Capture capture;
    const auto [value, error] = RombergIntegral::polynomialInterpolation(x, y, 0.5);
    EXPECT_FALSE(std::isfinite(value));
    EXPECT_EQ(capture.messages(), "Warning in Romberg integral: Failure in polint.\n");
  }
  const std::vector<double> eleven(11, 1.0), ten(10, 1.0);
  EXPECT_THROW(RombergIntegral::polynomialInterpolation(eleven, eleven, 0.0), std::invalid_argument);
  EXPECT_THROW(RombergIntegral::polynomialInterpolation(std::vector<double>{}, std::vector<double>{}, 0.0),
               std::invalid_argument);
  EXPECT_THROW(RombergIntegral::polynomialInterpolation(ten, eleven, 0.0), std::invalid_argument);
}
