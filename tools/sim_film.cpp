#include "tools/sim_film.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "render/picture.h"

bool SimFilm::begin(std::string& error) {
    if (!options_.frames_dir.empty()) {
        std::error_code made;
        std::filesystem::create_directories(options_.frames_dir, made);
        if (made) {
            error = "cannot make the folder '" + options_.frames_dir + "': " + made.message();
            return false;
        }
    }
    if (!options_.film_file.empty() &&
        !film_.open(options_.film_file, options_.width, options_.height, options_.fps, error)) {
        error = "cannot make the film '" + options_.film_file + "': " + error;
        return false;
    }
    return true;
}

bool SimFilm::add(const wxImage& picture, std::string& error) {
    if (!options_.frames_dir.empty()) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06ld.png", frames_ + 1);
        const std::string path = (std::filesystem::path(options_.frames_dir) / name).string();
        if (!save_png(picture, path, error)) {
            error = "cannot write the picture '" + path + "': " + error;
            return false;
        }
    }
    if (!options_.film_file.empty()) {
        const FilmFrame frame =
            rgb_frame(picture.GetData(), picture.GetWidth(), picture.GetHeight());
        if (!film_.add(frame, error)) {
            // The writer's reason names the file.
            error = "the film stops after " + std::to_string(frames_) + " frames: " + error +
                    "; the frames already in the file stay a playable film";
            return false;
        }
    }
    ++frames_;
    return true;
}

bool SimFilm::finish(std::string& error) {
    if (film_.finish(error))
        return true;
    error = "cannot finish the film '" + options_.film_file + "': " + error;
    return false;
}
