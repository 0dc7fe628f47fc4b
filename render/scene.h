// One picture of the gravitational system: discs, names, trails, comet
// tails, axes and the clock label. The scene drawer is also the view.
#pragma once

#include <wx/colour.h>
#include <wx/dc.h>

#include "render/display_options.h"
#include "render/view.h"

class nbBody;
class nbSystem;
class dcDisplayList;

// Trail colour at fade level f: the mean intensity times f is taken off
// every channel (alpha included), down to zero.
wxColour faded_colour(const wxColour& c, double f);

// The clock label of a simulation instant: "2000-01-01 12:00:00 UTC".
wxString clock_label(double jd);

class wxDCDraw : public dcAdapter {
public:
    wxDCDraw() = default;

    void set_display_list(bool on) { options_.simplified = !on; }
    void set_names(bool on) { options_.names = on; }
    void set_satellite_names(bool on) { options_.satellite_names = on; }
    void set_orbits(bool on) { options_.orbits = on; }
    void set_axes(bool on) { options_.axes = on; }
    void set_actual_sizes(bool on) { options_.actual_sizes = on; }
    void set_sun(bool on) { options_.sun = on; }
    void set_fade_orbits(bool on) { options_.fade_orbits = on; }
    void set_options(const DisplayOptions& options) { options_ = options; }
    const DisplayOptions& options() const { return options_; }

    // Draws nothing at all for a null system.
    void draw(wxDC& dc, const nbSystem* system);

    // Display-list mode: every primitive depth-sorted, farthest first.
    void draw_sorted(wxDC& dc, const nbSystem& system);
    // Files the disc, name, tail and trail of one body.
    void add_body(dcDisplayList& list, const nbBody& body) const;

    // Simplified mode: whole bodies, farthest first, fewer features.
    void draw_simplified(wxDC& dc, const nbSystem& system);
    void draw_body(wxDC& dc, const nbBody& body) const;

    // The simulation instant at the top left, as calendar fields and " UTC".
    void draw_clock(wxDC& dc, const nbSystem& system) const;

private:
    void add_trail(dcDisplayList& list, const nbBody& body, const wxColour& colour) const;

    DisplayOptions options_;
};
