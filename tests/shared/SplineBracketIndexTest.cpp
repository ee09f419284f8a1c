#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "shared/Console.h"
#include "shared/Random.h"
#include "shared/SplineBracketIndex.h"
#include "shared/VarnoMathLib.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct AbscissaCase {
  std::string name;
  std::vector<double> xa;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const AbscissaCase& c, std::ostream* os) { *os << c.name; }

// Abscissae like the tables the index serves (an evenly spaced one, a cumulative
// distribution rising steeply at first, a logarithmic forward grid) and awkward ones:
// repeated knots, two knots, all knots equal, a decreasing stretch, a very wide span.
std::vector<AbscissaCase> abscissaCases() {
  std::vector<AbscissaCase> cases;
  std::vector<double> even(150), steep(150), logGrid(150);
  for (int i = 0; i < 150; ++i) {
    even[i] = -2.0 + 0.03 * i;
    steep[i] = 1.0 - std::pow(1.0 - i / 149.0, 12.0);
    logGrid[i] = i == 0 ? 0.0 : 1e-6 * std::pow(10.0, 6.5 * (i - 1) / 148.0);
  }
  cases.push_back({"even", even});
  cases.push_back({"steepCumulative", steep});
  cases.push_back({"logarithmic", logGrid});
  cases.push_back({"repeatedKnots", {0, 0, 0.5, 1, 1, 1, 2, 3, 3}});
  cases.push_back({"twoKnots", {1.0, 4.0}});
  cases.push_back({"allEqual", {2.0, 2.0, 2.0}});
  cases.push_back({"decreasingStretch", {0, 1, 3, 2.5, 4, 5}});
  cases.push_back({"wideSpan", {-1e300, -1.0, 0.0, 1e-300, 1.0, 1e300}});
  return cases;
}

// Every knot and its two neighbouring doubles, the cell edges of a few grids, values
// beyond both ends, infinities, NaN and random values over the table and past its ends.
std::vector<double> probePoints(const std::vector<double>& xa) {
  std::vector<double> at{kInf, -kInf, std::nan(""), 0.0, -0.0};
  for (double x : xa) {
    at.insert(at.end(), {x, std::nextafter(x, -kInf), std::nextafter(x, kInf)});
  }
  const double lo = xa.front(), hi = xa.back();
  const double span = std::isfinite(hi - lo) ? hi - lo : 1.0;
  for (int j = 0; j <= 64; ++j) at.push_back(lo + span * j / 64.0);
  Random rng(2024);
  for (int i = 0; i < 20000; ++i) at.push_back(lo - 0.2 * span + 1.4 * span * rng.uniform());
  return at;
}

class SplineBracketIndexTest : public ::testing::TestWithParam<AbscissaCase> {};

TEST_P(SplineBracketIndexTest, FindsTheBisectionsIntervalForEveryArgument) {
  const auto& xa = GetParam().xa;
  for (std::size_t cells : {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{10007}}) {
    const SplineBracketIndex index(xa, cells);
    for (double x : probePoints(xa)) {
      ASSERT_EQ(index.lowerKnot(x), bisectionLowerKnot(xa, x)) << "x = " << x << ", cells = " << cells;
    }
  }
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The spline through the index equals splint's bisection form to the last bit, and
// refuses the same zero-width brackets with the same console line.
TEST_P(SplineBracketIndexTest, SplineValueIsBitForBitTheBisectionsOrTheSameError) {
  const auto& xa = GetParam().xa;
  std::vector<double> ya(xa.size()), y2a(xa.size());
  for (std::size_t i = 0; i < xa.size(); ++i) {
    ya[i] = std::sin(3.0 * static_cast<double>(i)) + 0.1 * static_cast<double>(i);
    y2a[i] = std::cos(7.0 * static_cast<double>(i));
  }
  const SplineBracketIndex index(xa);
  for (double x : probePoints(xa)) {
    bool bisectionThrew = false, indexThrew = false;
    double bisection = 0.0, indexed = 0.0;
    std::string bisectionMessages, indexMessages;
    {
      console::Capture capture;
      try {
        bisection = VarnoMathLib::splint(xa, ya, y2a, x);
      } catch (const SplineError&) {
        bisectionThrew = true;
      }
      bisectionMessages = capture.messages();
    }
    {
      console::Capture capture;
      try {
        indexed = VarnoMathLib::splint(index, ya, y2a, x);
      } catch (const SplineError&) {
        indexThrew = true;
      }
      indexMessages = capture.messages();
    }
    ASSERT_EQ(indexThrew, bisectionThrew) << x;
    ASSERT_EQ(indexMessages, bisectionMessages) << x;
    if (!bisectionThrew) {
      ASSERT_TRUE(sameBits(indexed, bisection)) << x << ": " << indexed << " vs " << bisection;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Tables, SplineBracketIndexTest, ::testing::ValuesIn(abscissaCases()),
                         [](const ::testing::TestParamInfo<AbscissaCase>& tableCase) {
                           return tableCase.param.name;
                         });

TEST(SplineBracketIndex, TablesSplintRefusesAreRefusedThroughTheIndexToo) {
  const std::vector<double> one{1.0}, ya{1.0, 2.0}, y2a{0.0, 0.0};
  console::Capture capture;
  EXPECT_THROW(VarnoMathLib::splint(SplineBracketIndex(one), one, one, 0.5), SplineError);
  EXPECT_THROW(VarnoMathLib::splint(SplineBracketIndex(), ya, y2a, 0.5), SplineError);
  EXPECT_THROW(VarnoMathLib::splint(SplineBracketIndex(std::vector<double>{0.0, 1.0}), ya, one, 0.5),
               SplineError);
}

}  // namespace
