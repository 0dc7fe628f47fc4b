// The window's film: every picture the drawing panel shows while recording,
// encoded as it is drawn (see FilmWriter).
#pragma once

#include <string>

#include <wx/image.h>
#include <wx/string.h>

#include "film/film_writer.h"

class FilmRecorder {
public:
    // Frames per second for pictures drawn every refresh_ms, so that the
    // film plays at the pace the window showed it.
    static int fps_for_refresh(int refresh_ms);

    // Starts a film of w x h pixels at path; false with a reason. The film
    // keeps this size: later pictures of another size are centred on it,
    // cropped or on black.
    bool start(const wxString& path, int w, int h, int fps, wxString& error);
    // Adds one picture. False with a reason when the file takes no more: the
    // recording has stopped then, the frames before stay a playable film.
    bool add(const wxImage& picture, wxString& error);
    // Ends the film; false with a reason when its end cannot be written.
    bool stop(wxString& error);

    bool recording() const { return film_.is_open(); }
    long frames() const { return film_.frames(); }
    double seconds() const { return film_.seconds(); }
    const wxString& path() const { return path_; }
    // "Recording zenorb.mp4: 42 frames, 1.4 s" for the status bar.
    wxString progress() const;

private:
    FilmWriter film_;
    wxString path_;
};
