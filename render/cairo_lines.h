// Lines stroked straight on the Cairo context under a device context, as
// the toolkit's own line drawing strokes them (a solid pen with round caps
// and joins, half a pixel of offset for odd widths), but without the path
// object, the pen and the second context the toolkit makes for each line.
// Trail segments are most of a picture.
#pragma once

#include <wx/dc.h>
#include <wx/gdicmn.h>

#include "render/primitive_list.h"

typedef struct _cairo cairo_t;

class CairoLines {
public:
    // Not ok() when the device context does not draw through Cairo: the
    // caller then draws with the device context.
    explicit CairoLines(wxDC& dc);
    bool ok() const { return cr_ != nullptr; }

    void segment(int x1, int y1, int x2, int y2, dcRgb colour, int width);
    // A connected line through n points, as wxDC::DrawLines draws it.
    void polyline(int n, const wxPoint* points, dcRgb colour, int width);

private:
    void use(dcRgb colour, int width);
    double offset(int width) const;

    cairo_t* cr_ = nullptr;
    bool offset_enabled_ = false;
    double scale_ = 1;
    bool set_ = false;
    dcRgb colour_;
    int width_ = 0;
};
