// One picture of the gravitational system: discs, names, trails, comet
// tails, axes and the clock label. The scene drawer is also the view.
#pragma once

#include <wx/colour.h>
#include <wx/dc.h>

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

    void set_display_list(bool on) { use_display_list_ = on; }
    void set_names(bool on) { show_names_ = on; }
    void set_satellite_names(bool on) { show_satellite_names_ = on; }
    void set_orbits(bool on) { show_orbits_ = on; }
    void set_axes(bool on) { show_axes_ = on; }
    void set_actual_sizes(bool on) { actual_sizes_ = on; }
    void set_sun(bool on) { show_sun_ = on; }
    void set_fade_orbits(bool on) { fade_orbits_ = on; }

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

    bool use_display_list_ = true;
    bool show_names_ = false;
    bool show_satellite_names_ = false;
    bool show_orbits_ = false;
    bool show_axes_ = true;
    bool actual_sizes_ = false;
    bool show_sun_ = true;
    bool fade_orbits_ = true;
};
