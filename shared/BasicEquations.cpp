#include "shared/BasicEquations.h"

#include <cmath>
#include <numbers>

#include "shared/Console.h"

namespace BasicEquations {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180.0;  // radians per degree
// Tolerance on the length of a direction and on its distance from the z axis.
constexpr double kTolerance = 1e-7;

void checkNorm(const Vec3& v) {
  if (std::fabs(norm(v) - 1.0) >= kTolerance) console::message("norm of the direction vector is not 1.0");
}

}  // namespace

Interface interfaceFromName(std::string_view name) {
  if (name == "AIR_TO_WATER") return Interface::AirToWater;
  if (name == "WATER_TO_AIR") return Interface::WaterToAir;
  return Interface::None;
}

Vec3 anglesToDirectionCosine(double theta, double phi) {
  const double t = theta * kDegree;
  const double p = phi * kDegree;
  return {std::sin(t) * std::cos(p), std::sin(t) * std::sin(p), std::cos(t)};
}

std::array<double, 2> getAnglesFromDirectionVector(const Vec3& direction) {
  checkNorm(direction);
  const double c = direction[2];  // the raw z component, not divided by the norm
  if (std::fabs(c - 1.0) <= kTolerance) return {0.0, 0.0};
  if (std::fabs(c + 1.0) <= kTolerance) return {kPi, 0.0};
  if (std::fabs(c) < 1.0) {
    double phi = std::atan2(direction[1], direction[0]);
    if (direction[1] < 0.0) {
      phi += 2.0 * kPi;
      // A tiny negative atan2 rounds up to 2 pi, which lies outside [0, 2 pi).
      if (phi >= 2.0 * kPi) phi = 0.0;
    }
    return {std::acos(c), phi};
  }
  // |c| >= 1 away from the poles: only a vector that is not of unit length gets here.
  return c > 0.0 ? std::array<double, 2>{0.0, 0.0} : std::array<double, 2>{kPi, 0.0};
}

Vec3 computeDirection(double oldTheta, double oldPhi, double newTheta, double newPhi) {
  const double st0 = std::sin(oldTheta), ct0 = std::cos(oldTheta);
  const double sp0 = std::sin(oldPhi), cp0 = std::cos(oldPhi);
  const double st = std::sin(newTheta), ct = std::cos(newTheta);
  const double sp = std::sin(newPhi), cp = std::cos(newPhi);
  return {st0 * cp0 * ct + ct0 * cp0 * st * cp - sp0 * st * sp,
          st0 * sp0 * ct + ct0 * sp0 * st * cp + cp0 * st * sp,  //
          ct0 * ct - st0 * st * cp};
}

Vec3 rotateDirection(const Vec3& direction, double cosTheta, double sinTheta, double cosPhi, double sinPhi) {
  checkNorm(direction);
  // Sines and cosines of the old polar angle and azimuth exactly as the angles of
  // getAnglesFromDirectionVector would give them, without the inverse trigonometry.
  const double z = direction[2];
  double ct0, st0, cp0 = 1.0, sp0 = 0.0;
  if (std::fabs(z - 1.0) <= kTolerance) {
    ct0 = 1.0;
    st0 = 0.0;
  } else if (std::fabs(z + 1.0) <= kTolerance) {
    ct0 = -1.0;
    st0 = 0.0;
  } else if (std::fabs(z) < 1.0) {
    ct0 = z;
    st0 = std::sqrt((1.0 - z) * (1.0 + z));  // sin(arccos z)
    const double rho = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1]);
    if (rho > 0.0) {
      cp0 = direction[0] / rho;
      sp0 = direction[1] / rho;
    }
  } else {
    ct0 = z > 0.0 ? 1.0 : -1.0;
    st0 = 0.0;
  }
  // new = old cos(theta) + e_theta sin(theta) cos(phi) + e_phi sin(theta) sin(phi), with
  // e_theta = (ct0 cp0, ct0 sp0, -st0) and e_phi = (-sp0, cp0, 0).
  const double a = sinTheta * cosPhi;
  const double b = sinTheta * sinPhi;
  const double radial = st0 * cosTheta + ct0 * a;  // component along (cp0, sp0, 0)
  return {radial * cp0 - b * sp0, radial * sp0 + b * cp0, ct0 * cosTheta - st0 * a};
}

Vec3 rotateDirection(const Vec3& direction, double theta, double phi) {
  return rotateDirection(direction, std::cos(theta), std::sin(theta), std::cos(phi), std::sin(phi));
}

