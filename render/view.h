// The view: an orthographic projection of heliocentric world positions
// (metres) onto device pixels, as M = V * R * S.
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

#include "nbody/vec3d.h"
#include "render/matrix4.h"

class dcAdapter {
public:
    dcAdapter();
    virtual ~dcAdapter() = default;
    dcAdapter(const dcAdapter&) = delete;
    dcAdapter& operator=(const dcAdapter&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }

    // Every change of V, R or S leaves the combined matrix stale until update().
    void set_viewport(int w, int h);
    void set_scale(const vec3d& centre, double units);
    void reset_rotation();
    // Rotations about the screen axes (applied after the current rotation).
    void rotate_x(double degrees);
    void rotate_y(double degrees);
    void rotate_z(double degrees);
    // Rotations about the world axes (applied before the current rotation).
    void rotate_x_post(double degrees);
    void rotate_z_post(double degrees);
    void set_view_angles(double longitude, double latitude);
    // Magnifies by 1.05 (or shrinks by 0.95) about device pixel (x, y).
    void zoom(int x, int y, bool zoom_in);
    // Pans so that world point p lands on device pixel (x, y).
    void centre_on(const vec3d& p, int x, int y);
    void update();

    // Device pixel of a world point, truncated toward zero.
    void project(const vec3d& p, int& x, int& y) const;
    Vec4 transform(const Vec4& v) const { return combined_ * v; }
    // A world point far behind the scene as the viewer sees it: the origin of
    // depth ordering. Empty when the view is singular (zero size or scale).
    std::optional<vec3d> viewpoint() const;
    // World point that the view maps to screen point (0, 0, depth); empty
    // when the view is singular.
    std::optional<vec3d> unproject_depth(double depth) const;
    // On-screen length in pixels of world vector v, whatever its direction.
    double pixel_length(const vec3d& v) const;

    // The whole view, to come back to it.
    struct State {
        Matrix4 viewport, rotation, scale;
        int width, height;
    };
    State state() const { return {viewport_, rotation_, scale_, width_, height_}; }
    void restore(const State& s) {
        viewport_ = s.viewport;
        rotation_ = s.rotation;
        scale_ = s.scale;
        width_ = s.width;
        height_ = s.height;
        update();
    }

    const Matrix4& combined() const { return combined_; }
    const Matrix4& viewport() const { return viewport_; }
    const Matrix4& rotation() const { return rotation_; }
    const Matrix4& scale() const { return scale_; }

private:
    Matrix4 combined_;
    Matrix4 viewport_;
    Matrix4 rotation_;
    Matrix4 scale_;
    int width_ = 1;
    int height_ = 1;
};

// Truncation toward zero into the int range; far-off or non-finite values
// give a pixel off any panel rather than undefined behaviour. Inline: a
// picture truncates millions of coordinates.
inline int truncate_to_pixel(double v) {
    if (std::isnan(v))
        return INT_MIN / 2;
    return static_cast<int>(std::trunc(std::clamp(v, -1e9, 1e9)));
}
