// The table-based models sample and evaluate through SplineBracketIndex; these tests
// hold them to the plain form: the spline of theta over P (and of beta over theta)
// evaluated by bisection over the model's own tables, for the same uniform numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

#include "orvel/phase/DualPhaseFunction.h"
#include "orvel/phase/FileSuppliedPF.h"
#include "orvel/phase/FournierForand.h"
#include "orvel/phase/OneTermHenyeyGreenstein.h"
#include "orvel/phase/PureWaterPF.h"
#include "orvel/phase/TwoTermHenyeyGreenstein.h"
#include "shared/Random.h"
#include "shared/VarnoMathLib.h"

namespace {

struct ModelCase {
  std::string name;
  std::function<std::unique_ptr<PhaseFunction>()> make;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const ModelCase& c, std::ostream* os) { *os << c.name; }

std::unique_ptr<PhaseFunction> mixture(bool truncated) {
  const PureWaterPF water;
  const OneTermHenyeyGreenstein particles(0.925);
  return std::make_unique<DualPhaseFunction>(water, particles, 0.0019, 0.6981, truncated, 0.5);
}

std::vector<ModelCase> modelCases() {
  return {
      {"FournierForand", [] { return std::make_unique<FournierForand>(); }},
      {"TwoTermHenyeyGreenstein", [] { return std::make_unique<TwoTermHenyeyGreenstein>(0.9, -0.2, 0.5); }},
      {"FileSupplied",
       [] {
         const std::vector<double> theta{0.0, 0.01, 0.1, 0.5, 1.0, 2.0, std::numbers::pi};
         const std::vector<double> value{900.0, 400.0, 30.0, 1.0, 0.2, 0.08, 0.1};
         return std::make_unique<FileSuppliedPF>(theta, value);
       }},
      {"Mixture", [] { return mixture(false); }},
      {"TruncatedMixture", [] { return mixture(true); }},
  };
}

// The tables the model samples from and evaluates (the truncated ones for a truncated
// mixture).
PhaseFunctionTable samplingTables(const PhaseFunction& model) {
  if (const auto* dual = dynamic_cast<const DualPhaseFunction*>(&model)) return dual->getTruncatedSPFarrays();
  return model.getSPFarrays();
}

class IndexedSplineModels : public ::testing::TestWithParam<ModelCase> {};

TEST_P(IndexedSplineModels, SampledAnglesAreTheBisectionSplineOfTheSameUniforms) {
  const auto model = GetParam().make();
  const auto [thetas, beta, P] = samplingTables(*model);
  const auto inverse = VarnoMathLib::spline(P, thetas, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  Random draws(77), replay(77);
  for (int i = 0; i < 100000; ++i) {
    const double sampled = model->getScatteringAngle(draws);
    const double u = replay.uniform();
    const double plain = std::clamp(VarnoMathLib::splint(P, thetas, inverse, u), 0.0, std::numbers::pi);
    ASSERT_NEAR(sampled, plain, 1e-12) << "u = " << u;
  }
  // The mixture also answers for given probabilities: the knots themselves included.
  if (const auto* dual = dynamic_cast<const DualPhaseFunction*>(model.get())) {
    for (double p : P) {
      const double plain = std::clamp(VarnoMathLib::splint(P, thetas, inverse, p), 0.0, std::numbers::pi);
      ASSERT_NEAR(
          dual->isTruncated() ? dual->getTruncatedScatteringAngle(p) : dual->getUntruncatedScatteringAngle(p),
          plain, 1e-12)
          << "P = " << p;
    }
  }
}

TEST_P(IndexedSplineModels, ValuesAreTheBisectionSplineAtEveryAngle) {
  const auto model = GetParam().make();
  const auto [thetas, beta, P] = samplingTables(*model);
  if (GetParam().name == "TwoTermHenyeyGreenstein") GTEST_SKIP() << "values come from the closed form";
  const auto y2 = VarnoMathLib::spline(thetas, beta, VarnoMathLib::kNaturalEnd, VarnoMathLib::kNaturalEnd);
  const double cut = [&] {
    const auto* dual = dynamic_cast<const DualPhaseFunction*>(model.get());
    return dual != nullptr ? dual->getTruncationAngle() : 0.0;
  }();
  Random rng(9);
  std::vector<double> angles(thetas.begin(), thetas.end());
  for (int i = 0; i < 100000; ++i) angles.push_back(std::numbers::pi * rng.uniform());
  for (double theta : angles) {
    const double plain = theta < cut ? beta[0] : VarnoMathLib::splint(thetas, beta, y2, theta);
    ASSERT_NEAR(model->getSPF(theta), plain, 1e-12 * std::abs(plain)) << "theta = " << theta;
  }
}

INSTANTIATE_TEST_SUITE_P(Models, IndexedSplineModels, ::testing::ValuesIn(modelCases()),
                         [](const ::testing::TestParamInfo<ModelCase>& modelCase) {
                           return modelCase.param.name;
                         });

}  // namespace
