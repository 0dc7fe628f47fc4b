// The picture's display list held by value: discs, segments and labels in
// one vector, ordered farthest first by a stable sort on the depth key, and
// painted with a pen, brush or text colour set only when it changes, with
// no heap object per primitive.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <wx/dc.h>
#include <wx/string.h>

#include "nbody/vec3d.h"
#include "render/paint_types.h"

class dcAdapter;

// The drawn radius of a disc of on-screen radius r: grown by factors of 1.05
// up to the minimum when one is set (a zero or non-finite radius is drawn at
// the minimum, since no growth reaches it).
double grown_disc_radius(double r, int min_pixel_radius);

class dcPrimitiveList {
public:
    enum class Kind : unsigned char { Circle, Line, Text };
    struct Item {
        vec3d a;           // centre, start or anchor: the depth key's point
        vec3d b;           // a line's end
        double radius = 0; // a circle's world radius
        const dcLabel* label = nullptr;
        dcRgb colour;
        Kind kind = Kind::Line;
        int size = 0; // a line's width, a circle's least pixel radius
    };

    // Without a viewpoint (a singular view) the primitives keep the order
    // in which they came.
    void reset(const std::optional<vec3d>& viewpoint);

    void add_circle(const vec3d& centre, double radius, dcRgb colour, int min_pixel_radius);
    void add_line(const vec3d& start, const vec3d& end, dcRgb colour, int width);
    // The label must outlive the drawing.
    void add_text(const vec3d& anchor, const dcLabel* label, dcRgb colour);

    std::size_t size() const { return items_.size(); }
    // In the order of adding; read-only, so that what a picture paints can
    // be looked at without painting it.
    const std::vector<Item>& items() const { return items_; }
    // Sorts, then paints through view, farthest first: straight on the
    // Cairo context under dc where there is one and `direct` holds, with
    // the device context's own calls otherwise (the same pixels).
    void draw(wxDC& dc, const dcAdapter& view, bool direct = true);

private:
    void add(const Item& item);

    std::optional<vec3d> viewpoint_;
    std::vector<Item> items_;
    std::vector<std::pair<double, std::uint32_t>> order_; // depth key, item
};
