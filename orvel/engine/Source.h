#pragma once
// The abstract photon source shared by both programs.
//
// A source hands out the starting position and direction of a photon (six doubles:
// position x, y, z, then the unit direction x, y, z) and the photon's starting weight.
// The visibility simulator launches its photons from sensors instead and never from a
// source; the instrument simulator's LED implements this interface.
//
// The header is self-contained (no out-of-line definitions), so the instrument engine
// can derive from it without linking the visibility engine. It lives in the global
// namespace because both engines use it.

#include <array>

class Random;

class Source {
 public:
  virtual ~Source() = default;

  // Position (engine length units) then unit direction of the next photon. Every random
  // draw comes from `rng`.
  virtual std::array<double, 6> getInitialPhotonPositionDirection(Random& rng) const = 0;

  // Starting weight of a photon.
  virtual double getInitialPhotonWeight() const = 0;

 protected:
  Source() = default;
  Source(const Source&) = default;
  Source& operator=(const Source&) = default;
};
