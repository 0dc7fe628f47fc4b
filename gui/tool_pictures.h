// The program's own pictures, drawn rather than stored: the four view tools
// (16 x 16) and the application icon (16 x 16 and 64 x 64). They need no
// display, so the build also writes the icon files it installs.
#pragma once

#include <wx/iconbndl.h>
#include <wx/image.h>

enum class ToolPicture { RecenterOnSun, AboveNorthPole, VernalEquinox, ObliqueView };

wxImage tool_picture(ToolPicture which);
// The icon at side pixels (drawn for 16 and 64; any size works).
wxImage icon_picture(int side);
// The frame's icon: 16 x 16 and 64 x 64.
wxIconBundle icon_bundle();
