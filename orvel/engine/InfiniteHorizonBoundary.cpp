#include "orvel/engine/InfiniteHorizonBoundary.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "orvel/engine/Control.h"
#include "orvel/engine/IncidentRadiance.h"
#include "orvel/engine/Photon.h"
#include "shared/BasicEquations.h"
#include "shared/NumberText.h"
#include "shared/Random.h"

namespace orvel {

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kDegree = kPi / 180.0;
}  // namespace

InfiniteHorizonBoundary::InfiniteHorizonBoundary(const IncidentRadiance& inRad, bool isBottomInfinite,
                                                 double depth, double bottomAlbedo, const Control& control)
    : inRad_(&inRad),
      depth_(depth),
      bottomAlbedo_(bottomAlbedo),
      nWater_(control.nWater),
      criticalAngle_(std::asin(1.0 / control.nWater) / kDegree),
      inRadType_(control.inRadType),
      isBottomInfinite_(isBottomInfinite),
      isPhotonDebug_(control.isPhotonDebug) {}

BoundaryEvent InfiniteHorizonBoundary::outOfBoundOperation(Photon& photon, bool isCollimatedPass,
                                                           Random& rng) const {
  const double z2 = photon.getNewPosition()[2];
  const double uz = photon.getDirection()[2];
  // The direction test keeps the crossing point defined: a step that ends above the
  // surface while travelling horizontally or downwards started above it and never
  // crossed the surface from the water (likewise for the bottom).
  if (z2 < 0.0) return uz < 0.0 ? surfaceReflection(photon, isCollimatedPass) : BoundaryEvent{};
  if (!isBottomInfinite_ && z2 > depth_ && uz > 0.0) return bottomReflection(photon, rng);
  return {};
}

BoundaryEvent InfiniteHorizonBoundary::surfaceReflection(Photon& photon, bool isCollimatedPass) const {
  Vec3& u = photon.getDirection();
  const Vec3& old = photon.getOldPosition();
  // Crossing of z = 0 by the ray from the old position along u.
  const double toSurface = -old[2] / u[2];
  const Vec3 crossing{old[0] + u[0] * toSurface, old[1] + u[1] * toSurface, 0.0};

  // Underwater incidence angle i [degree], refracted angle t in air [degree, NaN beyond
  // the critical angle] and the Fresnel reflectance R (1 beyond the critical angle).
  const double incidence = std::acos(std::clamp(-u[2], -1.0, 1.0)) / kDegree;
  const double transmitted =
      BasicEquations::SnellAngle(incidence, BasicEquations::Interface::WaterToAir, nWater_);
  const double reflectance = BasicEquations::FresnelReflectance(incidence, transmitted, nWater_);

  BoundaryEvent event;
  event.kind = BoundaryEvent::Kind::kSurface;
  event.hitPosition = crossing;
  event.normal = {0.0, 0.0, 1.0};
  event.albedo = reflectance;

  // Sky scoring (diffuse pass only). A refracted angle that comes out NaN just below
  // the critical angle (rounding of n sin i) means total reflection: nothing leaves.
  if (!isCollimatedPass && incidence < criticalAngle_ && !std::isnan(transmitted)) {
    double skyPhi = 0.0;
    if (inRadType_ == 0 && std::abs(u[2] + 1.0) > 1e-7) {
      // Azimuth of the direction of travel, in [0, 2 pi): the sky direction reached
      // lies in the same vertical half-plane.
      skyPhi = std::atan2(u[1], u[0]);
      if (skyPhi < 0.0) skyPhi += kTwoPi;
    }
    event.isSkyTallied = true;
    event.skyEnergy = photon.getWeight() * (1.0 - reflectance) *
                      inRad_->getNormalizedSkyRadiance(transmitted * kDegree, skyPhi);
    if (isPhotonDebug_) [[unlikely]] {
      Control::writePhotonInfo("photon tallied with in-angle " + numtext::formatD(incidence), photon);
    }
  }

  photon.updateWeight(reflectance);
  photon.setNewPosition(crossing);
  u[2] = -u[2];  // specular reflection back into the water
  return event;
}

BoundaryEvent InfiniteHorizonBoundary::bottomReflection(Photon& photon, Random& rng) const {
  const Vec3& u = photon.getDirection();
  const Vec3& old = photon.getOldPosition();
  const double toBottom = (depth_ - old[2]) / u[2];
  const Vec3 crossing{old[0] + u[0] * toBottom, old[1] + u[1] * toBottom, depth_};

  // Lambertian reflection upwards: polar angle from straight up cosine-weighted,
  // theta = 0.5 arccos(1 - 2 R1), azimuth 2 pi R2; the direction is that of polar angle
  // pi - theta from +z.
  const double theta = 0.5 * std::acos(1.0 - 2.0 * rng.uniform());
  const double phi = kTwoPi * rng.uniform();
  const double sinTheta = std::sin(theta);

  photon.setNewPosition(crossing);
  photon.setDirection(sinTheta * std::cos(phi), sinTheta * std::sin(phi), -std::cos(theta));
  photon.updateWeight(bottomAlbedo_);

  BoundaryEvent event;
  event.kind = BoundaryEvent::Kind::kBottom;
  event.hitPosition = crossing;
  event.normal = {0.0, 0.0, -1.0};
  event.albedo = bottomAlbedo_;
  return event;
}

}  // namespace orvel
