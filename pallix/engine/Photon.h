#pragma once
// The instrument simulator's photon packet.
//
// Positions are in the instrument frame (origin at the centre of the face, z into the
// water), in the length unit of the run (attenuation lengths with water, cm without).
// One photon belongs to one thread: it is the only state that changes per step.

#include <array>
#include <cstdint>

#include "shared/Random.h"
#include "shared/Vec3.h"

namespace pallix {

class HomogeneousWater;

class Photon {
 public:
  // Starts a new packet from `source`, which offers
  //   std::array<double, 6> getInitialPhotonPositionDirection(Random&) const  (position, direction)
  //   double getInitialPhotonWeight() const
  // The step count restarts at 0; the old position keeps its previous content.
  template <class Source>
  void launch(const Source& source, Random& rng) {
    const std::array<double, 6> pd = source.getInitialPhotonPositionDirection(rng);
    newPosition_ = {pd[0], pd[1], pd[2]};
    direction_ = {pd[3], pd[4], pd[5]};
    weight_ = source.getInitialPhotonWeight();
    multipleScattering_ = 0;
  }

  // One free-path step of `pathLength` along the direction; counts every step, whether
  // a scattering follows or not.
  void updatePosition(double pathLength) {
    oldPosition_ = newPosition_;
    newPosition_ = {oldPosition_[0] + pathLength * direction_[0], oldPosition_[1] + pathLength * direction_[1],
                    oldPosition_[2] + pathLength * direction_[2]};
    ++multipleScattering_;
  }

  // Scatters in `water`: a polar angle from its phase function, an azimuth uniform on
  // [0, 2 pi), and the weight times the single-scattering albedo `w0` of the run's settings.
  void volumeScattering(const HomogeneousWater& water, double w0, Random& rng);

  void updateWeight(double factor) { weight_ *= factor; }
  void setWeight(double weight) { weight_ = weight; }
  void setDirection(double x, double y, double z) { direction_ = {x, y, z}; }
  void setDirection(const Vec3& d) { direction_ = d; }
  void setNewPosition(double x, double y, double z) { newPosition_ = {x, y, z}; }
  void setNewPosition(const Vec3& p) { newPosition_ = p; }

  const Vec3& getDirection() const { return direction_; }
  const Vec3& getNewPosition() const { return newPosition_; }
  const Vec3& getOldPosition() const { return oldPosition_; }
  double getWeight() const { return weight_; }
  // Free-path steps taken since launch.
  int getMultipleScattering() const { return multipleScattering_; }

 private:
  double weight_ = 1.0;
  int multipleScattering_ = 0;
  Vec3 oldPosition_{0.0, 0.0, 0.0};
  Vec3 newPosition_{0.0, 0.0, 0.0};
  Vec3 direction_{0.0, 0.0, 1.0};
};

}  // namespace pallix
