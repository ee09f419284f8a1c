#pragma once
// The light falling on the sea surface from above.
//
// One object answers the three questions the engine asks during a run: the direct (sun)
// and the diffuse (sky) downwelling irradiance on a horizontal plane just above the
// surface, and the sky radiance of a given sky direction divided by the diffuse
// irradiance. The sun stands in the vertical half-plane of azimuth 0 (towards +x).
//
// Objects are immutable once built; every operation is const and safe to call from many
// threads at once.

namespace orvel {

class IncidentRadiance {
 public:
  virtual ~IncidentRadiance() = default;

  // Diffuse sky irradiance above the surface [W/m^2/nm].
  virtual double getDiffuseEd() const = 0;
  // Direct solar irradiance on a horizontal plane above the surface [W/m^2/nm].
  virtual double getDirectEd() const = 0;
  // Sky radiance divided by the diffuse irradiance [1/sr] for the sky direction of zenith
  // angle `skyTheta` in air [rad, 0 = straight up, at most pi/2] and azimuth `skyPhi`
  // [rad, from +x towards +y]. Its cosine-weighted integral over the sky is 1.
  virtual double getNormalizedSkyRadiance(double skyTheta, double skyPhi) const = 0;

 protected:
  IncidentRadiance() = default;
  IncidentRadiance(const IncidentRadiance&) = default;
  IncidentRadiance& operator=(const IncidentRadiance&) = default;
};

}  // namespace orvel
