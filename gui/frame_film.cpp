// The main window's film: "Record film..." and the pictures it records.
#include <wx/dcmemory.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/stdpaths.h>

#include "gui/frame.h"

bool ZenorbFrame::StartRecording(const wxString& path, wxString& error) {
    if (film.recording()) {
        error = "a film is being recorded already";
        return false;
    }
    const wxSize size = drawing_panel->GetClientSize();
    if (!film.start(path, size.x, size.y, FilmRecorder::fps_for_refresh(refresh_ms), error))
        return false;
    GetMenuBar()->SetLabel(ID_RECORD_FILM, "Stop recording");
    SetStatusText(film.progress());
    return true;
}

bool ZenorbFrame::StopRecording(wxString& error) {
    if (!film.recording())
        return true;
    const long frames = film.frames();
    const double seconds = film.seconds();
    const wxString name = wxFileName(film.path()).GetFullName();
    const bool ok = film.stop(error);
    RecordingEnded(ok ? wxString::Format("Film %s saved: %ld frames, %.1f s", name, frames, seconds)
                      : "The film " + name + " could not be finished: " + error);
    return ok;
}

void ZenorbFrame::RecordingEnded(const wxString& message) {
    GetMenuBar()->SetLabel(ID_RECORD_FILM, "Record film...");
    SetStatusText(message);
}

void ZenorbFrame::ComposeRecorded(wxDC& target) {
    const wxSize size = drawing_panel->GetClientSize();
    if (size.x <= 0 || size.y <= 0)
        return;
    if (!film_picture.IsOk() || film_picture.GetSize() != size)
        film_picture.Create(size, 24);
    {
        wxMemoryDC picture(film_picture);
        // The panel's own font, which a window's device context has.
        picture.SetFont(drawing_panel->GetFont());
        ComposeOn(picture);
        target.Blit(0, 0, size.x, size.y, &picture, 0, 0);
    }
    wxString error;
    if (film.add(film_picture.ConvertToImage(), error)) {
        SetStatusText(film.progress());
        return;
    }
    // The file takes no more (a full disk, a size limit): what it holds is
    // a film of the frames before, and the user needs to know why it ends.
    const long frames = film.frames();
    wxString ignored;
    film.stop(ignored);
    RecordingEnded(wxString::Format("Recording stopped after %ld frames: %s; the frames before "
                                    "stay a playable film",
                                    frames, error));
}

void ZenorbFrame::OnRecordFilm(wxCommandEvent&) {
    wxString error;
    if (film.recording()) {
        StopRecording(error);
        return;
    }
    wxFileDialog dialog(
        this, "Record film",
        DialogFolder(film_folder, wxStandardPaths::Get().GetUserDir(wxStandardPaths::Dir_Videos)),
        "zenorb.mp4", "MP4 film (*.mp4)|*.mp4", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return;
    wxFileName file(dialog.GetPath());
    film_folder = file.GetPath();
    if (!file.HasExt())
        file.SetExt("mp4");
    if (!StartRecording(file.GetFullPath(), error))
        wxMessageBox("No film is recorded: " + error, "Record film", wxOK | wxICON_ERROR, this);
}
