#include "render/image_canvas.h"

#include <wx/font.h>
#include <wx/graphics.h>

ImageCanvas::ImageCanvas(int w, int h) : image_(w, h, true) {
    wxGraphicsRenderer* cairo = wxGraphicsRenderer::GetCairoRenderer();
    if (!cairo || !image_.IsOk())
        return;
    wxGraphicsContext* context = cairo->CreateContextFromImage(image_);
    if (!context)
        return;
    // Crisp one-pixel lines and discs, as on a window.
    context->SetAntialiasMode(wxANTIALIAS_NONE);
    // Pixel-centred lines, as the window device context draws them.
    context->EnableOffset(true);
    dc_ = std::make_unique<wxGCDC>(context);
    // A window's device context starts with the window's font; without a
    // window there is none, and text needs one.
    dc_->SetFont(wxFont(wxFontInfo(10).Family(wxFONTFAMILY_SWISS)));
}

ImageCanvas::~ImageCanvas() = default;

wxImage ImageCanvas::finish() {
    // The context writes its pixels back into the image when it goes.
    dc_.reset();
    return image_;
}
