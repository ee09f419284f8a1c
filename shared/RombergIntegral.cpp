#include "shared/RombergIntegral.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "shared/Console.h"
#include "shared/VarnoMathLib.h"

namespace {

constexpr double kEps = 1e-6;  // relative accuracy
constexpr int kMaxStages = 20;  // JMAX refinement stages
constexpr int kOrder = 5;       // K estimates in the extrapolation

void checkTable(std::span<const double> x, std::span<const double> y) {
  if (x.size() != y.size()) throw std::invalid_argument("Romberg integral: abscissae and values differ in length");
}

}  // namespace

void RombergIntegral::setGeneralFunctionArray(std::span<const double> x, std::span<const double> y) {
  checkTable(x, y);
  auto y2 = VarnoMathLib::spline(x, y, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  x_.assign(x.begin(), x.end());
  y_.assign(y.begin(), y.end());
  y2_ = std::move(y2);
  ysin_.clear();
  ysin2_.clear();
  hasSineTable_ = false;
}

void RombergIntegral::setPhaseFunctionArray(std::span<const double> x, std::span<const double> y) {
  setGeneralFunctionArray(x, y);
  fitSineWeighted();
}

void RombergIntegral::fitSineWeighted() {
  ysin_.resize(x_.size());
  for (std::size_t i = 0; i < x_.size(); ++i) ysin_[i] = y_[i] * std::sin(x_[i]);
  ysin2_ = VarnoMathLib::spline(x_, ysin_, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  hasSineTable_ = true;
}

void RombergIntegral::adjustPhaseFunctionArray(double normalizationFactor) {
  for (double& v : y_) v /= normalizationFactor;
  y2_ = VarnoMathLib::spline(x_, y_, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  fitSineWeighted();
}

void RombergIntegral::setIntegralRange(double from, double to) {
  from_ = from;
  to_ = to;
}

template <class Integrand>
double RombergIntegral::integrate(const Integrand& f) const {
  const double a = from_;
  const double b = to_;
  std::array<double, kMaxStages + 1> h{};
  std::array<double, kMaxStages + 1> s{};
  h[0] = 1.0;
  double sum = 0.0;  // trapezoid estimate of the current stage
  for (int j = 0; j < kMaxStages; ++j) {
    if (j == 0) {
      sum = 0.5 * (b - a) * (f(a) + f(b));
    } else {
      // Stage j adds m = 2^(j-1) midpoints of the previous stage's intervals.
      const long m = 1L << (j - 1);
      const double del = (b - a) / static_cast<double>(m);
      double added = 0.0;
      for (long k = 0; k < m; ++k) added += f(a + (static_cast<double>(k) + 0.5) * del);
      sum = 0.5 * (sum + (b - a) * added / static_cast<double>(m));
    }
    s[j] = sum;
    if (j >= kOrder - 1) {
      const std::span<const double> hs(h.data() + j - (kOrder - 1), kOrder);
      const std::span<const double> ss(s.data() + j - (kOrder - 1), kOrder);
      const auto [value, error] = polynomialInterpolation(hs, ss, 0.0);
      if (std::fabs(error) <= kEps * std::fabs(value)) return value;
    }
    // The trapezoid error is quadratic in the step, and the step halves.
    h[j + 1] = 0.25 * h[j];
  }
  console::message("Warning in Romberg integral: Too many steps.");
  return 0.0;
}

double RombergIntegral::computeGeneralIntegral() const {
  return integrate([this](double at) { return VarnoMathLib::splint(x_, y_, y2_, at); });
}

double RombergIntegral::computePFIntegral() const {
  if (!hasSineTable_) {
    throw std::logic_error("Romberg integral: the phase-function integral needs a table from setPhaseFunctionArray");
  }
  return integrate([this](double at) { return VarnoMathLib::splint(x_, ysin_, ysin2_, at); });
}

std::vector<double> RombergIntegral::getPF(int nAngle) const {
  std::vector<double> values;
  if (nAngle <= 0) return values;
  values.resize(static_cast<std::size_t>(nAngle));
  const double stepDegrees = nAngle > 1 ? 180.0 / (nAngle - 1) : 0.0;
  for (int i = 0; i < nAngle; ++i) {
    const double angle = i * stepDegrees * std::numbers::pi / 180.0;
    values[static_cast<std::size_t>(i)] = VarnoMathLib::splint(x_, y_, y2_, angle);
  }
  return values;
}

std::array<double, 2> RombergIntegral::polynomialInterpolation(std::span<const double> x, std::span<const double> y,
                                                                double x0) {
  const std::size_t n = x.size();
  if (y.size() != n) throw std::invalid_argument("polynomial interpolation: arrays differ in length");
  if (n == 0 || n > static_cast<std::size_t>(kMaxPoints)) {
    throw std::invalid_argument("polynomial interpolation needs 1 to 10 points");
  }
  std::array<double, kMaxPoints> c{};
  std::array<double, kMaxPoints> d{};
  // Start at the point nearest x0 (the first of equally near ones).
  std::size_t ns = 0;
  double dif = std::fabs(x0 - x[0]);
  for (std::size_t i = 0; i < n; ++i) {
    const double dift = std::fabs(x0 - x[i]);
    if (dift < dif) {
      ns = i;
      dif = dift;
    }
    c[i] = y[i];
    d[i] = y[i];
  }
  double value = y[ns];
  double dy = 0.0;
  // `up` is the tableau row just above the current path (ns - 1 in 0-based terms; -1 when
  // the path runs along the top), kept signed.
  long up = static_cast<long>(ns) - 1;
  bool warned = false;
  for (std::size_t m = 1; m < n; ++m) {
    for (std::size_t i = 0; i < n - m; ++i) {
      const double ho = x[i] - x0;
      const double hp = x[i + m] - x0;
      const double w = c[i + 1] - d[i];
      double den = ho - hp;
      if (den == 0.0 && !warned) {
        console::message("Warning in Romberg integral: Failure in polint.");
        warned = true;
      }
      den = w / den;
      d[i] = hp * den;
      c[i] = ho * den;
    }
    // Take the correction that keeps the path centred on the starting point.
    if (2 * (up + 1) < static_cast<long>(n - m)) {
      dy = c[static_cast<std::size_t>(up + 1)];
    } else {
      dy = d[static_cast<std::size_t>(up)];
      --up;
    }
    value += dy;
  }
  return {value, dy};
}
