// A picture of the system drawn without a window, as the program's drawing
// panel would show it, saved as a PNG file.
#pragma once

#include <string>

#include <wx/image.h>

#include "tools/sim_options.h"

class nbBody;
class nbSystem;
class wxDCDraw;

// The body the picture keeps in the centre; null for "none" or an unknown
// name (`known` tells which).
const nbBody* tracked_body(const nbSystem& system, const SimOptions& options, bool& known);

// Sets the scene's viewport to the picture's size; the simulator's view,
// like the program's, is sized before the simulation starts.
void size_scene(wxDCDraw& scene, const SimOptions& options);

// Turns the scene to the chosen viewpoint and draws the system at the
// options' size. An invalid image with a message when the tracked body is
// missing or no picture of that size can be made.
wxImage sim_picture(const nbSystem& system, wxDCDraw& scene, const SimOptions& options,
                    std::string& error);

// Draws the system as sim_picture does and writes the
// file. False with a message when the tracked body is missing or the file
// cannot be written (nothing is left at the path then).
bool write_picture(const nbSystem& system, wxDCDraw& scene, const SimOptions& options,
                   std::string& error);
