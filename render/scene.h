// One picture of the gravitational system: discs, names, trails, comet
// tails, axes and the clock label. The scene drawer is also the view.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <wx/colour.h>
#include <wx/dc.h>

#include "render/display_options.h"
#include "render/label_placer.h"
#include "render/primitive_list.h"
#include "render/raster_draw.h"
#include "render/view.h"

class nbBody;
class nbSystem;
class RasterCanvas;
class nbWorkerPair;

// Trail colour at fade level f: the mean intensity times f is taken off
// every channel (alpha included), down to zero.
wxColour faded_colour(const wxColour& c, double f);

// The clock label of a simulation instant: "2000-01-01 12:00:00 UTC".
wxString clock_label(double jd);

class wxDCDraw : public dcAdapter {
public:
    wxDCDraw();
    ~wxDCDraw() override;

    void set_display_list(bool on) { options_.simplified = !on; }
    void set_names(bool on) { options_.names = on; }
    void set_satellite_names(bool on) { options_.satellite_names = on; }
    void set_orbits(bool on) { options_.orbits = on; }
    void set_axes(bool on) { options_.axes = on; }
    void set_actual_sizes(bool on) { options_.actual_sizes = on; }
    void set_sun(bool on) { options_.sun = on; }
    void set_fade_orbits(bool on) { options_.fade_orbits = on; }
    void set_options(const DisplayOptions& options) { options_ = options; }
    // Off: every primitive through the device context's own calls, the
    // reference that painting straight on its Cairo context must match.
    void set_direct_painting(bool on) { direct_ = on; }
    const DisplayOptions& options() const { return options_; }

    // Draws nothing at all for a null system.
    void draw(wxDC& dc, const nbSystem* system);

    // Bodies whose names are offered first after the heavy bodies' (the
    // tracked body and the separation pair); a name not in the system is
    // passed over.
    void set_label_priority(const std::vector<std::string>& names) { priority_ = names; }
    // The labels a picture shows: none overlapping another, offered in the
    // order heavy bodies, priority names, then test particles nearest the
    // viewer first; their boxes in pixels, measured on dc. A heavy body's or
    // priority name moves above or below its body where its place is taken;
    // a test particle's shows at its body or not at all.
    void choose_labels(wxDC& dc, const nbSystem& system);
    const std::vector<LabelBox>& label_boxes() const { return placer_.kept(); }
    // The bodies whose labels the last picture showed.
    const std::unordered_map<const nbBody*, LabelBox>& labelled_bodies() const { return labelled_; }

    // Display-list mode on the program's own scan converter: whole bodies
    // farthest first, each its disc, tail and trail, into a canvas of the
    // view's size; the labels and the clock then go over it on a device
    // context (paint_labels). The picture of millions of trail segments
    // that the window draws at every tick.
    void draw_raster(RasterCanvas& canvas, const nbSystem& system);
    void paint_labels(wxDC& dc, const nbSystem& system);
    // The scan converter's picture on two threads where it is large (on by
    // default); the pixels are the same either way.
    void set_parallel(bool on) { parallel_ = on; }

    // Display-list mode: every primitive depth-sorted, farthest first.
    void draw_sorted(wxDC& dc, const nbSystem& system);
    // What the last draw_sorted painted, in the order of filing.
    const dcPrimitiveList& primitives() const { return primitives_; }

    // Simplified mode: whole bodies, farthest first, fewer features.
    void draw_simplified(wxDC& dc, const nbSystem& system);
    void draw_body(wxDC& dc, const nbBody& body) const;

    // The simulation instant at the top left, as calendar fields and " UTC".
    void draw_clock(wxDC& dc, const nbSystem& system) const;

private:
    // A body's labels, made once rather than for every picture.
    struct Labels {
        dcLabel display; // what "Names" shows
        dcLabel full;    // with satellite names
        bool is_sun = false;
        // Sizes on screen of display and full, for the font measured_with.
        int w[2] = {0, 0}, h[2] = {0, 0};
        long measured_with = -1; // a font generation
        std::string name;
    };
    const Labels& labels_of(const nbBody& body) const;
    // The label shown for the body under the current options.
    const dcLabel& shown_label(const nbBody& body) const;
    // Drops the labels of bodies no longer in the system, between pictures
    // only: a picture being drawn holds pointers to the ones it uses.
    void prune_labels(const nbSystem& system);

    // Files a body's disc, tail and trail, and the axes, into primitives_;
    // the labels are painted over the picture afterwards.
    void file_body(const nbBody& body);
    void file_trail(const nbBody& body, dcRgb colour);
    void file_axes();

    DisplayOptions options_;
    bool direct_ = true;
    const dcLabel north_{"N"}, equinox_{"V"};
    // Kept between pictures so that their storage is reused.
    dcPrimitiveList primitives_;
    mutable std::unordered_map<std::string, Labels> labels_;
    mutable std::vector<wxPoint> polyline_; // a trail's pixels, simplified mode
    std::vector<std::string> priority_;
    LabelPlacer placer_;
    // While a picture is drawn: the bodies whose label it shows.
    bool choosing_ = false;
    // While a picture is drawn: where each shown label goes.
    std::unordered_map<const nbBody*, LabelBox> labelled_;
    // Depth key and index into the system's bodies, farthest first.
    std::vector<std::pair<double, std::uint32_t>> depth_order_;
    std::vector<std::uint32_t> trail_points_; // by index: points drawn
    std::vector<dcRgb> colours_;              // by index
    // Farthest first; made once a picture for the labels and the drawing.
    bool depth_sorted_ = false;
    void sort_by_depth(const nbSystem& system);
    mutable std::unordered_map<const nbBody*, Labels*> by_body_;
    struct LabelSize {
        const nbBody* body = nullptr;
        long generation = -1;
        int which = 0, w = 0, h = 0;
    };
    std::vector<LabelSize> label_sizes_; // by index into the system's bodies
    std::string font_;
    long font_generation_ = 0;
    // The scan converter's picture, and the second thread that makes and
    // paints half of it.
    RasterDraw raster_draw_;
    std::unique_ptr<nbWorkerPair> workers_;
    bool parallel_ = true;
    std::map<std::pair<std::uint32_t, double>, std::vector<std::uint32_t>> fades_;
    const std::vector<std::uint32_t>& fade_colours(dcRgb c);
    void project_bodies(const std::vector<nbBody*>& bodies, std::size_t from, std::size_t to);
    const nbBody* drawn_sun_ = nullptr;
};
