// What the Help menu shows: the About box's facts and the user guide, a
// page shipped beside the program.
#pragma once

#include <wx/aboutdlg.h>
#include <wx/string.h>

// The toolkit as this build runs it: "wxWidgets 3.2.2-GTK-Unicode build".
wxString toolkit_description();
// The About box's facts, with the program's icon at ABOUT_ICON_SIDE.
constexpr int ABOUT_ICON_SIDE = 64;
wxAboutDialogInfo about_info();

// The guide's file, looked for beside the executable in exe_dir (a build
// tree) and then in the installed documentation folder exe_dir/../share/
// doc/zenorb. Empty when neither holds it.
wxString find_user_guide(const wxString& exe_dir);
// The guide of the running program as a file:// address; empty if missing.
wxString user_guide_url();
