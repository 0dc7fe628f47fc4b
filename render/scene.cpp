#include "render/scene.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include <wx/brush.h>
#include <wx/pen.h>

#include "nbody/date_bridge.h"
#include "nbody/system.h"
#include "render/cairo_painter.h"
#include "render/display_list.h"
#include "render/primitive_list.h"

namespace {

const double AXIS_LENGTH = 2.99196e11;       // 2 AU
const double SIZE_EXAGGERATION = 30;         // without "actual sizes"
const int MIN_DISC_RADIUS = 4;               // pixels
const double VIEWER_SIDE_DEPTH = 1.49598e13; // simplified mode's reference
const int SOLID = wxPENSTYLE_SOLID;

dcRgb body_rgb(const nbBody& body) {
    const nbColour& c = body.graphics()->colour();
    return dcRgb{c.red(), c.green(), c.blue()};
}

wxColour body_colour(const nbBody& body) {
    const nbColour& c = body.graphics()->colour();
    return wxColour(c.red(), c.green(), c.blue(), wxALPHA_OPAQUE);
}

wxColour to_wx(dcRgb c) {
    return wxColour(c.r, c.g, c.b);
}

// One channel less e, the mean intensity times the fade level, down to zero.
unsigned char fade_channel(unsigned char x, double e) {
    return x > e ? static_cast<unsigned char>(std::trunc(x - e)) : 0;
}

// Trails are painted opaque, as on a device context without alpha: a faded
// segment shows its reduced channels over whatever lies beneath.
dcRgb faded_rgb(dcRgb c, double f) {
    if (f <= 0)
        return c;
    const double e = (c.r + c.g + c.b) * f / 3;
    return dcRgb{fade_channel(c.r, e), fade_channel(c.g, e), fade_channel(c.b, e)};
}

// Files the scene's primitives as heap objects into any display list.
struct ObjectSink {
    dcDisplayList& list;
    void circle(const vec3d& centre, double radius, dcRgb c, int min_pixel_radius) {
        auto disc =
            std::make_unique<dcCircle>(centre, radius, wxBrush(to_wx(c), wxBRUSHSTYLE_SOLID));
        disc->set_min_pixel_radius(min_pixel_radius);
        list.add(std::move(disc));
    }
    void line(const vec3d& start, const vec3d& end, dcRgb c, int width) {
        list.add(std::make_unique<dcLine>(start, end, to_wx(c), width, SOLID));
    }
    void offset_line(const vec3d& start, const vec3d& offset, dcRgb c, int width) {
        list.add(std::make_unique<dcLine>(dcLine::Offset(), start, offset, to_wx(c), width, SOLID));
    }
    void text(const vec3d& anchor, const dcLabel& label, dcRgb c) {
        list.add(std::make_unique<dcText>(anchor, label.text(), to_wx(c)));
    }
};

// Files them by value into the scene's own list.
struct ValueSink {
    dcPrimitiveList& list;
    void circle(const vec3d& centre, double radius, dcRgb c, int min_pixel_radius) {
        list.add_circle(centre, radius, c, min_pixel_radius);
    }
    void line(const vec3d& start, const vec3d& end, dcRgb c, int width) {
        list.add_line(start, end, c, width);
    }
    void offset_line(const vec3d& start, const vec3d& offset, dcRgb c, int width) {
        list.add_line(start, start + offset, c, width);
    }
    void text(const vec3d& anchor, const dcLabel& label, dcRgb c) {
        list.add_text(anchor, &label, c);
    }
};

const dcRgb RED{255, 0, 0}, GREEN{0, 255, 0}, CYAN{0, 255, 255};

} // namespace

wxColour faded_colour(const wxColour& c, double f) {
    if (f <= 0)
        return c;
    const double e = (c.Red() + c.Green() + c.Blue()) * f / 3;
    return wxColour(fade_channel(c.Red(), e), fade_channel(c.Green(), e), fade_channel(c.Blue(), e),
                    fade_channel(c.Alpha(), e));
}

void wxDCDraw::draw(wxDC& dc, const nbSystem* system) {
    if (system == nullptr)
        return;
    if (!options_.simplified)
        draw_sorted(dc, *system);
    else
        draw_simplified(dc, *system);
}

