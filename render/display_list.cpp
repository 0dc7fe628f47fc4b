#include "render/display_list.h"

#include <cmath>

#include <wx/pen.h>

#include "render/view.h"

dcCircle::dcCircle(const vec3d& centre, double radius, const wxBrush& brush)
    : centre_(centre), radius_(radius), brush_(brush) {}

double dcCircle::grown_radius(double r, int min_pixel_radius) {
    if (min_pixel_radius <= 0 || r >= min_pixel_radius)
        return r;
    if (!(r > 0) || !std::isfinite(r))
        return min_pixel_radius;
    while (r < min_pixel_radius)
        r *= 1.05;
    return r;
}

void dcCircle::draw(wxDC& dc) {
    int cx, cy;
    current_view->project(centre_, cx, cy);
    const double r =
        grown_radius(current_view->pixel_length(vec3d(radius_, 0, 0)), min_pixel_radius_);
    dc.SetPen(wxPen(brush_.GetColour(), 1, wxPENSTYLE_SOLID));
    dc.SetBrush(brush_);
    const int m = truncate_to_pixel(r);
    dc.DrawEllipse(cx - m, cy - m, 2 * m, 2 * m);
    dc.SetBrush(wxNullBrush);
}

dcLine::dcLine(const vec3d& start, const vec3d& end, const wxColour& colour, int width, int style)
    : start_(start), end_(end), colour_(colour), width_(width), style_(style) {}

dcLine::dcLine(Offset, const vec3d& start, const vec3d& offset, const wxColour& colour, int width,
               int style)
    : dcLine(start, start + offset, colour, width, style) {}

void dcLine::draw(wxDC& dc) {
    int x1, y1, x2, y2;
    current_view->project(start_, x1, y1);
    current_view->project(end_, x2, y2);
    dc.SetPen(wxPen(colour_, width_, static_cast<wxPenStyle>(style_)));
    dc.DrawLine(x1, y1, x2, y2);
    dc.SetPen(wxNullPen);
}

dcText::dcText(const vec3d& anchor, const wxString& text, const wxColour& colour)
    : anchor_(anchor), text_(text), colour_(colour) {}

void dcText::draw(wxDC& dc) {
    int x, y;
    current_view->project(anchor_, x, y);
    dc.SetTextForeground(colour_);
    dc.DrawText(text_, x, y);
}

dcDisplayListSorted::dcDisplayListSorted(const std::optional<vec3d>& viewpoint)
    : viewpoint_(viewpoint) {}

void dcDisplayListSorted::add(std::unique_ptr<dcObject> item) {
    // Squared distance: the order is the same and no square root is needed.
    double key = viewpoint_ ? viewpoint_->distance_squared(item->position()) : 0.0;
    // A NaN key would break the map's ordering; such an item is nowhere.
    if (std::isnan(key))
        key = HUGE_VAL;
    // A multimap inserts after the entries of an equal key.
    items_.emplace(key, std::move(item));
}

void dcDisplayListSorted::draw(wxDC& dc) {
    for (auto& entry : items_)
        entry.second->draw(dc);
}
