// Writes the application icon as PNG files, DIR/16/zenorb.png and
// DIR/64/zenorb.png, for the installation. Needs no display.
#include <cstdio>
#include <string>

#include <wx/filename.h>
#include <wx/init.h>

#include "gui/tool_pictures.h"
#include "render/picture.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zenorb-icons DIR\n");
        return 2;
    }
    wxInitializer toolkit;
    if (!toolkit.IsOk()) {
        std::fprintf(stderr, "zenorb-icons: cannot initialise the toolkit\n");
        return 1;
    }
    for (int side : {16, 64}) {
        const std::string dir = std::string(argv[1]) + "/" + std::to_string(side);
        wxFileName::Mkdir(wxString::FromUTF8(dir), 0777, wxPATH_MKDIR_FULL);
        std::string error;
        if (!save_png(icon_picture(side), dir + "/zenorb.png", error)) {
            std::fprintf(stderr, "zenorb-icons: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
