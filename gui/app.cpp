#include "gui/app.h"

#include <wx/filename.h>
#include <wx/image.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include "gui/frame.h"

// The program's name fixes the data directory's name, whatever the
// executable is called (the GUI tests run as another program).
static const char* const APP_NAME = "zenorb";

bool ZenorbApp::OnInit() {
    SetAppName(APP_NAME);
    SetAppDisplayName("Zenorb");
    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
    wxInitAllImageHandlers();
    ZenorbFrame* frame = new ZenorbFrame(nullptr, wxID_ANY);
    frame->Show();
    SetTopWindow(frame);
    return true;
}

wxString ZenorbApp::data_directory() {
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
