#include "gui/app.h"

#include <wx/image.h>
#include <wx/stdpaths.h>

#include "gui/data_directory.h"
#include "gui/frame.h"

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