const wxDCDraw::Labels& wxDCDraw::labels_of(const nbBody& body) const {
    auto found = labels_.find(body.name());
    if (found == labels_.end()) {
        // Names of removed bodies would pile up over a long session.
        if (labels_.size() > 4096)
            labels_.clear();
        Labels made;
        const std::string shown = body.display_name();
        made.display = dcLabel(wxString::FromUTF8(shown));
        made.full = dcLabel(wxString::FromUTF8(body.name()));
        made.is_sun = shown == "Sun";
        found = labels_.emplace(body.name(), std::move(made)).first;
    }
    return found->second;
}

void wxDCDraw::draw_sorted(wxDC& dc, const nbSystem& system) {
    primitives_.reset(viewpoint());
    ValueSink sink{primitives_};
    for (const auto& entry : system)
        file_body(sink, *entry.second);
    if (options_.axes)
        file_axes(sink);
    primitives_.draw(dc, *this, direct_);
    draw_clock(dc, system);
}

void wxDCDraw::draw_sorted_heap_list(wxDC& dc, const nbSystem& system) {
    dcDisplayListSorted list(viewpoint());
    for (const auto& entry : system)
        add_body(list, *entry.second);
    if (options_.axes)
        add_axes(list);
    current_view = this;
    list.draw(dc);
    draw_clock(dc, system);
}

void wxDCDraw::add_body(dcDisplayList& list, const nbBody& body) const {
    ObjectSink sink{list};
    file_body(sink, body);
}

void wxDCDraw::add_axes(dcDisplayList& list) const {
    ObjectSink sink{list};
    file_axes(sink);
}

template <class Sink> void wxDCDraw::file_axes(Sink& sink) const {
    const vec3d origin;
    sink.offset_line(origin, vec3d(0, 0, AXIS_LENGTH), RED, 2);
    sink.offset_line(origin, vec3d(0, -AXIS_LENGTH, 0), GREEN, 2);
    sink.offset_line(origin, vec3d(-AXIS_LENGTH, 0, 0), CYAN, 2);
    sink.text(vec3d(0, 0, 1.1 * AXIS_LENGTH), north_, RED);
    sink.text(vec3d(-1.1 * AXIS_LENGTH, 0, 0), equinox_, CYAN);
}

template <class Sink> void wxDCDraw::file_body(Sink& sink, const nbBody& body) const {
    const dcRgb c = body_rgb(body);
    const vec3d& position = body.position();
    const Labels& labels = labels_of(body);
    double radius = body.display_radius();
    if (!options_.actual_sizes)
        radius *= SIZE_EXAGGERATION;

    if (options_.sun || !labels.is_sun)
        sink.circle(position, radius, c, MIN_DISC_RADIUS);
    if (options_.names)
        sink.text(position, options_.satellite_names ? labels.full : labels.display, c);
    if (body.graphics()->has_tail()) {
        // The tail points away from the Sun and shortens with distance:
        // 1/d AU long at d AU. A comet at the origin has no direction.
        const double d = position.length() / ASTRONOMICAL_UNIT;
        if (d > 0) {
            vec3d u = position;
            u.normalise();
            sink.offset_line(position, u * (ASTRONOMICAL_UNIT / d), c, 3);
        }
    }
    if (options_.orbits && body.shows_trail())
        file_trail(sink, body, c);
}

template <class Sink> void wxDCDraw::file_trail(Sink& sink, const nbBody& body, dcRgb c) const {
    const std::size_t n = body.trail_size();
    if (n <= 1)
        return;
    std::size_t s = std::max(body.trail_stride(), 1);
    if (n < s)
        s = 1;
    const double inc = options_.fade_orbits ? 0.02 : 0;
    double fade = 0;
    int k = 0;
    // Index 0 is the newest point.
    const nbTrail& trail = body.trail();
    auto point = [&trail](std::size_t i) -> const vec3d& { return trail.newest(i); };
    auto file = [&](std::size_t newer, std::size_t older) {
        sink.line(point(newer), point(older), faded_rgb(c, fade), 1);
    };
    // The newest segment is always p0 -> p1; thinning starts behind it.
    std::size_t last = 0;
    for (std::size_t next = 1; next <= n - 1; next += s) {
        file(last, next);
        last = next;
        ++k;
        if (k > 10)
            fade += inc;
        if (fade > 1)
            fade = 1;
    }
    file(last, n - 1);
}

