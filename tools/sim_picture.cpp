#include "tools/sim_picture.h"

#include "nbody/elements.h"
#include "nbody/system.h"
#include "render/picture.h"
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

void size_scene(wxDCDraw& scene, const SimOptions& options) {
    scene.set_viewport(options.width, options.height);
    scene.update();
}

wxImage sim_picture(const nbSystem& system, wxDCDraw& scene, const SimOptions& options,
                    std::string& error) {
    bool known = false;
    const nbBody* tracked = tracked_body(system, options, known);
    if (!known) {
        error = "no body named '" + options.track + "' to track in the picture";
        return wxImage();
    }
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
    DisplayOptions display; // as the program starts
    display.simplified = options.simplified;
    wxImage image = draw_picture(scene, &system, display, tracked ? tracked->name() : "",
                                 options.width, options.height);
    if (!image.IsOk())
        error = "cannot make a picture of " + std::to_string(options.width) + "x" +
                std::to_string(options.height);
    return image;
}

bool write_picture(const nbSystem& system, wxDCDraw& scene, const SimOptions& options,
                   std::string& error) {
    const wxImage image = sim_picture(system, scene, options, error);
    if (!image.IsOk())
        return false;
    if (!save_png(image, options.png_file, error)) {
        error = "cannot write the picture '" + options.png_file + "': " + error;
        return false;
    }
    return true;
}
