#pragma once
// A submerged object whose visibility the simulator predicts.
//
// A backward photon that meets a target is where the light it represents was reflected
// by the target: the photon moves to the hit point, leaves in a diffusely reflected
// (Lambertian) direction, and its weight is multiplied by the reflection's albedo.
//
// Threads. A target is immutable after construction and shared read-only by every
// thread of a run. The hit test returns everything a hit decides (hit point, normal of
// the face met, reflected direction, albedo factor) by value; its random draws come
// from the caller's generator, and the counters of the Lambertian test live in the
// caller's own LambertianTest.

#include <optional>

#include "orvel/engine/TargetHit.h"

class Random;

namespace orvel {

class LambertianTest;
class Photon;

class Target {
 public:
  virtual ~Target() = default;

  // The reflectance of the target's surface.
  virtual double getAlbedo() const = 0;

  // Whether the photon's last step (from its old to its new position) met the target;
  // on a hit, also draws the reflection (two uniform numbers from `rng`) and, when
  // `test` is given and the target keeps a Lambertian test, counts it there.
  virtual std::optional<TargetHit> isHit(const Photon& photon, Random& rng,
                                         LambertianTest* test = nullptr) const = 0;

 protected:
  Target() = default;
  Target(const Target&) = default;
  Target& operator=(const Target&) = default;
};

}  // namespace orvel
