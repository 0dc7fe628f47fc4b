#include "gui/data_directory.h"

#include <wx/filename.h>
#include <wx/utils.h>

wxString data_directory() {
    // wx 3.2's GetUserDataDir() keeps the classic ~/.zenorb even under the
    // XDG layout, so the freedesktop rule is applied here: $XDG_DATA_HOME
    // when it is an absolute path, ~/.local/share otherwise.
    wxString base;
    if (!wxGetEnv("XDG_DATA_HOME", &base) || !wxIsAbsolutePath(base))
        base = wxFileName::GetHomeDir() + "/.local/share";
    const wxString dir = base + "/" + APP_NAME;
    if (!wxFileName::DirExists(dir))
        wxFileName::Mkdir(dir, 0777, wxPATH_MKDIR_FULL);
    return dir;
}
