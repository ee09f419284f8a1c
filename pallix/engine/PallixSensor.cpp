#include "pallix/engine/PallixSensor.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace pallix {

PallixSensor::PallixSensor(double center, double radius, double tilt, double halfFOV, int detectorType)
    : center_(center),
      radius_(radius),
      tilt_(tilt),
      halfFOV_(halfFOV),
      detectorType_(detectorType),
      radiusSquared_(radius * radius),
      sinTilt_(std::sin(tilt)),
      cosTilt_(std::cos(tilt)),
      gaussianExponent_(0.0) {
  if (detectorType != kGaussian && detectorType != kUniform) {
    throw std::invalid_argument("Unknown detector type " + std::to_string(detectorType) +
                                " (0 Gaussian, 1 Uniform).");
  }
  if (detectorType == kGaussian) {
    if (!(halfFOV > 0.0)) {
      throw std::invalid_argument(
          "A Gaussian detector needs a half angle (fov) above 0: its response is undefined at 0.");
    }
    gaussianExponent_ = std::numbers::ln2 / (halfFOV * halfFOV);
  }
}

double PallixSensor::getIncidentAngle(const Vec3& d) const {
  // Viewing axis v = (-sin tilt, 0, cos tilt); the photon arrives against it. Rounding can
  // push the cosine just outside [-1, 1], so it is clamped before the arc cosine.
  const double cosIncident = -(-sinTilt_ * d[0] + cosTilt_ * d[2]);
  return std::acos(std::clamp(cosIncident, -1.0, 1.0));
}

void PallixSensor::tally(Photon& photon) {
  const double incidentAngle = getIncidentAngle(photon.getDirection());
  if (detectorType_ == kGaussian) {
    photon.updateWeight(std::exp(-gaussianExponent_ * incidentAngle * incidentAngle));
    ++event_;
    weight_ += photon.getWeight();
  } else if (incidentAngle < halfFOV_) {
    ++event_;
    weight_ += photon.getWeight();
  }
  photon.updateWeight(0.0);
}

}  // namespace pallix
