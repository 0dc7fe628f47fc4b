#include "render/picture.h"

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include "nbody/system.h"
#include "readers/atomic_write.h"
#include "render/cairo_painter.h"
#include "render/image_canvas.h"
#include "render/raster_canvas.h"
#include "render/scene.h"
#include "render/view_commands.h"

void compose_picture(wxDC& dc, wxDCDraw& scene, const nbSystem* system,
                     const DisplayOptions& options, const std::string& tracked, int w, int h,
                     RasterCanvas* raster) {
    // Crisp one-pixel lines and discs with pixel-centred lines, on the
    // window as in an image, so that a saved picture is the one shown.
    if (wxGraphicsContext* gc = dc.GetGraphicsContext()) {
        gc->SetAntialiasMode(wxANTIALIAS_NONE);
        gc->EnableOffset(true);
    }
    dc.SetClippingRegion(0, 0, w, h);
    scene.set_options(options);
    dc.SetBrush(*wxBLACK_BRUSH);
    dc.SetPen(*wxBLACK_PEN);
    dc.DrawRectangle(0, 0, w, h);
    if (system) {
        if (const nbBody* body = tracked.empty() ? nullptr : system->find(tracked))
            view_track(scene, body->position(), w, h);
        CairoPainter cairo(dc);
        if (raster && !options.simplified && cairo.ok()) {
            scene.choose_labels(dc, *system);
            raster->reset(w, h);
            scene.draw_raster(*raster, *system);
            cairo.image(*raster);
            scene.paint_labels(dc, *system);
        } else {
            scene.draw(dc, system);
        }
    }
    dc.DestroyClippingRegion();
}

wxImage draw_picture(wxDCDraw& scene, const nbSystem* system, const DisplayOptions& options,
                     const std::string& tracked, int w, int h, const wxFont* font) {
    if (w <= 0 || h <= 0)
        return wxImage();
    ImageCanvas canvas(w, h);
    if (!canvas.ok())
        return wxImage();
    if (font && font->IsOk())
        canvas.dc().SetFont(*font);
    compose_picture(canvas.dc(), scene, system, options, tracked, w, h);
    return canvas.finish();
}

bool save_png(const wxImage& image, const std::string& path, std::string& error) {
    if (!image.IsOk()) {
        error = "there is no picture to save";
        return false;
    }
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    // Encoded in memory first, so that the file is written in one piece.
    wxMemoryOutputStream encoded;
    {
        wxLogNull quiet; // the failure is reported once, by the caller
        if (!image.SaveFile(encoded, wxBITMAP_TYPE_PNG) || encoded.GetLength() == 0) {
            error = "cannot encode the picture as PNG";
            return false;
        }
    }
    std::string bytes(encoded.GetLength(), '\0');
    encoded.CopyTo(bytes.data(), bytes.size());
    return write_file_atomically(path, bytes, error);
}
