#pragma once
// The limits of the water body and what happens to a photon that crosses them.
//
// Threads. A boundary is immutable after construction and shared read-only by every
// thread of a run. What a crossing does is returned by value (`BoundaryEvent`): the
// photon is changed in place, and a contribution to the sensor's tally is handed back
// for the caller to add to its own tally; random draws come from the caller's
// generator.

#include <optional>

#include "shared/Vec3.h"

class Random;

namespace orvel {

class Photon;

// The outcome of `Boundary::outOfBoundOperation`.
struct BoundaryEvent {
  enum class Kind {
    kNone,     // the photon was not outside through a face; nothing changed
    kSurface,  // left through the sea surface: scored (diffuse pass) and reflected back into the water
    kBottom,   // went through the bottom: reflected diffusely from it
  };
  Kind kind = Kind::kNone;
  // Diffuse-sky contribution for the sensor whose photons are traced: when
  // `isSkyTallied`, the caller adds `skyEnergy` to that sensor's tally as one event
  // (Sensor::tallyBackMC).
  bool isSkyTallied = false;
  double skyEnergy = 0.0;
  Vec3 hitPosition{0.0, 0.0, 0.0};  // crossing point, now the photon's position [engine length]
  Vec3 normal{0.0, 0.0, 0.0};       // unit normal of the face met, pointing into the water
  double albedo = 0.0;              // the weight factor applied: Fresnel reflectance, or bottom albedo
};

class Boundary {
 public:
  virtual ~Boundary() = default;

  // A random position on the boundary, and one lit by the sun; a boundary that offers
  // none returns nothing.
  virtual std::optional<Vec3> getRandomPosition() const = 0;
  virtual std::optional<Vec3> getRandomSolarIlluminationPosition() const = 0;

  // True when `position` lies inside the water.
  virtual bool isWithinBoundary(const Vec3& position) const = 0;

  // Handles a photon whose last free-path step took it out of the water.
  // `isCollimatedPass` is true in the direct-sun pass of the sensor being traced (its
  // `isCollimated()`), false in the diffuse-sky pass.
  virtual BoundaryEvent outOfBoundOperation(Photon& photon, bool isCollimatedPass, Random& rng) const = 0;

 protected:
  Boundary() = default;
  Boundary(const Boundary&) = default;
  Boundary& operator=(const Boundary&) = default;
};

}  // namespace orvel
