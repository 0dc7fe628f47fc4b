#include "render/view.h"

#include <algorithm>
#include <climits>
#include <cmath>

dcAdapter::dcAdapter() = default;

void dcAdapter::set_viewport(int w, int h) {
    width_ = w;
    height_ = h;
    const double m = std::max(w, h);
    viewport_.set_identity();
    for (int k = 0; k < 3; ++k) {
        viewport_.at(k, k) = m;
        viewport_.at(k, 3) = m / 2;
    }
}

void dcAdapter::set_scale(const vec3d& centre, double units) {
    if (!std::isfinite(centre.x) || !std::isfinite(centre.y) || !std::isfinite(centre.z) ||
        !std::isfinite(units) || units <= 0)
        return;
    scale_.set_identity();
    for (int k = 0; k < 3; ++k)
        scale_.at(k, k) = 1 / units;
    scale_.at(0, 3) = -centre.x;
    scale_.at(1, 3) = -centre.y;
    scale_.at(2, 3) = -centre.z;
}

void dcAdapter::reset_rotation() {
    rotation_.set_identity();
}
void dcAdapter::rotate_x(double degrees) {
    rotation_ = Matrix4::rotation_x(degrees) * rotation_;
}
void dcAdapter::rotate_y(double degrees) {
    rotation_ = Matrix4::rotation_y(degrees) * rotation_;
}
void dcAdapter::rotate_z(double degrees) {
    rotation_ = Matrix4::rotation_z(degrees) * rotation_;
}
void dcAdapter::rotate_x_post(double degrees) {
    rotation_ = rotation_ * Matrix4::rotation_x(degrees);
}
void dcAdapter::rotate_z_post(double degrees) {
    rotation_ = rotation_ * Matrix4::rotation_z(degrees);
}

void dcAdapter::set_view_angles(double longitude, double latitude) {
    reset_rotation();
    rotate_x_post(90 - latitude);
    rotate_z_post(longitude - 180);
}

void dcAdapter::zoom(int x, int y, bool zoom_in) {
    const double f = zoom_in ? 1.05 : 0.95;
    viewport_ = Matrix4::translation(x, height_ - y, 0) * Matrix4::diagonal(f, f, f) *
                Matrix4::translation(-x, y - height_, 0) * viewport_;
}

void dcAdapter::centre_on(const vec3d& p, int x, int y) {
    // A body that lost its finite state must not move the view: the
    // translation would stay when the body goes.
    const Vec4 q = combined_ * Vec4::point(p);
    if (!std::isfinite(q[0]) || !std::isfinite(q[1]))
        return;
    // The pixel project() gives, without its clamp to the int range, so
    // that a body however far off lands where it was asked to.
    const double px = std::trunc(q[0]);
    const double py = std::trunc(height_ - q[1]);
    viewport_ = Matrix4::translation(x - px, py - y, 0) * viewport_;
}

void dcAdapter::update() {
    combined_ = ((Matrix4::identity() * viewport_) * rotation_) * scale_;
}

void dcAdapter::project(const vec3d& p, int& x, int& y) const {
    const Vec4 q = combined_ * Vec4::point(p);
    x = truncate_to_pixel(q[0]);
    y = truncate_to_pixel(height_ - q[1]);
}

std::optional<vec3d> dcAdapter::unproject_depth(double depth) const {
    Matrix4 inverse = combined_;
    if (!inverse.invert())
        return std::nullopt;
    const vec3d p = (inverse * Vec4(0, 0, depth, 1)).xyz();
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
        return std::nullopt;
    return p;
}

std::optional<vec3d> dcAdapter::viewpoint() const {
    return unproject_depth(-1e15);
}

double dcAdapter::pixel_length(const vec3d& v) const {
    return (combined_ * Vec4::direction(v)).xyz().length();
}
