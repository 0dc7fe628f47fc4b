// Three-component vector of doubles: every position, velocity, force and
// direction of the simulation. A plain value type, inlined in the hot loop.
#pragma once

#include <algorithm>
#include <cmath>

struct vec3d {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    vec3d() = default;
    vec3d(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    // The displacement that leads from `from` to `to`.
    vec3d(const vec3d& from, const vec3d& to)
        : x(to.x - from.x), y(to.y - from.y), z(to.z - from.z) {}
    vec3d(const vec3d&) = default;
    vec3d& operator=(const vec3d&) = default;

    vec3d& operator+=(const vec3d& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    vec3d& operator-=(const vec3d& v) {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    vec3d& operator*=(double s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    vec3d& negate() {
        x = -x;
        y = -y;
        z = -z;
        return *this;
    }
    // A zero vector stays zero instead of becoming NaN.
    vec3d& normalise() {
        const double l = length();
        if (l > 0) {
            x /= l;
            y /= l;
            z /= l;
        }
        return *this;
    }
    vec3d& cross_assign(const vec3d& v) { return *this = cross(v); }

    vec3d operator-() const { return vec3d(-x, -y, -z); }
    double length_squared() const { return x * x + y * y + z * z; }
    double length() const { return std::sqrt(length_squared()); }
    double distance_squared(const vec3d& b) const {
        const double dx = b.x - x, dy = b.y - y, dz = b.z - z;
        return dx * dx + dy * dy + dz * dz;
    }
    double distance(const vec3d& b) const { return std::sqrt(distance_squared(b)); }
    double dot(const vec3d& b) const { return x * b.x + y * b.y + z * b.z; }
    vec3d cross(const vec3d& b) const {
        return vec3d(y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x);
    }
    // Unsigned angle in radians; the clamp keeps rounding in nearly parallel
    // vectors from pushing acos out of its domain.
    double angle(const vec3d& b) const {
        vec3d u = *this, v = b;
        u.normalise();
        v.normalise();
        const double d = std::clamp(u.dot(v), -1.0, 1.0);
        return std::acos(d);
    }
};

inline vec3d operator+(const vec3d& a, const vec3d& b) {
    return vec3d(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline vec3d operator-(const vec3d& a, const vec3d& b) {
    return vec3d(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline vec3d operator*(const vec3d& v, double s) {
    return vec3d(v.x * s, v.y * s, v.z * s);
}
inline vec3d operator*(double s, const vec3d& v) {
    return vec3d(v.x * s, v.y * s, v.z * s);
}
inline double dot(const vec3d& a, const vec3d& b) {
    return a.dot(b);
}
