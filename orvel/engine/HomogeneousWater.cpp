#include "orvel/engine/HomogeneousWater.h"

#include <stdexcept>
#include <utility>

namespace orvel {

HomogeneousWater::HomogeneousWater(double attenuation, double albedo) : c(attenuation), w0(albedo) {}

HomogeneousWater::HomogeneousWater(double attenuation, double albedo, std::shared_ptr<const PhaseFunction> spf)
    : HomogeneousWater(attenuation, albedo) {
  setPhaseFunction(std::move(spf));
}

void HomogeneousWater::setPhaseFunction(std::shared_ptr<const PhaseFunction> spf) {
  if (spf == nullptr) throw std::invalid_argument("the water needs a phase function");
  spf_ = std::move(spf);
}

const PhaseFunction& HomogeneousWater::getPhaseFunction() const { return model(); }

void HomogeneousWater::throwNoPhaseFunction() {
  throw std::logic_error("the water has no phase function yet");
}

void HomogeneousWater::adjustMediumProperties(double F) {
  if (!(F >= 0.0 && F <= 1.0)) {
    throw std::invalid_argument("the truncated fraction of scattering must lie in [0, 1]");
  }
  const double remaining = 1.0 - w0 * F;  // share of the attenuation left after truncation
  if (!(remaining > 0.0)) {
    throw std::invalid_argument("truncation would remove all attenuation");
  }
  const double w0Before = w0;
  c *= remaining;
  w0 = w0Before * (1.0 - F) / remaining;
}

}  // namespace orvel
