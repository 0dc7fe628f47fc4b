// The simulator's film of a run: its pictures encoded into an MP4 file
// (--film) or written as numbered PNG files (--frames), or both.
#pragma once

#include <string>

#include <wx/image.h>

#include "film/film_writer.h"
#include "tools/sim_options.h"

class SimFilm {
public:
    explicit SimFilm(const SimOptions& options) : options_(options) {}

    bool wanted() const { return !options_.film_file.empty() || !options_.frames_dir.empty(); }
    // The steps between two pictures.
    long every() const { return options_.every > 0 ? options_.every : 1; }

    // Opens the film and makes the folder of the pictures; false with a
    // message naming the file or folder.
    bool begin(std::string& error);
    // One picture more; false with a message when it cannot be written (the
    // film keeps the frames before, see FilmWriter::add).
    bool add(const wxImage& picture, std::string& error);
    // Closes the film; false with a message when its end cannot be written.
    bool finish(std::string& error);

    long frames() const { return frames_; }

private:
    const SimOptions& options_;
    FilmWriter film_;
    long frames_ = 0;
};
