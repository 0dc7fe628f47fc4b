#include "gui/about.h"

#include <wx/filename.h>
#include <wx/platinfo.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include "gui/tool_pictures.h"

namespace {

const char* const GUIDE_FILE = "guide.html";
// Relative to the executable's folder: beside it in the build tree, under
// the installation prefix's documentation once installed.
const char* const GUIDE_PLACES[] = {".", "../share/doc/zenorb"};

} // namespace

wxString toolkit_description() {
    wxString port = wxPlatformInfo::Get().GetPortIdShortName();
    port.MakeUpper();
    return wxGetLibraryVersionInfo().GetVersionString() + "-" + port + "-Unicode build";
}

wxAboutDialogInfo about_info() {
    wxAboutDialogInfo info;
    info.SetName("Zenorb");
    info.SetVersion(ZENORB_VERSION);
    info.SetDescription(toolkit_description());
    info.AddDeveloper("The Zenorb developers");
    // Without one GTK's box shows a missing-picture sign.
    info.SetIcon(icon_bundle().GetIcon(wxSize(ABOUT_ICON_SIDE, ABOUT_ICON_SIDE)));
    const wxString guide = user_guide_url();
    if (!guide.empty())
        info.SetWebSite(guide, "Zenorb user guide");
    return info;
}

wxString find_user_guide(const wxString& exe_dir) {
    for (const char* place : GUIDE_PLACES) {
        wxFileName file(exe_dir + "/" + place, GUIDE_FILE);
        file.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
        if (file.FileExists())
            return file.GetFullPath();
    }
    return wxString();
}

wxString user_guide_url() {
    const wxFileName exe(wxStandardPaths::Get().GetExecutablePath());
    const wxString path = find_user_guide(exe.GetPath());
    return path.empty() ? wxString() : wxFileName::FileNameToURL(wxFileName(path));
}
