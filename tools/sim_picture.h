// A picture of the system drawn without a window, as the program's drawing
// panel would show it, saved as a PNG file.
#pragma once

#include <string>

#include "tools/sim_options.h"

class nbBody;
class nbSystem;

// The body the picture keeps in the centre; null for "none" or an unknown
// name (`known` tells which).
const nbBody* tracked_body(const nbSystem& system, const SimOptions& options, bool& known);

// False with a message when the tracked body is missing or the file cannot
// be written.
bool write_picture(const nbSystem& system, const SimOptions& options, std::string& error);
