#pragma once
// Where the medium of an instrument run ends, and what happens to a photon that leaves it.
//
// Positions are in the instrument frame (face plane z = 0, z into the water), in the
// run's length unit. Housings hold only their construction values and are read-only
// during a run, so all threads may share one. The concrete housings are `final`: a
// photon loop written for a concrete housing type calls them without virtual dispatch.

#include <array>

#include "pallix/engine/Photon.h"
#include "shared/Random.h"
#include "shared/Vec3.h"

namespace pallix {

class HousingBoundary {
 public:
  virtual ~HousingBoundary() = default;

  // Whether `position` lies inside the medium.
  virtual bool isWithinBoundary(const Vec3& position) const = 0;

  // Handles a photon whose last step left the medium: reflects it from a surface (new
  // position on the surface, new direction, weight times the albedo) or ends it (weight 0).
  virtual void processBoundary(Photon& photon, Random& rng) const = 0;

 protected:
  HousingBoundary() = default;
  HousingBoundary(const HousingBoundary&) = default;
  HousingBoundary& operator=(const HousingBoundary&) = default;

  // Where the photon's last step (from its old position along its direction) crosses the
  // plane z = z0: (x0, y0). A step parallel to the plane has no crossing; it then lies in
  // the plane only if it touches it at all, so its old position's (x, y) is returned.
  static std::array<double, 2> crossingPoint(const Photon& photon, double z0) {
    const Vec3& p = photon.getOldPosition();
    const Vec3& d = photon.getDirection();
    if (d[2] == 0.0) return {p[0], p[1]};
    const double t = (z0 - p[2]) / d[2];
    return {p[0] + d[0] * t, p[1] + d[1] * t};
  }

  // Lambertian reflection at (x0, y0, z0): the photon moves to that point, takes a
  // cosine-weighted direction about the surface normal and its weight is multiplied by
  // `albedo`. A diffuser faces the instrument (the photon turns back towards the face,
  // negative z); the face plate faces the water (positive z).
  static void reflectFromDiffuser(Photon& photon, double x0, double y0, double z0, double albedo, Random& rng);
  static void reflectFromFacePlate(Photon& photon, double x0, double y0, double albedo, Random& rng);

  // The exit of a housing with a diffuser plane at z = `height` and the face at z = 0:
  // a step that ends at or beyond the diffuser plane reflects from the diffuser when it
  // crosses that plane within `diffuserRadiusSquared` of the axis; one that ends at or
  // behind the face, with a reflecting plate, reflects from the plate when it crosses the
  // face within `plateRadiusSquared`; every other photon ends (weight 0). Defined here so
  // that each final housing's processBoundary inlines it.
  static void processDiffuserAndPlate(Photon& photon, double height, double diffuserRadiusSquared,
                                      double diffuserAlbedo, double plateRadiusSquared, double bottomPlateAlbedo,
                                      Random& rng) {
    const double z2 = photon.getNewPosition()[2];
    if (z2 >= height) {
      const auto [x0, y0] = crossingPoint(photon, height);
      if (x0 * x0 + y0 * y0 <= diffuserRadiusSquared) {
        reflectFromDiffuser(photon, x0, y0, height, diffuserAlbedo, rng);
      } else {
        photon.updateWeight(0.0);  // beside the diffuser (a tube's side wall, or past a large diffuser)
      }
    } else if (bottomPlateAlbedo > 0.0 && z2 <= 0.0) {
      const auto [x0, y0] = crossingPoint(photon, 0.0);
      if (x0 * x0 + y0 * y0 <= plateRadiusSquared) {
        reflectFromFacePlate(photon, x0, y0, bottomPlateAlbedo, rng);
      } else {
        photon.updateWeight(0.0);
      }
    } else {
      photon.updateWeight(0.0);  // out through a black side wall or back to a black face
    }
  }

  // A cosine-weighted polar angle from the surface normal [degree] and a uniform azimuth
  // [degree], in that draw order: sin^2 of the polar angle is uniform on [0, 1].
  static std::array<double, 2> lambertianAngles(Random& rng);
};

}  // namespace pallix
