#include "render/matrix4.h"

#include <cmath>

#include "nbody/invert_matrix.h"

namespace {
// Sine and cosine of theta degrees, with pi taken as 4 atan(1).
void sin_cos_degrees(double theta, double& s, double& c) {
    const double radians = theta * (4 * std::atan(1.0)) / 180;
    s = std::sin(radians);
    c = std::cos(radians);
}
} // namespace

Matrix4 Matrix4::translation(double tx, double ty, double tz) {
    Matrix4 t;
    t.at(0, 3) = tx;
    t.at(1, 3) = ty;
    t.at(2, 3) = tz;
    return t;
}

Matrix4 Matrix4::diagonal(double x, double y, double z) {
    Matrix4 d;
    d.at(0, 0) = x;
    d.at(1, 1) = y;
    d.at(2, 2) = z;
    return d;
}

namespace {
// A rotation by theta degrees in the plane of axes i and j (i < j): rows i
// and j read (c, s) and (-s, c) in columns i and j.
Matrix4 plane_rotation(int i, int j, double theta) {
    double s, c;
    sin_cos_degrees(theta, s, c);
    Matrix4 r;
    r.at(i, i) = c;
    r.at(i, j) = s;
    r.at(j, i) = -s;
    r.at(j, j) = c;
    return r;
}
} // namespace

Matrix4 Matrix4::rotation_x(double theta) {
    return plane_rotation(1, 2, theta);
}
Matrix4 Matrix4::rotation_y(double theta) {
    return plane_rotation(0, 2, theta);
}
Matrix4 Matrix4::rotation_z(double theta) {
    return plane_rotation(0, 1, theta);
}

Matrix4 Matrix4::operator*(const Matrix4& b) const {
    Matrix4 p;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += at(r, k) * b.at(k, c);
            p.at(r, c) = sum;
        }
    return p;
}

Vec4 Matrix4::operator*(const Vec4& v) const {
    Vec4 out;
    for (int r = 0; r < 4; ++r) {
        double sum = 0;
        for (int k = 0; k < 4; ++k)
            sum += at(r, k) * v[k];
        out[r] = sum;
    }
    return out;
}

bool Matrix4::invert() {
    return invert_matrix(m_.data(), 4);
}
