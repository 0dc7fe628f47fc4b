// 4 x 4 homogeneous matrices and column vectors of the view transformation.
#pragma once

#include <array>

#include "nbody/vec3d.h"

// A column vector (x, y, z, w): points carry w = 1, directions w = 0.
struct Vec4 {
    std::array<double, 4> v{};

    Vec4() = default;
    Vec4(double x, double y, double z, double w) : v{x, y, z, w} {}
    static Vec4 point(const vec3d& p) { return Vec4(p.x, p.y, p.z, 1); }
    static Vec4 direction(const vec3d& d) { return Vec4(d.x, d.y, d.z, 0); }

    void fill(double value) { v.fill(value); }
    double& operator[](int k) { return v[k]; }
    double operator[](int k) const { return v[k]; }
    vec3d xyz() const { return vec3d(v[0], v[1], v[2]); }
};

// Element (r, c) is stored at index 4c + r. A product A * B applies B first.
class Matrix4 {
public:
    Matrix4() { set_identity(); }

    static Matrix4 identity() { return Matrix4(); }
    // Identity with column 3 set to (tx, ty, tz, 1).
    static Matrix4 translation(double tx, double ty, double tz);
    static Matrix4 diagonal(double x, double y, double z);
    // Elementary rotations by theta degrees.
    static Matrix4 rotation_x(double theta);
    static Matrix4 rotation_y(double theta);
    static Matrix4 rotation_z(double theta);

    void fill(double value) { m_.fill(value); }
    void set_diagonal(double value) {
        for (int k = 0; k < 4; ++k)
            at(k, k) = value;
    }
    void set_identity() {
        fill(0);
        set_diagonal(1);
    }
    double& at(int r, int c) { return m_[4 * c + r]; }
    double at(int r, int c) const { return m_[4 * c + r]; }

    Matrix4 operator*(const Matrix4& b) const;
    Vec4 operator*(const Vec4& v) const;

    // Replaces the matrix by its inverse; false (and unchanged) if singular.
    bool invert();

private:
    std::array<double, 16> m_;
};
