#include "gui/tool_pictures.h"

#include <algorithm>

#include <wx/dcgraph.h>
#include <wx/graphics.h>

namespace {

const wxColour SUN(0xFF, 0x99, 0x33);
const wxColour CROSS(0xC0, 0xC0, 0xC0);
// The scene's axis colours: red for ecliptic north, green and cyan in the
// ecliptic plane.
const wxColour NORTH(0xFF, 0x00, 0x00);
const wxColour GREEN(0x00, 0xFF, 0x00);
const wxColour CYAN(0x00, 0xFF, 0xFF);

// A Cairo context over a w x w image, black or fully transparent.
class Canvas {
public:
    Canvas(int side, bool transparent) : image_(side, side, true) {
        if (transparent) {
            image_.InitAlpha();
            std::fill_n(image_.GetAlpha(), side * side, 0);
        }
        wxGraphicsRenderer* cairo = wxGraphicsRenderer::GetCairoRenderer();
        if (cairo && image_.IsOk())
            context_ = cairo->CreateContextFromImage(image_);
        if (context_)
            context_->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    }
    ~Canvas() { delete context_; }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void disc(double x, double y, double r, const wxColour& c) {
        if (!context_)
            return;
        context_->SetPen(*wxTRANSPARENT_PEN);
        context_->SetBrush(wxBrush(c));
        context_->DrawEllipse(x - r, y - r, 2 * r, 2 * r);
    }
    void ring(double x, double y, double rx, double ry, double width, const wxColour& c) {
        if (!context_)
            return;
        context_->SetPen(context_->CreatePen(wxGraphicsPenInfo(c).Width(width)));
        context_->SetBrush(*wxTRANSPARENT_BRUSH);
        context_->DrawEllipse(x - rx, y - ry, 2 * rx, 2 * ry);
    }
    void line(double x1, double y1, double x2, double y2, double width, const wxColour& c) {
        if (!context_)
            return;
        context_->SetPen(context_->CreatePen(wxGraphicsPenInfo(c).Width(width)));
        context_->StrokeLine(x1, y1, x2, y2);
    }
    // The context writes its pixels back into the image when it goes.
    wxImage finish() {
        delete context_;
        context_ = nullptr;
        return image_;
    }

private:
    wxImage image_;
    wxGraphicsContext* context_ = nullptr;
};

} // namespace

wxImage tool_picture(ToolPicture which) {
    Canvas c(16, false);
    switch (which) {
    case ToolPicture::RecenterOnSun:
        c.line(8, 1, 8, 15, 2, CROSS);
        c.line(1, 8, 15, 8, 2, CROSS);
        c.disc(8, 8, 3.5, SUN);
        break;
    case ToolPicture::AboveNorthPole:
        c.ring(8, 8, 6, 6, 1.5, CYAN);
        c.disc(8, 8, 3, SUN);
        break;
    case ToolPicture::VernalEquinox:
        c.line(7, 9, 7, 1, 2, NORTH);
        c.line(7, 9, 15, 9, 2, GREEN);
        c.disc(7, 9, 3, SUN);
        break;
    case ToolPicture::ObliqueView:
        c.line(8, 8, 8, 1, 2, NORTH);
        c.line(8, 8, 2, 14, 2, CYAN);
        c.line(8, 8, 14, 14, 2, GREEN);
        c.disc(8, 8, 3, SUN);
        break;
    }
    return c.finish();
}

wxImage icon_picture(int side) {
    // A night-blue disc with the Sun, an inclined orbit and a blue planet on
    // it; drawn on a 64-pixel grid and scaled.
    Canvas c(side, true);
    const double k = side / 64.0;
    c.disc(32 * k, 32 * k, 31.5 * k, wxColour(0x10, 0x18, 0x38));
    c.ring(32 * k, 32 * k, 25 * k, 12 * k, std::max(1.0, 2.5 * k), wxColour(0x90, 0xA0, 0xC0));
    c.disc(32 * k, 32 * k, std::max(2.5, 10 * k), SUN);
    c.disc(52 * k, 25 * k, std::max(1.5, 5.5 * k), wxColour(0x40, 0x90, 0xFF));
    return c.finish();
}

wxIconBundle icon_bundle() {
    wxIconBundle bundle;
    for (int side : {16, 64}) {
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap(icon_picture(side)));
        bundle.AddIcon(icon);
    }
    return bundle;
}
