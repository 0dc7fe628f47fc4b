// The application object: starts the toolkit and opens the one main window.
#pragma once

#include <wx/app.h>
#include <wx/string.h>

class ZenorbApp : public wxApp {
public:
    bool OnInit() override;

    // The per-user data directory (freedesktop layout, ~/.local/share/zenorb
    // unless XDG_DATA_HOME says otherwise), created on first use. Catalogue
    // and element files live there. Usable from any wxApp, so that tests
    // and dialogs reach the same place.
    static wxString data_directory();
};

wxDECLARE_APP(ZenorbApp);
