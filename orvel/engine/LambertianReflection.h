#pragma once
// Diffuse (Lambertian) reflection: a direction drawn about a surface normal with the
// density of a perfectly diffuse reflector.
//
// The reflected radiance of a Lambertian surface is the same in every direction, so the
// reflected flux per solid angle goes as cos(theta) about the normal: the polar angle
// has the density 2 sin(theta) cos(theta) on [0, pi/2], drawn by inverting its
// cumulative distribution sin^2(theta) = R1 as theta = 0.5 arccos(1 - 2 R1), and the
// azimuth is uniform, phi = 2 pi R2, with R1, R2 successive uniform numbers.

#include <cmath>

#include "shared/BasicEquations.h"
#include "shared/Random.h"
#include "shared/Vec3.h"

namespace orvel {

struct LambertianDraw {
  Vec3 direction;  // unit direction on the side of the normal
  double theta;    // its polar angle from the normal [rad], in [0, pi/2]
};

// A cosine-weighted direction about the unit vector `normal`; draws R1 then R2.
inline LambertianDraw drawLambertianDirection(const Vec3& normal, Random& rng) {
  const double theta = 0.5 * std::acos(1.0 - 2.0 * rng.uniform());
  const double phi = 6.283185307179586 * rng.uniform();
  return {BasicEquations::rotateDirection(normal, theta, phi), theta};
}

}  // namespace orvel
