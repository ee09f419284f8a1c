#include "shared/VarnoMathLib.h"

#include <array>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "shared/Console.h"

using VarnoMathLib::kNaturalEnd;
using VarnoMathLib::spline;
using VarnoMathLib::splint;

TEST(Spline, NaturalSplineThroughThreePointsOfAParabola) {
  const std::vector<double> x{0, 1, 2}, y{0, 1, 4};
  const auto y2 = spline(x, y, kNaturalEnd, kNaturalEnd);
  ASSERT_EQ(y2.size(), 3u);
  EXPECT_DOUBLE_EQ(y2[0], 0.0);
  EXPECT_DOUBLE_EQ(y2[1], 3.0);
  EXPECT_DOUBLE_EQ(y2[2], 0.0);
  EXPECT_DOUBLE_EQ(splint(x, y, y2, 0.5), 0.3125);
  EXPECT_EQ(splint(x, y, y2, 1.0), 1.0);
}

TEST(Spline, PassesThroughEveryKnotOfAnUnevenTable) {
  const std::array<double, 7> x{-3.0, -1.2, 0.0, 0.1, 2.5, 2.6, 9.0};
  const std::array<double, 7> y{4.0, -2.0, 0.5, 0.7, 11.0, -3.0, 1.0};
  const auto y2 = spline(x, y, kNaturalEnd, kNaturalEnd);
  for (std::size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(splint(x, y, y2, x[i]), y[i], 1e-12) << "knot " << i;
  EXPECT_EQ(splint(x, y, y2, x.back()), y.back());
}

TEST(Spline, TwoPointsGiveTheStraightLineEverywhere) {
  const std::vector<double> x{1.0, 3.0}, y{2.0, 6.0};
  const auto y2 = spline(x, y, kNaturalEnd, kNaturalEnd);
  for (double at : {-5.0, 0.0, 1.0, 2.2, 3.0, 10.0}) EXPECT_NEAR(splint(x, y, y2, at), 2.0 * at, 1e-12) << at;
}

// A natural spline reproduces straight lines; a spline clamped to the true end slopes
// reproduces any cubic exactly, also when extended beyond the table.
TEST(Spline, ReproducesLinesNaturallyAndCubicsWhenClamped) {
  std::vector<double> x, line, cubic;
  for (double v = -2.0; v <= 3.0; v += 0.37 + 0.1 * std::sin(v)) {
    x.push_back(v);
    line.push_back(1.5 * v - 4.0);
    cubic.push_back(v * v * v - 2 * v * v + v - 1);
  }
  const auto slope = [](double v) { return 3 * v * v - 4 * v + 1; };
  const auto natural = spline(x, line, kNaturalEnd, kNaturalEnd);
  const auto clamped = spline(x, cubic, slope(x.front()), slope(x.back()));
  for (double v = -2.5; v <= 3.5; v += 0.013) {
    EXPECT_NEAR(splint(x, line, natural, v), 1.5 * v - 4.0, 1e-11) << v;
    EXPECT_NEAR(splint(x, cubic, clamped, v), v * v * v - 2 * v * v + v - 1, 1e-10) << v;
  }
}

struct BadBracketCase {
  std::vector<double> xa;
  double x;
  bool bad;
};

// A zero-width bracket can only arise beyond an end whose two abscissae are equal.
TEST(Spline, ZeroWidthBracketRaisesAfterTheConsoleLineAndTheProgramGoesOn) {
  const BadBracketCase cases[] = {
      {{0, 0, 1, 2}, -1.0, true}, {{0, 0, 1, 2}, 0.5, false}, {{0, 0, 1, 2}, 0.0, false},
      {{0, 1, 2, 2}, 2.0, true},  {{0, 1, 2, 2}, 5.0, true},  {{0, 1, 2, 2}, 1.5, false},
  };
  for (const auto& c : cases) {
    const std::vector<double> ya{1, 2, 3, 4}, y2a{0, 0, 0, 0};
    console::Capture capture;
    if (c.bad) {
      EXPECT_THROW(splint(c.xa, ya, y2a, c.x), SplineError) << c.x;
      EXPECT_EQ(capture.messages(), "bad xa input in splint\n");
    } else {
      EXPECT_TRUE(std::isfinite(splint(c.xa, ya, y2a, c.x))) << c.x;
      EXPECT_EQ(capture.messages(), "");
    }
  }
  // Still running: a good table evaluates normally afterwards.
  const std::vector<double> x{0, 1}, y{0, 1}, y2{0, 0};
  EXPECT_DOUBLE_EQ(splint(x, y, y2, 0.25), 0.25);
}

TEST(Spline, MalformedTablesRaiseInsteadOfReadingOutOfBounds) {
  const std::vector<double> one{1.0}, two{1.0, 2.0}, three{1.0, 2.0, 3.0}, empty;
  EXPECT_THROW(spline(one, one, kNaturalEnd, kNaturalEnd), SplineError);
  EXPECT_THROW(spline(two, three, kNaturalEnd, kNaturalEnd), SplineError);
  console::Capture capture;
  EXPECT_THROW(splint(empty, empty, empty, 0.0), SplineError);
  EXPECT_THROW(splint(one, one, one, 0.0), SplineError);
  EXPECT_THROW(splint(two, three, two, 1.5), SplineError);
  EXPECT_THROW(splint(two, two, three, 1.5), SplineError);
}
