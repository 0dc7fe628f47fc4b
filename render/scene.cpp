#include "render/scene.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <wx/brush.h>
#include <wx/pen.h>

#include "nbody/date_bridge.h"
#include "nbody/system.h"
#include "render/display_list.h"

namespace {

const double AXIS_LENGTH = 2.99196e11;       // 2 AU
const double SIZE_EXAGGERATION = 30;         // without "actual sizes"
const int MIN_DISC_RADIUS = 4;               // pixels
const double VIEWER_SIDE_DEPTH = 1.49598e13; // simplified mode's reference
const int SOLID = wxPENSTYLE_SOLID;

wxColour body_colour(const nbBody& body) {
    const nbColour& c = body.graphics()->colour();
    return wxColour(c.red(), c.green(), c.blue(), wxALPHA_OPAQUE);
}

// Trails are painted opaque, as on a device context without alpha: a faded
// segment shows its reduced channels over whatever lies beneath.
wxColour opaque(const wxColour& c) {
    return wxColour(c.Red(), c.Green(), c.Blue());
}

} // namespace

wxColour faded_colour(const wxColour& c, double f) {
    if (f <= 0)
        return c;
    const double e = (c.Red() + c.Green() + c.Blue()) * f / 3;
    auto fade = [e](unsigned char x) -> unsigned char {
        return x > e ? static_cast<unsigned char>(std::trunc(x - e)) : 0;
    };
    return wxColour(fade(c.Red()), fade(c.Green()), fade(c.Blue()), fade(c.Alpha()));
}

void wxDCDraw::draw(wxDC& dc, const nbSystem* system) {
    if (system == nullptr)
        return;
    if (!options_.simplified)
        draw_sorted(dc, *system);
    else
        draw_simplified(dc, *system);
}

void wxDCDraw::draw_sorted(wxDC& dc, const nbSystem& system) {
    // The primitives project through the view that draws them.
    current_view = this;
    dcDisplayListSorted list(viewpoint());
    for (const auto& entry : system)
        add_body(list, *entry.second);
    if (options_.axes) {
        const vec3d origin;
        list.add(std::make_unique<dcLine>(dcLine::Offset(), origin, vec3d(0, 0, AXIS_LENGTH),
                                          *wxRED, 2, SOLID));
        list.add(std::make_unique<dcLine>(dcLine::Offset(), origin, vec3d(0, -AXIS_LENGTH, 0),
                                          *wxGREEN, 2, SOLID));
        list.add(std::make_unique<dcLine>(dcLine::Offset(), origin, vec3d(-AXIS_LENGTH, 0, 0),
                                          *wxCYAN, 2, SOLID));
        list.add(std::make_unique<dcText>(vec3d(0, 0, 1.1 * AXIS_LENGTH), "N", *wxRED));
        list.add(std::make_unique<dcText>(vec3d(-1.1 * AXIS_LENGTH, 0, 0), "V", *wxCYAN));
    }
    list.draw(dc);
    draw_clock(dc, system);
}

void wxDCDraw::add_body(dcDisplayList& list, const nbBody& body) const {
    const wxColour c = body_colour(body);
    const vec3d& position = body.position();
    double radius = body.display_radius();
    if (!options_.actual_sizes)
        radius *= SIZE_EXAGGERATION;

    if (options_.sun || body.display_name() != "Sun") {
        auto disc = std::make_unique<dcCircle>(position, radius, wxBrush(c, wxBRUSHSTYLE_SOLID));
        disc->set_min_pixel_radius(MIN_DISC_RADIUS);
        list.add(std::move(disc));
    }
    if (options_.names) {
        const std::string label = options_.satellite_names ? body.name() : body.display_name();
        list.add(std::make_unique<dcText>(position, wxString::FromUTF8(label), c));
    }
    if (body.graphics()->has_tail()) {
        // The tail points away from the Sun and shortens with distance:
        // 1/d AU long at d AU. A comet at the origin has no direction.
        const double d = position.length() / ASTRONOMICAL_UNIT;
        if (d > 0) {
            vec3d u = position;
            u.normalise();
            list.add(std::make_unique<dcLine>(dcLine::Offset(), position,
                                              u * (ASTRONOMICAL_UNIT / d), c, 3, SOLID));
        }
    }
    if (options_.orbits && body.shows_trail())
        add_trail(list, body, c);
}

void wxDCDraw::add_trail(dcDisplayList& list, const nbBody& body, const wxColour& c) const {
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
    auto point = [&body](std::size_t i) -> const vec3d& { return body.trail_rbegin()[i]; };
    auto file = [&](std::size_t newer, std::size_t older) {
        list.add(std::make_unique<dcLine>(point(newer), point(older), opaque(faded_colour(c, fade)),
                                          1, SOLID));
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
    dc.SetBrush(wxBrush(c, wxBRUSHSTYLE_SOLID));
    const int m = truncate_to_pixel(r);
    dc.DrawEllipse(x - m, y - m, 2 * m, 2 * m);
    dc.SetBrush(wxNullBrush);
    if (options_.names) {
        dc.SetTextForeground(c);
        dc.DrawText(wxString::FromUTF8(body.display_name()), x, y);
    }
    if (options_.orbits && body.trail_size() > 1) {
        dc.SetPen(wxPen(c, 1, wxPENSTYLE_SOLID));
        std::vector<wxPoint> points;
        points.reserve(body.trail_size());
        for (auto it = body.trail_begin(); it != body.trail_end(); ++it) {
            int px, py;
            project(*it, px, py);
            points.emplace_back(px, py);
        }
        dc.DrawLines(static_cast<int>(points.size()), points.data());
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