Vec3 computeNewDirectionCosine(const Vec3& oldDC, double theta, double phi) {
  const double ux = oldDC[0], uy = oldDC[1], uz = oldDC[2];
  const double mu = std::cos(theta);
  const double sinTheta = std::sqrt(1.0 - mu * mu);  // theta in [0, pi]
  const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
  // Squared horizontal length; equals 1 - uz^2 for a unit vector but keeps its precision
  // next to the z axis.
  const double rho2 = ux * ux + uy * uy;
  if (rho2 < kTolerance * kTolerance) {
    // Along the z axis: the cone about +z or -z.
    return {sinTheta * cosPhi, sinTheta * sinPhi, uz >= 0.0 ? mu : -mu};
  }
  const double s = sinTheta / std::sqrt(rho2);
  return {ux * mu - (uy * sinPhi + ux * uz * cosPhi) * s,  //
          uy * mu + (ux * sinPhi - uy * uz * cosPhi) * s,  //
          uz * mu + rho2 * cosPhi * s};
}

Vec3 getPhotonPlaneCrossing(const Vec3& oldPosition, const Vec3& direction, const Vec3& planeDirection,
                            const Vec3& planeCenter) {
  const Vec3 toCenter{planeCenter[0] - oldPosition[0], planeCenter[1] - oldPosition[1],
                      planeCenter[2] - oldPosition[2]};
  const double t = dot(planeDirection, toCenter) / dot(planeDirection, direction);
  return {oldPosition[0] + t * direction[0], oldPosition[1] + t * direction[1], oldPosition[2] + t * direction[2]};
}

double SnellAngle(double incidentAngle, Interface direction, double nWater) {
  const double s = std::sin(incidentAngle * kDegree);
  switch (direction) {
    case Interface::AirToWater:
      return std::asin(s / nWater) / kDegree;
    case Interface::WaterToAir:
      return std::asin(nWater * s) / kDegree;  // NaN beyond the critical angle
    case Interface::None:
      break;
  }
  return 0.0;
}

double SnellAngle(double incidentAngle, std::string_view direction, double nWater) {
  return SnellAngle(incidentAngle, interfaceFromName(direction), nWater);
}

double FresnelReflectance(double incidentAngle, double transmittedAngle, double nWater) {
  if (incidentAngle == 0.0) {
    const double r = (nWater - 1.0) / (nWater + 1.0);
    return r * r;
  }
  if (std::isnan(transmittedAngle)) return 1.0;  // total internal reflection
  const double p = (incidentAngle + transmittedAngle) * kDegree;
  const double m = (incidentAngle - transmittedAngle) * kDegree;
  const double sinRatio = std::sin(m) / std::sin(p);
  const double tanRatio = std::tan(m) / std::tan(p);
  return 0.5 * (sinRatio * sinRatio + tanRatio * tanRatio);
}

double incidentAngleToFresenelReflectance(double inAngle, Interface in, double nWater) {
  if (in == Interface::None) return 0.0;
  return FresnelReflectance(inAngle, SnellAngle(inAngle, in, nWater), nWater);
}

double incidentAngleToFresenelReflectance(double inAngle, std::string_view in, double nWater) {
  return incidentAngleToFresenelReflectance(inAngle, interfaceFromName(in), nWater);
}

double computeDistance(const Vec3& oldP, const Vec3& newP) {
  const double dx = oldP[0] - newP[0], dy = oldP[1] - newP[1], dz = oldP[2] - newP[2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

std::array<double, 2> getAnglesFromDirectionVectorOldOne(const Vec3& direction) {
  const double c = direction[2] / norm(direction);
  double theta;
  if (std::fabs(c) < 1.0) {
    theta = std::acos(c);
  } else {
    theta = c > 0.0 ? 0.0 : kPi;
  }
  return {theta, std::atan2(direction[1], direction[0])};
}

Vec3 getNewDirection(double alpha, double beta, double gamma, double theta, double phi, Random& rng) {
  const double ct = std::cos(theta);
  const double cp = std::cos(phi);
  const double st = std::sqrt(1.0 - ct * ct);
  const double sinPhiSize = std::sqrt(1.0 - cp * cp);
  const double sp = rng.uniform() < 0.5 ? sinPhiSize : -sinPhiSize;
  if (1.0 - std::fabs(gamma) < kTolerance) {
    return {st * cp, st * sp, gamma > 0.0 ? ct : -ct};
  }
  const double t = std::sqrt(1.0 - gamma * gamma);
  return {alpha * ct + st * (cp * beta + alpha * gamma * sp) / t,  //
          beta * ct + st * (beta * gamma * sp - alpha * cp) / t,  //
          gamma * ct - t * st * sp};
}

}  // namespace BasicEquations
