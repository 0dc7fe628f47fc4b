#include "render/cairo_painter.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <vector>

#include <cairo.h>
#include <pango/pangocairo.h>

#include "render/raster_canvas.h"

#include <wx/fontutil.h>
#include <wx/graphics.h>

dcLabel::~dcLabel() {
    forget();
}

dcLabel::dcLabel(dcLabel&& other) noexcept
    : text_(std::move(other.text_)), layout_(other.layout_), font_(other.font_),
      options_(other.options_) {
    std::copy(std::begin(other.matrix_), std::end(other.matrix_), matrix_);
    other.layout_ = nullptr;
    other.font_ = nullptr;
    other.options_ = nullptr;
}

dcLabel& dcLabel::operator=(dcLabel&& other) noexcept {
    if (this != &other) {
        forget();
        text_ = std::move(other.text_);
        layout_ = other.layout_;
        font_ = other.font_;
        options_ = other.options_;
        std::copy(std::begin(other.matrix_), std::end(other.matrix_), matrix_);
        other.layout_ = nullptr;
        other.font_ = nullptr;
        other.options_ = nullptr;
    }
    return *this;
}

void dcLabel::forget() const {
    if (layout_)
        g_object_unref(layout_);
    if (font_)
        pango_font_description_free(font_);
    if (options_)
        cairo_font_options_destroy(options_);
    layout_ = nullptr;
    font_ = nullptr;
    options_ = nullptr;
}

struct CairoPainter::Discs {
    std::map<int, std::vector<cairo_path_data_t>> by_radius;
    std::vector<cairo_path_data_t> moved;
};

CairoPainter::CairoPainter(wxDC& dc) : dc_(dc), discs_(std::make_unique<Discs>()) {
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

    const wxFont& font = dc.GetFont();
    text_ok_ = font.IsOk() && !font.GetUnderlined() && !font.GetStrikethrough() && scale_ == 1 &&
               dc.GetBackgroundMode() == wxBRUSHSTYLE_TRANSPARENT && font.GetNativeFontInfo() &&
               font.GetNativeFontInfo()->description;
    if (!text_ok_)
        return;
    font_ = font.GetNativeFontInfo()->description;
    // What Pango merges for a layout made on this context: the target's
    // font options, then the context's own.
    options_ = cairo_font_options_create();
    cairo_surface_get_font_options(cairo_get_target(cr_), options_);
    cairo_font_options_t* set = cairo_font_options_create();
    cairo_get_font_options(cr_, set);
    cairo_font_options_merge(options_, set);
    cairo_font_options_destroy(set);
    cairo_matrix_t m;
    cairo_get_matrix(cr_, &m);
    const double matrix[6] = {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0};
    std::copy(std::begin(matrix), std::end(matrix), matrix_);
}

CairoPainter::~CairoPainter() {
    if (options_)
        cairo_font_options_destroy(options_);
}

void CairoPainter::source(dcRgb c) {
    if (has_source_ && c == source_)
        return;
    cairo_set_source_rgba(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0, 1.0);
    source_ = c;
    has_source_ = true;
}

void CairoPainter::pen(dcRgb c, int width) {
    source(c);
    if (width == width_)
        return;
    cairo_set_line_width(cr_, width);
    width_ = width;
}

double CairoPainter::offset(int width) const {
    return offset_enabled_ && width % 2 == 1 ? 0.5 / scale_ : 0;
}

void CairoPainter::segment(int x1, int y1, int x2, int y2, dcRgb c, int width) {
    pen(c, width);
    const double o = offset(width);
    if (o != 0)
        cairo_translate(cr_, o, o);
    cairo_move_to(cr_, x1, y1);
    cairo_line_to(cr_, x2, y2);
    cairo_stroke(cr_);
    if (o != 0)
        cairo_translate(cr_, -o, -o);
}

void CairoPainter::polyline(int n, const wxPoint* points, dcRgb c, int width) {
    if (n < 2)
        return;
    pen(c, width);
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

void CairoPainter::disc(int cx, int cy, int m, dcRgb c) {
    // The toolkit draws nothing for an ellipse without width.
    if (m <= 0)
        return;
    auto found = discs_->by_radius.find(m);
    if (found == discs_->by_radius.end()) {
        // The toolkit's own path of this ellipse about the origin: its arc
        // and its rounding, which moving by whole pixels keeps exactly.
        wxGraphicsContext* gc = dc_.GetGraphicsContext();
        wxGraphicsPath path = gc->CreatePath();
        path.AddEllipse(-m, -m, 2 * m, 2 * m);
        auto* native = static_cast<cairo_path_t*>(path.GetNativePath());
        std::vector<cairo_path_data_t> data(native->data, native->data + native->num_data);
        path.UnGetNativePath(native);
        found = discs_->by_radius.emplace(m, std::move(data)).first;
    }
    std::vector<cairo_path_data_t>& moved = discs_->moved;
    moved = found->second;
    for (std::size_t k = 0; k < moved.size(); k += moved[k].header.length)
        for (int p = 1; p < moved[k].header.length; ++p) {
            moved[k + p].point.x += cx;
            moved[k + p].point.y += cy;
        }
    cairo_path_t path{CAIRO_STATUS_SUCCESS, moved.data(), static_cast<int>(moved.size())};
    // The toolkit fills, then strokes with the pen: one pixel wide here.
    const double o = offset(1);
    if (o != 0)
        cairo_translate(cr_, o, o);
    cairo_new_path(cr_);
    cairo_append_path(cr_, &path);
    source(c);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill_preserve(cr_);
    pen(c, 1);
    cairo_stroke(cr_);
    if (o != 0)
        cairo_translate(cr_, -o, -o);
}

void CairoPainter::text(int x, int y, const dcLabel& label, dcRgb c) {
    if (label.text_.empty())
        return;
    // Pango itself would shape the text again for every new context; the
    // layout stays while font, font options and transformation are the
    // ones it was made for, and is then exactly what a new one would be.
    const bool same = label.layout_ && pango_font_description_equal(label.font_, font_) &&
                      cairo_font_options_equal(label.options_, options_) &&
                      std::equal(std::begin(matrix_), std::end(matrix_), label.matrix_);
    if (!same) {
        label.forget();
        const wxScopedCharBuffer utf8 = label.text_.utf8_str();
        label.layout_ = pango_cairo_create_layout(cr_);
        pango_layout_set_font_description(label.layout_, font_);
        pango_layout_set_text(label.layout_, utf8.data(), static_cast<int>(utf8.length()));
        label.font_ = pango_font_description_copy(font_);
        label.options_ = cairo_font_options_copy(options_);
        std::copy(std::begin(matrix_), std::end(matrix_), label.matrix_);
    }
    source(c);
    cairo_move_to(cr_, x, y);
    pango_cairo_show_layout(cr_, label.layout_);
}

void CairoPainter::image(const RasterCanvas& canvas) {
    if (canvas.width() <= 0 || canvas.height() <= 0)
        return;
    // Cairo only reads the pixels of a source surface.
    auto* data = reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(canvas.pixels()));
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        data, CAIRO_FORMAT_RGB24, canvas.width(), canvas.height(), canvas.width() * 4);
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr_, surface, 0, 0);
    cairo_rectangle(cr_, 0, 0, canvas.width(), canvas.height());
    cairo_fill(cr_);
    cairo_restore(cr_);
    cairo_surface_destroy(surface);
    has_source_ = false;
}
