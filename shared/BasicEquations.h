#pragma once
// Direction geometry and air-water interface optics shared by both programs.
//
// Directions are unit vectors of direction cosines; polar angle theta from +z (0 to pi),
// azimuth phi from +x towards +y. Units differ per operation and are fixed:
//   degrees  anglesToDirectionCosine, SnellAngle, FresnelReflectance,
//            incidentAngleToFresenelReflectance
//   radians  every rotation, getAnglesFromDirectionVector(OldOne)
// Every operation is a pure function of its arguments (getNewDirection also draws one
// uniform number from the generator it is given) and may be called from any thread.

#include <array>
#include <string_view>

#include "shared/Random.h"
#include "shared/Vec3.h"

namespace BasicEquations {

// Refractive index of water in both programs (air: 1).
inline constexpr double kWaterIndex = 1.34;

// The interface crossed: "AIR_TO_WATER" (from air into water), "WATER_TO_AIR", or none.
enum class Interface { AirToWater, WaterToAir, None };
// "AIR_TO_WATER" and "WATER_TO_AIR" name the two interfaces; any other text means none.
Interface interfaceFromName(std::string_view name);

// (sin t cos p, sin t sin p, cos t) for theta, phi in degrees.
Vec3 anglesToDirectionCosine(double theta, double phi);

// (theta, phi) in radians, theta in [0, pi], phi in [0, 2 pi). A vector whose length differs
// from 1 by 1e-7 or more writes "norm of the direction vector is not 1.0" to the message
// console and is used as it is (theta = arccos of the raw z). Within 1e-7 of the z axis
// the azimuth is lost (phi = 0).
std::array<double, 2> getAnglesFromDirectionVector(const Vec3& direction);

// The unit vector at angle newTheta from the direction (oldTheta, oldPhi), with azimuth
// newPhi measured from the unit vector of increasing oldTheta towards that of increasing
// oldPhi. All radians. No singular case.
Vec3 computeDirection(double oldTheta, double oldPhi, double newTheta, double newPhi);

// The scattering rotation of the photon loops without the round trip through angles:
// equal (to rounding) to computeDirection(getAnglesFromDirectionVector(direction), theta,
// phi) for the deflection theta and azimuth phi given by their cosines and sines, including
// the norm message and the loss of azimuth within 1e-7 of the z axis.
Vec3 rotateDirection(const Vec3& direction, double cosTheta, double sinTheta, double cosPhi, double sinPhi);
// The same with the deflection angles in radians.
Vec3 rotateDirection(const Vec3& direction, double theta, double phi);

// A direction at deflection theta and azimuth phi (radians) from the unit direction oldDC,
// for a uniformly drawn phi (its azimuth origin differs from that of computeDirection).
// A direction within 1e-7 (horizontal length) of the z axis gets the cone about +z or
// -z: (sin t cos p, sin t sin p, +-cos t).
Vec3 computeNewDirectionCosine(const Vec3& oldDC, double theta, double phi);

// Where the ray from oldPosition along direction meets the plane through planeCenter with
// normal planeDirection. Callers have seen the last step change sides, so the direction is
// not parallel to the plane.
Vec3 getPhotonPlaneCrossing(const Vec3& oldPosition, const Vec3& direction, const Vec3& planeDirection,
                            const Vec3& planeCenter);
// The same for a photon of either program: its position before its last move
// (getOldPosition()) and its current direction (getDirection()).
template <class PhotonT>
Vec3 getPhotonPlaneCrossing(const PhotonT& photon, const Vec3& planeDirection, const Vec3& planeCenter) {
  return getPhotonPlaneCrossing(photon.getOldPosition(), photon.getDirection(), planeDirection, planeCenter);
}

// Refraction angle in degrees for the incidence angle in degrees. Air to water:
// arcsin(sin i / n); water to air: arcsin(n sin i), not a number beyond the critical
// angle (total internal reflection); no interface: 0.
double SnellAngle(double incidentAngle, Interface direction, double nWater = kWaterIndex);
double SnellAngle(double incidentAngle, std::string_view direction, double nWater = kWaterIndex);

// Unpolarised Fresnel reflectance for incidence and transmission angles in degrees:
// ((n - 1) / (n + 1))^2 at normal incidence (i exactly 0), 1 when the transmission angle
// is not a number (total internal reflection), otherwise the mean of the two polarisations.
double FresnelReflectance(double incidentAngle, double transmittedAngle, double nWater = kWaterIndex);

// FresnelReflectance(i, SnellAngle(i, in)) for a named interface; 0 for none.
double incidentAngleToFresenelReflectance(double inAngle, Interface in, double nWater = kWaterIndex);
double incidentAngleToFresenelReflectance(double inAngle, std::string_view in, double nWater = kWaterIndex);

// Euclidean distance between two positions.
double computeDistance(const Vec3& oldP, const Vec3& newP);

// (theta, phi) in radians with theta from z / |v| and phi = atan2(y, x) in (-pi, pi];
// no message.
std::array<double, 2> getAnglesFromDirectionVectorOldOne(const Vec3& direction);

// A direction at deflection theta from the old direction (alpha, beta, gamma), both angles
// in radians. Only cos phi is used: the sign of sin phi is drawn from `rng` (+ when the
// uniform number is below 0.5).
Vec3 getNewDirection(double alpha, double beta, double gamma, double theta, double phi, Random& rng);

}  // namespace BasicEquations
