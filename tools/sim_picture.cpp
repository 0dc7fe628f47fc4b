#include "tools/sim_picture.h"

#include <wx/image.h>
#include <wx/log.h>

#include "nbody/elements.h"
#include "nbody/system.h"
#include "render/image_canvas.h"
#include "render/scene.h"
#include "render/view_commands.h"

const nbBody* tracked_body(const nbSystem& system, const SimOptions& options, bool& known) {
    known = true;
    if (options.track == "none")
        return nullptr;
    // Typed like catalogue names: blanks or underscores alike.
    const nbBody* body = system.find(catalogue_name(options.track));
    known = body != nullptr;
    return body;
}

bool write_picture(const nbSystem& system, const SimOptions& options, std::string& error) {
    const int w = options.width, h = options.height;
    bool known = false;
    const nbBody* tracked = tracked_body(system, options, known);
    if (!known) {
        error = "no body named '" + options.track + "' to track in the picture";
        return false;
    }

    wxDCDraw scene;
    scene.set_viewport(w, h);
    scene.update();
    view_start(scene, w, h);
    switch (options.view) {
    case SimOptions::View::North:
        view_from_north_pole(scene);
        break;
    case SimOptions::View::Equinox:
        view_from_vernal_equinox(scene);
        break;
    case SimOptions::View::Oblique:
        view_from_oblique_viewpoint(scene);
        break;
    }
    // The program's display options as they stand at start-up.
    scene.set_display_list(!options.simplified);
    scene.set_orbits(true);
    scene.set_fade_orbits(true);
    scene.set_names(true);
    scene.set_satellite_names(false);
    scene.set_sun(true);
    scene.set_axes(false);
    scene.set_actual_sizes(false);
    if (tracked)
        view_track(scene, tracked->position(), w, h);

    ImageCanvas canvas(w, h);
    if (!canvas.ok()) {
        error = "cannot make a picture of " + std::to_string(w) + "x" + std::to_string(h);
        return false;
    }
    scene.draw(canvas.dc(), &system);
    wxImage image = canvas.finish();
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    wxLogNull quiet; // the failure is reported below, once
    if (!image.SaveFile(wxString::FromUTF8(options.png_file), wxBITMAP_TYPE_PNG)) {
        error = "cannot write the picture '" + options.png_file + "'";
        return false;
    }
    return true;
}
