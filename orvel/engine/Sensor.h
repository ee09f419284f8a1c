#pragma once
// Sensors of the visibility simulator: where backward photons start and the account in
// which their contributions are summed.
//
// Two kinds of event add to a sensor's tally:
//   - diffuse-sky pass: a photon leaving the water through the sea surface adds the sky
//     radiance it brings back (`tallyBackMC`, called by the surface);
//   - direct-sun pass: every scattering point inside the water adds a local estimate of
//     the sun's beam scattered there into the photon's path (`tallyCollimationBackMC`,
//     called by the driver before the photon scatters).
// After a pass `finishTally` turns the tally into absolute radiance or irradiance:
// direct sun scattered into the sensor, direct sun seen without scattering (computed
// analytically) and diffuse sky light.
//
// Threads. The tally of a pass is a plain `SensorTally` of sums. The launch and tally
// operations exist in two forms: one writing into a `SensorTally` the caller owns (a
// chunk of photons traced on one thread fills its own, and the driver adds the chunks
// in chunk order with `addTally`, so a run sums in a fixed order on any number of
// threads), and one writing into the sensor's own tally (single-threaded use). The
// sensor's geometry and sun never change after construction, so any number of threads
// may launch from and tally against one sensor through their own `SensorTally`.
//
// Lengths are in the engine unit, optical depths of the medium (HomogeneousWater.h);
// angles of settings in degrees. Coordinates: z depth, positive downwards.

#include <cstdint>

#include "shared/Random.h"
#include "shared/Vec3.h"

namespace orvel {

class HomogeneousWater;
class Photon;
struct Control;

// The sums of one pass of one sensor (or of one chunk of its photons).
struct SensorTally {
  double weight = 0.0;                     // tallied contributions, W
  double totalLaunchedWeightBackMC = 0.0;  // launch weights, N (= photons launched)
  std::int64_t event = 0;                  // tally events

  SensorTally& operator+=(const SensorTally& other) {
    weight += other.weight;
    totalLaunchedWeightBackMC += other.totalLaunchedWeightBackMC;
    event += other.event;
    return *this;
  }
};

// The sun as seen from inside the water, with the sun at azimuth 0.
struct SolarGeometry {
  // theta_a = solarZenithAngle in air [degree]; theta_w its refracted angle in water.
  SolarGeometry(double solarZenithAngle, double nWater);

  double solarAirAngleCosine;    // cos theta_a
  double solarWaterAngle;        // theta_w [degree]
  double solarWaterAngleCosine;  // cos theta_w
  double solarTransmittance;     // 1 - Fresnel reflectance of the surface for the sun
  Vec3 solarDirection;           // unit vector towards the refracted sun: (sin tw, 0, -cos tw)
};

class Sensor {
 public:
  virtual ~Sensor() = default;

  // Converts the tally of the pass just finished into the results of that pass, with
  // Eddir and Eddif the direct and diffuse downwelling irradiance just above the
  // surface [W/m^2/nm].
  virtual void finishTally(double Eddir, double Eddif, const HomogeneousWater& hw) = 0;

  double getDiffuseValue() const { return diffuseValue_; }
  double getDirectScatteredValue() const { return directScatteredValue_; }
  double getDirectUnscatteredValue() const { return directUnscatteredValue_; }
  // Scattered + unscattered + diffuse: after both passes the run's total.
  double getValue() const { return directScatteredValue_ + directUnscatteredValue_ + diffuseValue_; }

  // The sensor's own tally of the current pass.
  double getEvent() const { return static_cast<double>(tally_.event); }
  double getWeight() const { return tally_.weight; }
  double getTotalLaunchedWeightBackMC() const { return tally_.totalLaunchedWeightBackMC; }
  const SensorTally& getTally() const { return tally_; }
  // Adds the tally of a chunk of photons traced with a tally of their own.
  void addTally(const SensorTally& chunk) { tally_ += chunk; }

  // Backward launch: position, then direction, then weight. Handing out the direction
  // records the launch weight 1.0 in `sums`.
  const Vec3& getInitialPhotonPositionBackMC() const { return center_; }
  virtual Vec3 getInitialPhotonDirectionBackMC(Random& rng, SensorTally& sums) const = 0;
  Vec3 getInitialPhotonDirectionBackMC(Random& rng) { return getInitialPhotonDirectionBackMC(rng, tally_); }
  double getInitialWeightBackMC() const { return kInitialWeightBackMC; }

  // Starts a new pass: the tally goes back to 0 and the pass kind becomes `collimated`;
  // the results of earlier passes stay, so getValue() sums the passes of a run.
  void initializeToNewMode(bool collimated);
  bool isCollimated() const { return isCollimated_; }

  // Diffuse-sky contribution `w` (from the sea surface): one event, W + w.
  static void tallyBackMC(double w, SensorTally& sums) {
    ++sums.event;
    sums.weight += w;
  }
  void tallyBackMC(double w) { tallyBackMC(w, tally_); }

  // Direct-sun local estimate at the photon's current position, before it scatters
  // there: one event, W + weight x w0 x p(psi) x exp(-z / mu_w), with psi the angle
  // between the photon's direction and the direction to the refracted sun, z the depth
  // and z / mu_w the slant path to the surface in optical depths. Nothing checks
  // whether the target or the bottom lies between the point and the surface.
  void tallyCollimationBackMC(const Photon& photon, const HomogeneousWater& hw, SensorTally& sums) const;
  void tallyCollimationBackMC(const Photon& photon, const HomogeneousWater& hw) {
    tallyCollimationBackMC(photon, hw, tally_);
  }

  // Forward mode (not used by the backward driver): whether the photon's last step
  // reached the sensor, and the tally of such a photon (marks the photon, one event,
  // W + photon weight).
  virtual bool isHit(const Photon& photon) const = 0;
  void tally(Photon& photon, SensorTally& sums) const;
  void tally(Photon& photon) { tally(photon, tally_); }

  const Vec3& getDirection() const { return direction_; }
  const Vec3& getCenter() const { return center_; }
  double getRadius() const { return radius_; }
  const SolarGeometry& getSolarGeometry() const { return sun_; }

 protected:
  // `direction`: unit viewing direction (radiance) or hemisphere axis (irradiance);
  // `center`, `radius` in engine units. The sun and the water's refractive index come
  // from `control` (solarZenithAngle, nWater).
  Sensor(const Vec3& direction, const Vec3& center, double radius, bool isCollimated, const Control& control);

  static constexpr double kInitialWeightBackMC = 1.0;
  static constexpr double kPi = 3.141592653589793;
  static constexpr double kTwoPi = 6.283185307179586;

  Vec3 direction_;
  Vec3 center_;
  double radius_;
  double nWater_;
  SolarGeometry sun_;
  bool isCollimated_;
  SensorTally tally_;
  double directScatteredValue_ = 0.0;
  double directUnscatteredValue_ = 0.0;
  double diffuseValue_ = 0.0;
};

}  // namespace orvel
