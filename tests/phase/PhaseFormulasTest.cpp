#include "orvel/phase/PhaseFormulas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using namespace PhaseFormulas;

struct ClosedForm {
  const char* name;
  std::function<double(double)> value;       // beta(theta)
  std::function<double(double)> cumulative;  // P(theta)
  std::function<double(double)> angle;       // inverse of P
};

std::vector<ClosedForm> closedForms() {
  std::vector<ClosedForm> forms = {
      {"isotropic", [](double) { return isotropic(); }, isotropicCumulative, isotropicAngle},
      {"pure water", pureWater, pureWaterCumulative, pureWaterAngle},
  };
  for (double g : {0.925, 0.5, 0.05, -0.3, -0.9, 0.99, 1e-12}) {
    forms.push_back({"HG",
                     [g](double t) { return henyeyGreenstein(g, t); },
                     [g](double t) { return henyeyGreensteinCumulative(g, t); },
                     [g](double xi) { return henyeyGreensteinAngle(g, xi); }});
  }
  forms.push_back({"two-term HG",
                   [](double t) { return twoTermHenyeyGreenstein(0.9, -0.2, 0.5, t); },
                   [](double t) { return twoTermHenyeyGreensteinCumulative(0.9, -0.2, 0.5, t); },
                   nullptr});
  return forms;
}

// The cumulative is the integral of the value: dP/dtheta = 2 pi beta sin(theta), P(0) = 0,
// P(pi) = 1; the sampler inverts the cumulative.
TEST(PhaseFormulas, CumulativeMatchesValueAndSamplerInvertsIt) {
  for (const auto& f : closedForms()) {
    SCOPED_TRACE(f.name);
    EXPECT_NEAR(f.cumulative(0.0), 0.0, 1e-12);
    EXPECT_NEAR(f.cumulative(M_PI), 1.0, 1e-12);
    for (double theta : {0.01, 0.3, 1.0, M_PI / 2, 2.5, 3.1}) {
      const double h = 1e-6;
      const double slope = (f.cumulative(theta + h) - f.cumulative(theta - h)) / (2 * h);
      EXPECT_NEAR(slope, 2 * M_PI * f.value(theta) * std::sin(theta), 1e-6 * (1 + std::abs(slope))) << theta;
    }
    if (!f.angle) continue;
    for (double xi : {0.001, 0.1, 0.25, 0.5, 0.75, 0.9, 0.999}) {
      EXPECT_NEAR(f.cumulative(f.angle(xi)), xi, 1e-9) << xi;
    }
  }
}

// Rounding may carry the sampled cosine a few ulps past +-1; acos would then give NaN.
TEST(PhaseFormulas, SamplersStayWithinZeroToPiAtTheEnds) {
  const double lastXi = std::nextafter(1.0, 0.0);
  for (int k = -99; k <= 99; ++k) {
    const double g = k / 100.0;
    for (double xi : {0.0, 1e-17, lastXi}) {
      const double theta = henyeyGreensteinAngle(g, xi);
      EXPECT_TRUE(theta >= 0.0 && theta <= M_PI) << "g " << g << " xi " << xi << " theta " << theta;
    }
  }
  for (double xi : {0.0, lastXi}) {
    EXPECT_TRUE(pureWaterAngle(xi) >= 0.0 && pureWaterAngle(xi) <= M_PI) << xi;
    EXPECT_TRUE(isotropicAngle(xi) >= 0.0 && isotropicAngle(xi) <= M_PI) << xi;
  }
}

TEST(PhaseFormulas, PureWaterReferenceValues) {
  EXPECT_DOUBLE_EQ(pureWater(0.0), 0.1193662073189215);
  EXPECT_DOUBLE_EQ(pureWater(M_PI / 2), 0.05968310365946075);
  EXPECT_EQ(pureWaterAngle(0.5), M_PI / 2);
  EXPECT_NEAR(pureWaterAngle(0.25) * 180 / M_PI, 53.41, 0.005);
  EXPECT_NEAR(pureWaterAngle(0.75) * 180 / M_PI, 126.59, 0.005);
}

TEST(PhaseFormulas, HenyeyGreensteinBackscatteringRatios) {
  EXPECT_NEAR(1 - henyeyGreensteinCumulative(0.925, M_PI / 2), 0.0167490, 5e-8);
  EXPECT_NEAR(1 - twoTermHenyeyGreensteinCumulative(0.9, -0.2, 0.5, M_PI / 2), 0.334755, 5e-7);
  // g = 0 is the isotropic limit rather than 0/0.
  EXPECT_DOUBLE_EQ(henyeyGreensteinCumulative(0.0, 1.0), isotropicCumulative(1.0));
  EXPECT_DOUBLE_EQ(henyeyGreensteinAngle(0.0, 0.3), isotropicAngle(0.3));
}

// The Fournier-Forand shape is finite and positive over the whole range (theta = 0 is
// evaluated at cos theta = 0.999999, off the 0/0 point) and falls steeply away from the
// forward direction.
TEST(PhaseFormulas, FournierForandShapeIsPositiveAndForwardPeaked) {
  const double atZero = fournierForand(4.0, 1.15, 0.0);
  EXPECT_TRUE(std::isfinite(atZero) && atZero > 0);
  double previous = INFINITY;
  for (double deg : {0.01, 0.1, 1.0, 10.0, 30.0, 90.0}) {
    const double v = fournierForand(4.0, 1.15, deg * M_PI / 180);
    EXPECT_TRUE(std::isfinite(v) && v > 0) << deg;
    EXPECT_LT(v, previous) << deg;
    previous = v;
  }
}

}  // namespace
