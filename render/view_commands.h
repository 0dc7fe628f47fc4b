// The fixed sequences by which menus, toolbar, mouse and resizing steer the
// view. (w, h) is the drawing panel's client size; each ends with update().
#pragma once

#include "nbody/vec3d.h"

class dcAdapter;
class nbSystem;

// 20 AU: before any zoom the larger panel side spans 20 AU.
constexpr double START_VIEW_UNITS = 2.99196e12;

void view_start(dcAdapter& view, int w, int h);
void view_from_north_pole(dcAdapter& view);
void view_from_vernal_equinox(dcAdapter& view);
void view_from_oblique_viewpoint(dcAdapter& view);
void view_zoom_in(dcAdapter& view, int w, int h);
void view_zoom_out(dcAdapter& view, int w, int h);
void view_wheel(dcAdapter& view, int rotation, int delta, int x, int y);
// Centres the Sun, or the origin when the system has none.
void view_recentre_on_sun(dcAdapter& view, const nbSystem* system, int w, int h);
void view_track(dcAdapter& view, const vec3d& position, int w, int h);
// The frame's first resize: the origin keeps its relative place on the panel.
void view_first_size(dcAdapter& view, int new_w, int new_h);
// One arrow key's turn: as a drag of `pixels` from the centre, right (dx 1),
// left (-1), down (dy 1) or up (-1).
void view_rotate_step(dcAdapter& view, int w, int h, int dx, int dy, int pixels = 20);
// One pointer step of a right-button drag from (px, py) to (cx, cy).
void view_drag_rotate(dcAdapter& view, int w, int h, int px, int py, int cx, int cy);
