// One picture of the system as the drawing panel shows it. The program's
// panel, its "Save picture..." and the simulator's pictures all draw
// through compose_picture, so that what is saved is what is shown.
#pragma once

#include <string>

#include <wx/dc.h>
#include <wx/image.h>

#include "render/display_options.h"

class nbSystem;
class RasterCanvas;
class wxDCDraw;

// On w x h pixels of dc: black background, the options copied into the
// scene, the view panned onto the body named `tracked` (none when empty or
// not in the system), then the system drawn. Nothing but the background
// for a null system. With a raster canvas the display-list mode is drawn
// on the program's own scan converter (what the window does at every tick),
// without one through Cairo's own (pictures saved and written, and where
// the device context has no Cairo context).
void compose_picture(wxDC& dc, wxDCDraw& scene, const nbSystem* system,
                     const DisplayOptions& options, const std::string& tracked, int w, int h,
                     RasterCanvas* raster = nullptr);

// The same picture in an image, without a window or a display, its labels
// in `font` (a window's, for the picture that window shows) or the image
// canvas's own. An invalid image when no picture of that size can be made.
wxImage draw_picture(wxDCDraw& scene, const nbSystem* system, const DisplayOptions& options,
                     const std::string& tracked, int w, int h, const wxFont* font = nullptr);

// Writes image as a PNG file in one piece (see write_file_atomically);
// false with a reason in plain words.
bool save_png(const wxImage& image, const std::string& path, std::string& error);
