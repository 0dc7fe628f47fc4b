#include "render/scene.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include <wx/brush.h>
#include <wx/pen.h>

#include "datebridge/date_bridge.h"
#include "nbody/system.h"
#include "nbody/worker_pair.h"
#include "render/cairo_painter.h"
#include "render/primitive_list.h"
#include "render/raster_canvas.h"

namespace {

const double AXIS_LENGTH = 2.99196e11;       // 2 AU
const double SIZE_EXAGGERATION = 30;         // without "actual sizes"
const int MIN_DISC_RADIUS = 4;               // pixels
const double VIEWER_SIDE_DEPTH = 1.49598e13; // simplified mode's reference

dcRgb body_rgb(const nbBody& body) {
    const nbColour& c = body.graphics()->colour();
    return dcRgb{c.red(), c.green(), c.blue()};
}

wxColour body_colour(const nbBody& body) {
    const nbColour& c = body.graphics()->colour();
    return wxColour(c.red(), c.green(), c.blue(), wxALPHA_OPAQUE);
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

// The vertices a trail is drawn through, newest first: the newest point,
// the trail's sample (every stride-th point by the count of points recorded,
// so that the vertices stay put as the trail grows instead of shifting by a
// point at every new one), and the oldest. A trail shorter than its stride
// is drawn through every point.
std::size_t trail_vertex_count(const nbTrail& trail) {
    const std::size_t n = trail.size();
    if (n <= 1)
        return 0;
    if (n < trail.sample_stride())
        return n;
    const std::size_t sampled = trail.sample_size();
    return 1 + sampled - (trail.sample_holds_newest() ? 1 : 0) +
           (trail.sample_holds_oldest() && sampled > 0 ? 0 : 1);
}

template <class F> void each_trail_vertex(const nbTrail& trail, F f) {
    const std::size_t n = trail.size();
    if (n <= 1)
        return;
    if (n < trail.sample_stride()) {
        for (std::size_t i = 0; i < n; ++i)
            f(trail.newest(i));
        return;
    }
    f(trail.newest(0));
    const std::size_t sampled = trail.sample_size();
    for (std::size_t i = trail.sample_holds_newest() ? 1 : 0; i < sampled; ++i) {
        if (i + 8 < sampled)
            __builtin_prefetch(&trail.sample_newest(i + 8));
        f(trail.sample_newest(i));
    }
    if (!(trail.sample_holds_oldest() && sampled > 0))
        f(trail.oldest(0));
}

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
    // By the body's address first, checked against its name (another body
    // may come to the address of a removed one): a picture asks this of
    // tens of thousands of bodies, and hashing every name costs.
    auto known = by_body_.find(&body);
    if (known != by_body_.end() && known->second->name == body.name())
        return *known->second;
    auto found = labels_.find(body.name());
    if (found == labels_.end()) {
        Labels made;
        const std::string shown = body.display_name();
        made.display = dcLabel(wxString::FromUTF8(shown));
        made.full = dcLabel(wxString::FromUTF8(body.name()));
        made.is_sun = shown == "Sun";
        made.name = body.name();
        found = labels_.emplace(body.name(), std::move(made)).first;
    }
    by_body_[&body] = &found->second;
    return found->second;
}

const dcLabel& wxDCDraw::shown_label(const nbBody& body) const {
    const Labels& labels = labels_of(body);
    return options_.satellite_names ? labels.full : labels.display;
}

void wxDCDraw::prune_labels(const nbSystem& system) {
    // Names of removed bodies would pile up over a long session.
    if (labels_.size() <= system.size() + 4096)
        return;
    by_body_.clear();
    for (auto it = labels_.begin(); it != labels_.end();)
        it = system.find(it->first) ? std::next(it) : labels_.erase(it);
}

void wxDCDraw::choose_labels(wxDC& dc, const nbSystem& system) {
    prune_labels(system);
    labelled_.clear();
    choosing_ = true;
    depth_sorted_ = false;
    placer_.reset(width(), height());
    if (!options_.names)
        return;
    const int which = options_.satellite_names ? 1 : 0;
    const std::string font =
        dc.GetFont().IsOk() ? dc.GetFont().GetNativeFontInfoDesc().utf8_string() : std::string();
    if (font != font_) {
        font_ = font;
        ++font_generation_;
    }
    // A label's size by the body's place in the system, kept from picture
    // to picture: most of tens of thousands of offers end at the first
    // test, and none should have to look a name up for it.
    const std::vector<nbBody*>& bodies = system.bodies();
    if (label_sizes_.size() != bodies.size())
        label_sizes_.assign(bodies.size(), LabelSize());
    auto size_of = [&](const nbBody& body, std::size_t index, int& w, int& h) {
        LabelSize* known = index < label_sizes_.size() ? &label_sizes_[index] : nullptr;
        if (known && known->body == &body && known->generation == font_generation_ &&
            known->which == which) {
            w = known->w;
            h = known->h;
            return;
        }
        Labels& labels = const_cast<Labels&>(labels_of(body));
        const dcLabel& label = which ? labels.full : labels.display;
        if (labels.measured_with != font_generation_) {
            labels.w[0] = labels.w[1] = -1;
            labels.measured_with = font_generation_;
        }
        if (labels.w[which] < 0) {
            wxCoord tw = 0, th = 0;
            if (!label.text().empty())
                dc.GetTextExtent(label.text(), &tw, &th);
            labels.w[which] = tw;
            labels.h[which] = th;
        }
        w = labels.w[which];
        h = labels.h[which];
        if (known)
            *known = LabelSize{&body, font_generation_, which, w, h};
    };
    auto offer = [&](const nbBody& body, std::size_t index, bool may_move) {
        if (may_move && labelled_.count(&body))
            return;
        int x, y;
        project(body.position(), x, y);
        if (!may_move && placer_.blocked(x, y))
            return;
        int w = 0, h = 0;
        size_of(body, index, w, h);
        if (w <= 0)
            return;
        // At the body, else stacked above and below it, right or left.
        const int tries = may_move ? 13 : 1;
        for (int t = 0; t < tries; ++t) {
            const int dy = (t + 1) / 2 * (t % 2 ? -h : h);
            for (int dx : {0, -w}) {
                const LabelBox box{x + dx, y + dy, w, h};
                if (placer_.place(box)) {
                    labelled_.emplace(&body, box);
                    return;
                }
                if (!may_move)
                    return;
            }
        }
    };
    for (std::size_t k = 0; k < system.heavy_count(); ++k)
        offer(*bodies[k], k, true);
    std::unordered_set<const nbBody*> first;
    for (const std::string& name : priority_)
        if (const nbBody* body = system.find(name)) {
            offer(*body, SIZE_MAX, true);
            first.insert(body);
        }
    // The test particles nearest the viewer first: farthest from the
    // viewpoint behind the scene, the depth order backwards.
    sort_by_depth(system);
    const std::size_t heavy = system.heavy_count();
    for (auto it = depth_order_.rbegin(); it != depth_order_.rend(); ++it) {
        // In depth order every body is a cache miss: ask ahead.
        if (depth_order_.rend() - it > 8) {
            const nbBody* later = bodies[(it + 8)->second];
            __builtin_prefetch(later);
            __builtin_prefetch(reinterpret_cast<const char*>(later) + 256);
        }
        if (it->second >= heavy && (first.empty() || !first.count(bodies[it->second])))
            offer(*bodies[it->second], it->second, false);
    }
}

void wxDCDraw::sort_by_depth(const nbSystem& system) {
    if (depth_sorted_)
        return;
    const std::optional<vec3d> from = viewpoint();
    depth_order_.clear();
    // What the picture needs of each body besides its trail, taken here in
    // the system's order, where the bodies lie one after another in memory,
    // rather than in the depth order, where each would be a cache miss.
    const std::vector<nbBody*>& bodies = system.bodies();
    trail_points_.resize(bodies.size());
    colours_.resize(bodies.size());
    for (std::uint32_t k = 0; k < bodies.size(); ++k) {
        const nbBody& body = *bodies[k];
        double key = from ? from->distance_squared(body.position()) : 0.0;
        // A NaN key would break the sort; such a body is nowhere.
        if (std::isnan(key))
            key = HUGE_VAL;
        depth_order_.emplace_back(key, k);
        trail_points_[k] = std::uint32_t(
            options_.orbits && body.shows_trail() ? trail_vertex_count(body.trail()) : 0);
        colours_[k] = body_rgb(body);
    }
    std::stable_sort(depth_order_.begin(), depth_order_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    depth_sorted_ = true;
}

void wxDCDraw::draw_sorted(wxDC& dc, const nbSystem& system) {
    choose_labels(dc, system);
    primitives_.reset(viewpoint());
    for (const auto& entry : system)
        file_body(*entry.second);
    if (options_.axes)
        file_axes();
    primitives_.draw(dc, *this, direct_);
    paint_labels(dc, system);
}

void wxDCDraw::file_axes() {
    const vec3d origin;
    primitives_.add_line(origin, vec3d(0, 0, AXIS_LENGTH), RED, 2);
    primitives_.add_line(origin, vec3d(0, -AXIS_LENGTH, 0), GREEN, 2);
    primitives_.add_line(origin, vec3d(-AXIS_LENGTH, 0, 0), CYAN, 2);
    primitives_.add_text(vec3d(0, 0, 1.1 * AXIS_LENGTH), &north_, RED);
    primitives_.add_text(vec3d(-1.1 * AXIS_LENGTH, 0, 0), &equinox_, CYAN);
}

void wxDCDraw::file_body(const nbBody& body) {
    const dcRgb c = body_rgb(body);
    const vec3d& position = body.position();
    double radius = body.display_radius();
    if (!options_.actual_sizes)
        radius *= SIZE_EXAGGERATION;

    if (options_.sun || !labels_of(body).is_sun)
        primitives_.add_circle(position, radius, c, MIN_DISC_RADIUS);
    if (body.graphics()->has_tail()) {
        // The tail points away from the Sun and shortens with distance:
        // 1/d AU long at d AU. A comet at the origin has no direction.
        const double d = position.length() / ASTRONOMICAL_UNIT;
        if (d > 0) {
            vec3d u = position;
            u.normalise();
            primitives_.add_line(position, position + u * (ASTRONOMICAL_UNIT / d), c, 3);
        }
    }
    if (options_.orbits && body.shows_trail())
        file_trail(body, c);
}

void wxDCDraw::file_trail(const nbBody& body, dcRgb c) {
    const double inc = options_.fade_orbits ? 0.02 : 0;
    double fade = 0;
    int k = 0;
    const vec3d* newer = nullptr;
    // Segment after segment from the newest, fading after the tenth.
    each_trail_vertex(body.trail(), [&](const vec3d& point) {
        if (newer) {
            primitives_.add_line(*newer, point, faded_rgb(c, fade), 1);
            ++k;
            if (k > 10)
                fade += inc;
            if (fade > 1)
                fade = 1;
        }
        newer = &point;
    });
}

void wxDCDraw::draw_simplified(wxDC& dc, const nbSystem& system) {
    choose_labels(dc, system);
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
    paint_labels(dc, system);
}

void wxDCDraw::draw_body(wxDC& dc, const nbBody& body) const {
    const wxColour c = body_colour(body);
    int x, y;
    project(body.position(), x, y);
    double r = pixel_length(vec3d(body.display_radius(), 0, 0));
    if (!options_.actual_sizes)
        r = grown_disc_radius(SIZE_EXAGGERATION * r, MIN_DISC_RADIUS);
    // The disc takes whatever pen the device context holds, so it stays
    // with the device context.
    dc.SetBrush(wxBrush(c, wxBRUSHSTYLE_SOLID));
    const int m = truncate_to_pixel(r);
    dc.DrawEllipse(x - m, y - m, 2 * m, 2 * m);
    dc.SetBrush(wxNullBrush);
    std::optional<CairoPainter> cairo;
    if (direct_)
        cairo.emplace(dc);
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
    // To the nearest second: steps of a fraction of a day add up to a hair
    // below a whole second as often as above it.
    const wxDateTime t = jd_to_datetime(std::round(jd * 86400.0) / 86400.0);
    // Dates the toolkit cannot hold are shown as the bare Julian date.
    if (!t.IsValid())
        return wxString::Format("JD %.5f", jd);
    return t.Format("%Y-%m-%d") + " " + t.Format("%H:%M:%S") + " UTC";
}

namespace {

// The view's projection as draw_raster needs it a million times a picture:
// the rows of the combined matrix, summed in the order Matrix4 sums them,
// so that every point lands on the pixel project() gives.
struct Projection {
    double r0[4], r1[4];
    int height;
    explicit Projection(const dcAdapter& view) : height(view.height()) {
        for (int c = 0; c < 4; ++c) {
            r0[c] = view.combined().at(0, c);
            r1[c] = view.combined().at(1, c);
        }
    }
    void operator()(const vec3d& p, int& x, int& y) const {
        double sx = 0, sy = 0;
        sx += r0[0] * p.x;
        sx += r0[1] * p.y;
        sx += r0[2] * p.z;
        sx += r0[3] * 1.0;
        sy += r1[0] * p.x;
        sy += r1[1] * p.y;
        sy += r1[2] * p.z;
        sy += r1[3] * 1.0;
        x = truncate_to_pixel(sx);
        y = truncate_to_pixel(height - sy);
    }
};

} // namespace

wxDCDraw::wxDCDraw() = default;
wxDCDraw::~wxDCDraw() = default;

namespace {

// Below this many points a second thread costs more than it saves.
const std::size_t PARALLEL_POINTS = 20000;

} // namespace

namespace {} // namespace

const std::vector<std::uint32_t>& wxDCDraw::fade_colours(dcRgb c) {
    // The colours of a trail's segments by their count from the newest, as
    // file_trail fades them: the same for every body of one colour, and
    // most catalogue bodies share theirs. Made before the threads start.
    const double inc = options_.fade_orbits ? 0.02 : 0;
    std::vector<std::uint32_t>& colours = fades_[std::make_pair(pixel_of(c), inc)];
    if (!colours.empty())
        return colours;
    double fade = 0;
    colours.push_back(pixel_of(c));
    // Step k's colour for the segment after it; constant once faded out or
    // when there is no fading.
    for (int k = 1; inc > 0 && fade < 1; ++k) {
        if (k > 10)
            fade += inc;
        if (fade > 1)
            fade = 1;
        colours.push_back(pixel_of(faded_rgb(c, fade)));
    }
    return colours;
}

void wxDCDraw::project_bodies(const std::vector<nbBody*>& bodies, std::size_t from,
                              std::size_t to) {
    const Projection project_point(*this);
    double last_radius = -1;
    int last_pixels = 0;
    for (std::size_t index = from; index < to; ++index) {
        const nbBody& body = *bodies[depth_order_[index].second];
        // The bodies come in depth order, each a cache miss: the body
        // itself is asked for well ahead, then, once it is near, its state
        // and its trail's vertices.
        if (index + 12 < to) {
            const nbBody* far = bodies[depth_order_[index + 12].second];
            __builtin_prefetch(far);
            __builtin_prefetch(reinterpret_cast<const char*>(far) + 64);
            __builtin_prefetch(reinterpret_cast<const char*>(far) + 128);
            __builtin_prefetch(reinterpret_cast<const char*>(far) + 192);
            __builtin_prefetch(reinterpret_cast<const char*>(far) + 256);
        }
        if (index + 4 < to) {
            const nbBody& later = *bodies[depth_order_[index + 4].second];
            __builtin_prefetch(&later.position());
            const nbTrail& trail = later.trail();
            if (trail.size() > 0) {
                __builtin_prefetch(&trail.newest(0));
                if (trail.sample_size() > 0)
                    __builtin_prefetch(&trail.sample_newest(0));
            }
        }
        RasterDraw::Body& out = raster_draw_.bodies[index];
        const dcRgb c = colours_[depth_order_[index].second];
        const vec3d& position = body.position();
        project_point(position, out.x, out.y);
        out.colour = pixel_of(c);
        out.radius = 0;
        if (options_.sun || drawn_sun_ != &body) {
            double radius = body.display_radius();
            if (!options_.actual_sizes)
                radius *= SIZE_EXAGGERATION;
            // Every catalogue body has the same radius, and growing a tiny
            // one to the least disc takes a hundred steps: once will do.
            if (radius != last_radius) {
                last_radius = radius;
                last_pixels = truncate_to_pixel(
                    grown_disc_radius(pixel_length(vec3d(radius, 0, 0)), MIN_DISC_RADIUS));
            }
            out.radius = last_pixels;
        }
        out.tail = false;
        if (body.graphics()->has_tail()) {
            const double d = position.length() / ASTRONOMICAL_UNIT;
            if (d > 0) {
                vec3d u = position;
                u.normalise();
                project_point(position + u * (ASTRONOMICAL_UNIT / d), out.tail_x, out.tail_y);
                out.tail = true;
            }
        }
        if (out.count == 0)
            continue;
        RasterDraw::Point* p = raster_draw_.points.data() + out.first;
        each_trail_vertex(body.trail(), [&](const vec3d& point) {
            project_point(point, p->x, p->y);
            ++p;
        });
    }
}

void wxDCDraw::draw_raster(RasterCanvas& canvas, const nbSystem& system) {
    // Outside a picture begun by choose_labels, the order is made anew.
    if (!choosing_)
        depth_sorted_ = false;
    const Projection project_point(*this);
    raster_draw_.clear();
    if (options_.axes) {
        int ox, oy;
        project_point(vec3d(), ox, oy);
        const std::pair<vec3d, dcRgb> axes[] = {{vec3d(0, 0, AXIS_LENGTH), RED},
                                                {vec3d(0, -AXIS_LENGTH, 0), GREEN},
                                                {vec3d(-AXIS_LENGTH, 0, 0), CYAN}};
        for (const auto& axis : axes) {
            int x, y;
            project_point(axis.first, x, y);
            raster_draw_.lines.push_back(RasterDraw::Line{ox, oy, x, y, 2, pixel_of(axis.second)});
        }
    }
    // Whole bodies farthest first: sorting the bodies rather than every
    // segment is what lets millions of segments through at the tick rate.
    sort_by_depth(system);
    // The Sun is the one heavy body "Sun" shows, when there is one.
    drawn_sun_ = nullptr;
    for (std::size_t k = 0; k < system.heavy_count(); ++k)
        if (labels_of(*system.bodies()[k]).is_sun)
            drawn_sun_ = system.bodies()[k];
    // Where each trail's points go, then the points, by halves of the
    // points on two threads where there are many.
    const std::size_t n = depth_order_.size();
    raster_draw_.bodies.resize(n);
    std::size_t points = 0;
    const std::vector<std::uint32_t>* last_fades = nullptr;
    dcRgb last_colour;
    for (std::size_t k = 0; k < n; ++k) {
        const std::uint32_t index = depth_order_[k].second;
        const std::size_t count = trail_points_[index];
        raster_draw_.bodies[k].first = std::uint32_t(points);
        raster_draw_.bodies[k].count = std::uint32_t(count);
        const dcRgb c = colours_[index];
        if (!last_fades || c != last_colour) {
            last_fades = &fade_colours(c);
            last_colour = c;
        }
        raster_draw_.bodies[k].fades = last_fades;
        points += count;
    }
    // Grown only: resizing down and up again would clear millions of
    // points for nothing.
    if (raster_draw_.points.size() < points)
        raster_draw_.points.resize(points);
    const bool parallel = parallel_ && points >= PARALLEL_POINTS && nbWorkerPair::worthwhile();
    if (parallel) {
        std::size_t middle = 0;
        while (middle < n && raster_draw_.bodies[middle].first < points / 2)
            ++middle;
        if (!workers_)
            workers_ = std::make_unique<nbWorkerPair>();
        const std::function<void(int)> project_half = [&](int part) {
            if (part == 0)
                project_bodies(system.bodies(), 0, middle);
            else
                project_bodies(system.bodies(), middle, n);
        };
        workers_->run(project_half);
        const int h = canvas.height();
        const std::function<void(int)> paint_half = [&](int part) {
            RasterStrip strip(canvas, part == 0 ? 0 : h / 2, part == 0 ? h / 2 : h);
            raster_draw_.paint(strip);
        };
        workers_->run(paint_half);
    } else {
        project_bodies(system.bodies(), 0, n);
        RasterStrip strip(canvas, 0, canvas.height());
        raster_draw_.paint(strip);
    }
}

void wxDCDraw::paint_labels(wxDC& dc, const nbSystem& system) {
    if (options_.names) {
        std::optional<CairoPainter> cairo;
        if (direct_)
            cairo.emplace(dc);
        for (const nbBody* body : system.bodies()) {
            auto found = labelled_.find(body);
            if (found == labelled_.end())
                continue;
            const int x = found->second.x, y = found->second.y;
            const dcLabel& label = shown_label(*body);
            if (cairo && cairo->ok() && cairo->text_ok()) {
                cairo->text(x, y, label, body_rgb(*body));
            } else {
                dc.SetTextForeground(body_colour(*body));
                dc.DrawText(label.text(), x, y);
            }
        }
    }
    choosing_ = false;
    depth_sorted_ = false;
    draw_clock(dc, system);
}
