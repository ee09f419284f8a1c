#pragma once
// Small stand-ins for the photon, medium and sensor tests: phase functions whose draws
// are known, and a fixed photon source.

#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "orvel/engine/HomogeneousWater.h"
#include "orvel/engine/Source.h"
#include "orvel/phase/PhaseFunction.h"
#include "shared/Vec3.h"

namespace orvel::testing {

inline constexpr double kPi = 3.141592653589793;

// Base for the doubles: the table operations are not used by the engine.
class TestPhaseFunction : public PhaseFunction {
 public:
  double getBbRatio() const override { return 0.5; }
  double getF() const override { return 0.0; }
  std::optional<PercentScatteringAngles> getPercentScatteringAngles() const override { return std::nullopt; }
  std::vector<double> getSPFarrayForDisplay(int) const override { return {}; }
  PhaseFunctionTable getSPFarrays() const override { return {}; }
};

// Always scatters by `theta` (still drawing one uniform number); its value at an angle
// is `value` x (1 + angle), so a test sees which angle it was asked for.
class FixedAnglePF final : public TestPhaseFunction {
 public:
  explicit FixedAnglePF(double theta, double value = 0.1) : theta_(theta), value_(value) {}
  double getSPF(double theta) const override { return value_ * (1.0 + theta); }
  double getScatteringAngle(Random& rng) const override {
    (void)rng.uniform();
    return theta_;
  }

 private:
  double theta_;
  double value_;
};

// Isotropic scattering, sampled exactly.
class UniformSpherePF final : public TestPhaseFunction {
 public:
  double getSPF(double) const override { return 1.0 / (4.0 * kPi); }
  double getScatteringAngle(Random& rng) const override { return std::acos(1.0 - 2.0 * rng.uniform()); }
};

inline HomogeneousWater waterWith(double c, double w0, std::shared_ptr<const PhaseFunction> pf) {
  return HomogeneousWater(c, w0, std::move(pf));
}

// Hands out one fixed position and direction.
class FixedSource final : public Source {
 public:
  FixedSource(const Vec3& position, const Vec3& direction, double weight)
      : position_(position), direction_(direction), weight_(weight) {}
  std::array<double, 6> getInitialPhotonPositionDirection(Random&) const override {
    return {position_[0], position_[1], position_[2], direction_[0], direction_[1], direction_[2]};
  }
  double getInitialPhotonWeight() const override { return weight_; }

 private:
  Vec3 position_;
  Vec3 direction_;
  double weight_;
};

}  // namespace orvel::testing
