// What the picture's primitives carry instead of toolkit objects: an opaque
// colour in three bytes, and a label that keeps its shaped text between
// pictures.
#pragma once

#include <wx/string.h>

typedef struct _PangoLayout PangoLayout;
typedef struct _PangoFontDescription PangoFontDescription;
typedef struct _cairo_font_options cairo_font_options_t;

struct dcRgb {
    unsigned char r = 0, g = 0, b = 0;
    bool operator==(const dcRgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const dcRgb& o) const { return !(*this == o); }
};

// Shaping a text is most of drawing it; the layout made at the first
// drawing is kept for the next ones, and made anew for another font.
class dcLabel {
public:
    explicit dcLabel(const wxString& text = wxString()) : text_(text) {}
    ~dcLabel();
    dcLabel(dcLabel&& other) noexcept;
    dcLabel& operator=(dcLabel&& other) noexcept;
    dcLabel(const dcLabel&) = delete;
    dcLabel& operator=(const dcLabel&) = delete;

    const wxString& text() const { return text_; }

private:
    friend class CairoPainter;
    void forget() const;

    wxString text_;
    // What the layout was shaped for: a context with other font options or
    // another transformation needs a new one.
    mutable PangoLayout* layout_ = nullptr;
    mutable PangoFontDescription* font_ = nullptr;
    mutable cairo_font_options_t* options_ = nullptr;
    mutable double matrix_[6] = {};
};
