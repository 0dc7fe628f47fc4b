// Drawing primitives anchored in world coordinates, and the depth-sorted
// list that paints them farthest first (the painter's algorithm).
#pragma once

#include <map>
#include <memory>
#include <optional>

#include <wx/brush.h>
#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/string.h>

#include "nbody/vec3d.h"

class dcObject {
public:
    virtual ~dcObject() = default;
    // The anchor from which the depth key is taken.
    virtual const vec3d& position() const = 0;
    // Paints onto dc through the current view.
    virtual void draw(wxDC& dc) = 0;
};

// A filled disc seen face-on.
class dcCircle : public dcObject {
public:
    dcCircle(const vec3d& centre, double radius, const wxBrush& brush);
    void set_min_pixel_radius(int pixels) { min_pixel_radius_ = pixels; }
    const vec3d& position() const override { return centre_; }
    void draw(wxDC& dc) override;

    // The drawn radius for an on-screen radius r: grown by factors of 1.05
    // up to the minimum when one is set (a zero or non-finite radius is
    // drawn at the minimum, since no growth reaches it).
    static double grown_radius(double r, int min_pixel_radius);

private:
    vec3d centre_;
    double radius_;
    wxBrush brush_;
    int min_pixel_radius_ = -1;
};

// A straight segment, anchored (and depth-sorted) at its start.
class dcLine : public dcObject {
public:
    struct Offset {}; // selects the start-plus-offset constructor

    dcLine(const vec3d& start, const vec3d& end, const wxColour& colour, int width, int style);
    dcLine(Offset, const vec3d& start, const vec3d& offset, const wxColour& colour, int width,
           int style);
    const vec3d& position() const override { return start_; }
    const vec3d& end() const { return end_; }
    const wxColour& colour() const { return colour_; }
    void draw(wxDC& dc) override;

private:
    vec3d start_;
    vec3d end_;
    wxColour colour_;
    int width_;
    int style_;
};

// A label with its top-left corner at the anchor.
class dcText : public dcObject {
public:
    dcText(const vec3d& anchor, const wxString& text, const wxColour& colour);
    const vec3d& position() const override { return anchor_; }
    const wxString& text() const { return text_; }
    void draw(wxDC& dc) override;

private:
    vec3d anchor_;
    wxString text_;
    wxColour colour_;
};

class dcDisplayList {
public:
    virtual ~dcDisplayList() = default;
    virtual void add(std::unique_ptr<dcObject> item) = 0;
    virtual void draw(wxDC& dc) = 0;
    virtual void clear() = 0;
};

// Items ordered by increasing distance from the viewpoint, a point far behind
// the scene, so the farthest from the viewer are painted first; items at
// equal distance keep the order in which they came.
class dcDisplayListSorted : public dcDisplayList {
public:
    // Without a viewpoint (a singular view) the items are drawn in the order
    // in which they came.
    explicit dcDisplayListSorted(const std::optional<vec3d>& viewpoint);
    ~dcDisplayListSorted() override { clear(); }

    void add(std::unique_ptr<dcObject> item) override;
    void draw(wxDC& dc) override;
    void clear() override { items_.clear(); }
    std::size_t size() const { return items_.size(); }

private:
    std::optional<vec3d> viewpoint_;
    std::multimap<double, std::unique_ptr<dcObject>> items_;
};