void wxDCDraw::draw_simplified(wxDC& dc, const nbSystem& system) {
    const std::optional<vec3d> ref = unproject_depth(VIEWER_SIDE_DEPTH);
    if (options_.axes) {
        int ox, oy;
        project(vec3d(), ox, oy);
        const std::pair<vec3d, wxColour> axes[] = {{vec3d(0, 0, -AXIS_LENGTH), *wxRED},
                                                   {vec3d(-AXIS_LENGTH, 0, 0), *wxCYAN},
                                                   {vec3d(0, -AXIS_LENGTH, 0), *wxGREEN}};
        for (const auto& axis : axes) {
            int x, y;
            project(axis.first, x, y);
            dc.SetPen(wxPen(axis.second, 2, wxPENSTYLE_SOLID));
            dc.DrawLine(ox, oy, x, y);
        }
        dc.SetPen(wxNullPen);
    }
    // Farthest from the viewer first; equal distances keep the system's order.
    std::vector<std::pair<double, const nbBody*>> order;
    order.reserve(system.size());
    for (const auto& entry : system) {
        double key = ref ? ref->distance(entry.second->position()) : 0.0;
        if (std::isnan(key))
            key = 0;
        order.emplace_back(key, entry.second.get());
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& item : order)
        draw_body(dc, *item.second);
    draw_clock(dc, system);
}

void wxDCDraw::draw_body(wxDC& dc, const nbBody& body) const {
    const wxColour c = body_colour(body);
    int x, y;
    project(body.position(), x, y);
    double r = pixel_length(vec3d(body.display_radius(), 0, 0));
    if (!options_.actual_sizes)
        r = dcCircle::grown_radius(SIZE_EXAGGERATION * r, MIN_DISC_RADIUS);
    // The disc takes whatever pen the device context holds, so it stays
    // with the device context.
    dc.SetBrush(wxBrush(c, wxBRUSHSTYLE_SOLID));
    const int m = truncate_to_pixel(r);
    dc.DrawEllipse(x - m, y - m, 2 * m, 2 * m);
    dc.SetBrush(wxNullBrush);
    std::optional<CairoPainter> cairo;
    if (direct_)
        cairo.emplace(dc);
    if (options_.names) {
        if (cairo && cairo->ok() && cairo->text_ok()) {
            cairo->text(x, y, labels_of(body).display, body_rgb(body));
        } else {
            dc.SetTextForeground(c);
            dc.DrawText(labels_of(body).display.text(), x, y);
        }
    }
    if (options_.orbits && body.trail_size() > 1) {
        std::vector<wxPoint>& points = polyline_;
        points.clear();
        const nbTrail& trail = body.trail();
        for (std::size_t i = 0; i < trail.size(); ++i) {
            int px, py;
            project(trail.oldest(i), px, py);
            points.emplace_back(px, py);
        }
        if (cairo && cairo->ok()) {
            cairo->polyline(static_cast<int>(points.size()), points.data(), body_rgb(body), 1);
        } else {
            dc.SetPen(wxPen(c, 1, wxPENSTYLE_SOLID));
            dc.DrawLines(static_cast<int>(points.size()), points.data());
        }
        // Either way the next disc finds no pen, as after the toolkit's own.
        dc.SetPen(wxNullPen);
    }
}

void wxDCDraw::draw_clock(wxDC& dc, const nbSystem& system) const {
    dc.SetTextForeground(*wxWHITE);
    dc.DrawText(clock_label(system.time()), 10, 10);
}

wxString clock_label(double jd) {
    // The toolkit formats in local time, which gives back exactly the
    // calendar fields that jd_to_datetime set.
    const wxDateTime t = jd_to_datetime(jd);
    // Dates the toolkit cannot hold are shown as the bare Julian date.
    if (!t.IsValid())
        return wxString::Format("JD %.5f", jd);
    return t.Format("%Y-%m-%d") + " " + t.Format("%H:%M:%S") + " UTC";
}
