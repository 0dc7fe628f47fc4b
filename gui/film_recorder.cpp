#include "gui/film_recorder.h"

#include <algorithm>
#include <cmath>
#include <csignal>

#include <wx/filename.h>

int FilmRecorder::fps_for_refresh(int refresh_ms) {
    if (refresh_ms <= 0)
        return 30;
    return std::clamp(int(std::lround(1000.0 / refresh_ms)), 1, 60);
}

bool FilmRecorder::start(const wxString& path, int w, int h, int fps, wxString& error) {
    // A file-size limit then fails a write, with a message, instead of
    // ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    std::string reason;
    if (!film_.open(path.utf8_string(), w, h, fps, reason)) {
        error = wxString::FromUTF8(reason);
        return false;
    }
    path_ = path;
    return true;
}

bool FilmRecorder::add(const wxImage& picture, wxString& error) {
    if (!picture.IsOk()) {
        error = "there is no picture to record";
        return false;
    }
    const FilmFrame frame = rgb_frame(picture.GetData(), picture.GetWidth(), picture.GetHeight());
    std::string reason;
    if (film_.add(frame, reason))
        return true;
    error = wxString::FromUTF8(reason);
    return false;
}

bool FilmRecorder::stop(wxString& error) {
    std::string reason;
    if (film_.finish(reason))
        return true;
    error = wxString::FromUTF8(reason);
    return false;
}

wxString FilmRecorder::progress() const {
    return wxString::Format("Recording %s: %ld frames, %.1f s", wxFileName(path_).GetFullName(),
                            frames(), seconds());
}
