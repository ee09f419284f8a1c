#pragma once
// What a photon's step did when it met a target: returned by value by the hit test, so
// that any number of threads can test photons against one shared target.

#include "shared/Vec3.h"

namespace orvel {

struct TargetHit {
  Vec3 hitPosition;         // where the step met the target's surface [engine length]
  Vec3 normal;              // unit outward normal of the face met (the lobe axis of the reflection)
  Vec3 reflectedDirection;  // unit direction the photon leaves in (cosine-weighted about `normal`)
  double albedo;            // weight factor of this reflection (the target's getAlbedo for this hit)
  double reflectionAngle;   // polar angle of `reflectedDirection` from `normal` [rad], in [0, pi/2]
};

}  // namespace orvel
