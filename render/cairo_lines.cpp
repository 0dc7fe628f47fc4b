#include "render/cairo_lines.h"

#include <cairo.h>

#include <wx/graphics.h>

CairoLines::CairoLines(wxDC& dc) {
    wxGraphicsContext* gc = dc.GetGraphicsContext();
    if (!gc || gc->GetRenderer() != wxGraphicsRenderer::GetCairoRenderer())
        return;
    cr_ = static_cast<cairo_t*>(gc->GetNativeContext());
    offset_enabled_ = gc->OffsetEnabled();
    scale_ = gc->GetContentScaleFactor();
    if (!cr_)
        return;
    // The toolkit applies its own pen before each of its strokes, so this
    // state does not leak into its drawing.
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_set_dash(cr_, nullptr, 0, 0);
}

void CairoLines::use(dcRgb c, int width) {
    if (set_ && c == colour_ && width == width_)
        return;
    cairo_set_source_rgba(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0, 1.0);
    cairo_set_line_width(cr_, width);
    colour_ = c;
    width_ = width;
    set_ = true;
}

double CairoLines::offset(int width) const {
    return offset_enabled_ && width % 2 == 1 ? 0.5 / scale_ : 0;
}

void CairoLines::segment(int x1, int y1, int x2, int y2, dcRgb c, int width) {
    use(c, width);
    const double o = offset(width);
    if (o != 0)
        cairo_translate(cr_, o, o);
    cairo_move_to(cr_, x1, y1);
    cairo_line_to(cr_, x2, y2);
    cairo_stroke(cr_);
    if (o != 0)
        cairo_translate(cr_, -o, -o);
}

void CairoLines::polyline(int n, const wxPoint* points, dcRgb c, int width) {
    if (n < 2)
        return;
    use(c, width);
    const double o = offset(width);
    if (o != 0)
        cairo_translate(cr_, o, o);
    cairo_move_to(cr_, points[0].x, points[0].y);
    for (int k = 1; k < n; ++k)
        cairo_line_to(cr_, points[k].x, points[k].y);
    cairo_stroke(cr_);
    if (o != 0)
        cairo_translate(cr_, -o, -o);
}
