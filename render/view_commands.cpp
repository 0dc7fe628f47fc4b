#include "render/view_commands.h"

#include <cmath>

#include "nbody/system.h"
#include "render/view.h"

void view_start(dcAdapter& view, int w, int h) {
    view.set_scale(vec3d(), START_VIEW_UNITS);
    view.centre_on(vec3d(), w / 2, h / 2);
    view.update();
}

void view_from_north_pole(dcAdapter& view) {
    view.set_view_angles(-180, 90);
    view.update();
}

void view_from_vernal_equinox(dcAdapter& view) {
    view.reset_rotation();
    view.rotate_x(90);
    view.rotate_y(90);
    view.update();
}

void view_from_oblique_viewpoint(dcAdapter& view) {
    view.reset_rotation();
    view.rotate_x(90);
    view.rotate_y(90);
    view.rotate_y(-45);
    view.rotate_x(-30);
    view.update();
}

void view_zoom_in(dcAdapter& view, int w, int h) {
    for (int k = 0; k < 5; ++k)
        view.zoom(w / 2, h / 2, true);
    view.update();
}

void view_zoom_out(dcAdapter& view, int w, int h) {
    for (int k = 0; k < 5; ++k)
        view.zoom(w / 2, h / 2, false);
    view.update();
}

void view_wheel(dcAdapter& view, int rotation, int delta, int x, int y) {
    if (delta == 0)
        return;
    const int d = rotation / delta;
    if (d != 0)
        view.zoom(x, y, d > 0);
    view.update();
}

void view_recentre_on_sun(dcAdapter& view, const nbSystem* system, int w, int h) {
    const nbBody* sun = system ? system->find("Sun") : nullptr;
    view.centre_on(sun ? sun->position() : vec3d(), w / 2, h / 2);
    view.update();
}

void view_track(dcAdapter& view, const vec3d& position, int w, int h) {
    view.centre_on(position, w / 2, h / 2);
    view.update();
}

void view_first_size(dcAdapter& view, int new_w, int new_h) {
    int ox, oy;
    view.project(vec3d(), ox, oy);
    const double fx = double(ox) / view.width();
    const double fy = double(oy) / view.height();
    view.set_viewport(new_w, new_h);
    view.update();
    view.centre_on(vec3d(), truncate_to_pixel(new_w * fx), truncate_to_pixel(new_h * fy));
    view.update();
}

void view_drag_rotate(dcAdapter& view, int w, int h, int px, int py, int cx, int cy) {
    const double pi = 4 * std::atan(1.0);
    const int dx = cx - w / 2, dy = cy - h / 2;
    const double r = std::sqrt(double(dx) * dx + double(dy) * dy);
    if (r > h / 2) {
        // Outside the central circle the drag turns the picture about the
        // line of sight, following the pointer's angle about the centre.
        const vec3d c(0.5 * w, 0.5 * h, 0);
        const vec3d a = vec3d(px, py, 0) - c;
        const vec3d b = vec3d(cx, cy, 0) - c;
        const vec3d u(w, 0, 0);
        const double alpha = u.angle(a), beta = u.angle(b);
        const double theta = dy >= 0 ? beta - alpha : alpha - beta;
        view.rotate_z(theta * 180 / pi);
    } else {
        view.rotate_x(-180.0 * (cy - py) / h);
        view.rotate_y(180.0 * (cx - px) / w);
    }
    view.update();
}

void view_rotate_step(dcAdapter& view, int w, int h, int dx, int dy, int pixels) {
    // From the centre, so that the step always turns about the screen axes.
    view_drag_rotate(view, w, h, w / 2, h / 2, w / 2 + dx * pixels, h / 2 + dy * pixels);
}
