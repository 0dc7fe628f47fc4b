// The application object: starts the toolkit and opens the one main window.
#pragma once

#include <wx/app.h>
#include <wx/string.h>

class ZenorbApp : public wxApp {
public:
    bool OnInit() override;
};

wxDECLARE_APP(ZenorbApp);
