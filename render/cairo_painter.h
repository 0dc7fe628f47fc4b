// Segments, polylines, discs and labels painted straight on the Cairo
// context under a device context, exactly as the toolkit's own drawing
// paints them (solid pens with round caps and joins, half a pixel of offset
// for odd widths, discs as its ellipse paths, text laid out by Pango), but
// without the path objects, pens, second contexts and text shaping the
// toolkit makes anew for every call: most of a picture is many small
// primitives.
#pragma once

#include <memory>

#include <wx/dc.h>
#include <wx/gdicmn.h>

#include "render/paint_types.h"

typedef struct _cairo cairo_t;
class RasterCanvas;

class CairoPainter {
public:
    // Not ok() when the device context does not draw through Cairo: the
    // caller then draws with the device context.
    explicit CairoPainter(wxDC& dc);
    ~CairoPainter();
    CairoPainter(const CairoPainter&) = delete;
    CairoPainter& operator=(const CairoPainter&) = delete;

    bool ok() const { return cr_ != nullptr; }
    // Labels only when the device context's text would come out the same
    // (a plain font at scale 1, no text background).
    bool text_ok() const { return text_ok_; }

    void segment(int x1, int y1, int x2, int y2, dcRgb colour, int width);
    // A connected line through n points, as wxDC::DrawLines draws it.
    void polyline(int n, const wxPoint* points, dcRgb colour, int width);
    // wxDC::DrawEllipse(cx - m, cy - m, 2m, 2m) with a brush and a
    // one-pixel pen of the same colour.
    void disc(int cx, int cy, int m, dcRgb colour);
    // wxDC::DrawText with the device context's font.
    void text(int x, int y, const dcLabel& label, dcRgb colour);
    // The canvas's pixels at (0, 0), replacing what is beneath.
    void image(const RasterCanvas& canvas);
    // After drawing through the device context, whose pens and brushes
    // leave their own state on the Cairo context.
    void touched() { has_source_ = false, width_ = -1; }

private:
    void source(dcRgb colour);
    void pen(dcRgb colour, int width);
    double offset(int width) const;

    wxDC& dc_;
    cairo_t* cr_ = nullptr;
    bool offset_enabled_ = false;
    double scale_ = 1;
    bool text_ok_ = false;
    const PangoFontDescription* font_ = nullptr;
    // The font options and transformation a layout made now would have.
    cairo_font_options_t* options_ = nullptr;
    double matrix_[6] = {};
    bool has_source_ = false;
    dcRgb source_;
    int width_ = -1;
    // The toolkit's ellipse paths by radius, about the origin.
    struct Discs;
    std::unique_ptr<Discs> discs_;
};
