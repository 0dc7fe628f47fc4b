#include "render/primitive_list.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <wx/brush.h>
#include <wx/pen.h>

#include "render/cairo_painter.h"
#include "render/view.h"

double grown_disc_radius(double r, int min_pixel_radius) {
    if (min_pixel_radius <= 0 || r >= min_pixel_radius)
        return r;
    if (!(r > 0) || !std::isfinite(r))
        return min_pixel_radius;
    while (r < min_pixel_radius)
        r *= 1.05;
    return r;
}

void dcPrimitiveList::reset(const std::optional<vec3d>& viewpoint) {
    viewpoint_ = viewpoint;
    // The storage stays for the next picture.
    items_.clear();
    order_.clear();
}

void dcPrimitiveList::add(const Item& item) {
    // Squared distance from the viewpoint: the order of the distance
    // without a square root. A NaN key would break the sort; such an item
    // is nowhere, so it goes to the far end.
    double key = viewpoint_ ? viewpoint_->distance_squared(item.a) : 0.0;
    if (std::isnan(key))
        key = HUGE_VAL;
    order_.emplace_back(key, static_cast<std::uint32_t>(items_.size()));
    items_.push_back(item);
}

void dcPrimitiveList::add_circle(const vec3d& centre, double radius, dcRgb colour,
                                 int min_pixel_radius) {
    Item item;
    item.kind = Kind::Circle;
    item.a = centre;
    item.radius = radius;
    item.colour = colour;
    item.size = min_pixel_radius;
    add(item);
}

void dcPrimitiveList::add_line(const vec3d& start, const vec3d& end, dcRgb colour, int width) {
    Item item;
    item.kind = Kind::Line;
    item.a = start;
    item.b = end;
    item.colour = colour;
    item.size = width;
    add(item);
}

void dcPrimitiveList::add_text(const vec3d& anchor, const dcLabel* label, dcRgb colour) {
    Item item;
    item.kind = Kind::Text;
    item.a = anchor;
    item.label = label;
    item.colour = colour;
    add(item);
}

namespace {

// What the device context holds, so that each is set only when it changes.
class PaintState {
public:
    explicit PaintState(wxDC& dc) : dc_(dc) {}
    void pen(dcRgb c, int width) {
        if (has_pen_ && c == pen_ && width == pen_width_)
            return;
        dc_.SetPen(wxPen(wxColour(c.r, c.g, c.b), width, wxPENSTYLE_SOLID));
        has_pen_ = true;
        pen_ = c;
        pen_width_ = width;
    }
    void brush(dcRgb c) {
        if (has_brush_ && c == brush_)
            return;
        dc_.SetBrush(wxBrush(wxColour(c.r, c.g, c.b), wxBRUSHSTYLE_SOLID));
        has_brush_ = true;
        brush_ = c;
    }
    void text(dcRgb c) {
        if (has_text_ && c == text_)
            return;
        dc_.SetTextForeground(wxColour(c.r, c.g, c.b));
        has_text_ = true;
        text_ = c;
    }
    // What the painting leaves behind is what each primitive alone leaves.
    ~PaintState() {
        dc_.SetPen(wxNullPen);
        dc_.SetBrush(wxNullBrush);
    }

private:
    wxDC& dc_;
    bool has_pen_ = false, has_brush_ = false, has_text_ = false;
    dcRgb pen_, brush_, text_;
    int pen_width_ = 0;
};

} // namespace

void dcPrimitiveList::draw(wxDC& dc, const dcAdapter& view, bool direct) {
    // Equal keys keep the order of adding: a comet's tail over its disc.
    std::stable_sort(order_.begin(), order_.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    PaintState state(dc);
    std::optional<CairoPainter> cairo;
    if (direct)
        cairo.emplace(dc);
    const bool shapes = cairo && cairo->ok();
    const bool labels = shapes && cairo->text_ok();
    for (const auto& entry : order_) {
        const Item& item = items_[entry.second];
        switch (item.kind) {
        case Kind::Line: {
            int x1, y1, x2, y2;
            view.project(item.a, x1, y1);
            view.project(item.b, x2, y2);
            if (shapes) {
                cairo->segment(x1, y1, x2, y2, item.colour, item.size);
            } else {
                state.pen(item.colour, item.size);
                dc.DrawLine(x1, y1, x2, y2);
            }
            break;
        }
        case Kind::Circle: {
            int cx, cy;
            view.project(item.a, cx, cy);
            const double r =
                grown_disc_radius(view.pixel_length(vec3d(item.radius, 0, 0)), item.size);
            const int m = truncate_to_pixel(r);
            if (shapes) {
                cairo->disc(cx, cy, m, item.colour);
            } else {
                state.pen(item.colour, 1);
                state.brush(item.colour);
                dc.DrawEllipse(cx - m, cy - m, 2 * m, 2 * m);
            }
            break;
        }
        case Kind::Text: {
            int x, y;
            view.project(item.a, x, y);
            if (labels) {
                cairo->text(x, y, *item.label, item.colour);
            } else {
                state.text(item.colour);
                dc.DrawText(item.label->text(), x, y);
                if (cairo)
                    cairo->touched();
            }
            break;
        }
        }
    }
}
