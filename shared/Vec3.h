#pragma once
// A position or a direction: three doubles (x, y, z). A direction is a unit vector of
// direction cosines. Polar angle theta from +z (0 to pi), azimuth phi from +x towards +y.

#include <array>
#include <cmath>

using Vec3 = std::array<double, 3>;

inline double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double norm(const Vec3& a) { return std::sqrt(dot(a, a)); }
inline Vec3 plus(const Vec3& a, const Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline Vec3 minus(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline Vec3 scaled(const Vec3& v, double s) { return {v[0] * s, v[1] * s, v[2] * s}; }
