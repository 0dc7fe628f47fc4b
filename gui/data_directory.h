// Where the program keeps the user's files, below the application object
// and the windows alike.
#pragma once

#include <wx/string.h>

// The program's name; it fixes the data directory's name whatever the
// executable is called (the GUI tests run as another program).
constexpr const char* APP_NAME = "zenorb";

// The per-user data directory (freedesktop layout, ~/.local/share/zenorb
// unless XDG_DATA_HOME says otherwise), created on first use. Catalogue and
// element files live there. Usable from any wxApp, so that tests and
// dialogs reach the same place.
wxString data_directory();
