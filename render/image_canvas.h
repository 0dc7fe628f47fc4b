// A device context that draws into an image, without a window or a display:
// Cairo over a wxImage. Used for pictures from the command line, the tests
// and the benchmarks.
#pragma once

#include <memory>

#include <wx/defs.h> // before dcgraph.h, which tests its settings

#include <wx/dcgraph.h>
#include <wx/image.h>

class ImageCanvas {
public:
    // A black picture of w x h pixels.
    ImageCanvas(int w, int h);
    ~ImageCanvas();
    ImageCanvas(const ImageCanvas&) = delete;
    ImageCanvas& operator=(const ImageCanvas&) = delete;

    bool ok() const { return dc_ != nullptr; }
    wxDC& dc() { return *dc_; }
    // Ends the drawing and hands out the picture; the canvas is spent.
    wxImage finish();

private:
    wxImage image_;
    std::unique_ptr<wxGCDC> dc_;
};
