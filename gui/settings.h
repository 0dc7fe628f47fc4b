// What the main window remembers between runs: its place and size, the
// display options, the simulation's step, period and mode, the bodies it
// follows and measures, and the folders its file dialogs last used. Kept in
// zenorb.conf of the per-user config directory.
#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

#include "nbody/system.h"
#include "render/display_options.h"

struct ZenorbSettings {
    static constexpr const char* FILE_NAME = "zenorb.conf";
    // The accepted ranges; a value outside its range is left at its default.
    static constexpr int MIN_REFRESH_MS = 30;
    static constexpr int MAX_REFRESH_MS = 500;
    static constexpr int MAX_WINDOW_SIDE = 30000;
    static constexpr int MAX_COORDINATE = 100000;

    // The frame's outer size; unknown (the program's own) while not positive.
    wxSize window_size{-1, -1};
    bool has_position = false;
    wxPoint window_position{0, 0};
    bool maximised = false;
    DisplayOptions options;
    double step_days = DEFAULT_STEP_DAYS;
    int refresh_ms = 55;
    bool high_accuracy = false;
    // Body names; empty for none.
    wxString tracked = "Sun";
    wxString object_a;
    wxString object_b;
    // The last folders of "Save picture", "Record film" and the element
    // files' Restore; empty for the dialog's own default.
    wxString picture_folder;
    wxString film_folder;
    wxString restore_folder;

    bool operator==(const ZenorbSettings& other) const;
    bool operator!=(const ZenorbSettings& other) const { return !(*this == other); }

    // The per-user config directory (freedesktop layout: $XDG_CONFIG_HOME
    // when it is an absolute path, ~/.config otherwise) with zenorb/ in it.
    // Not created here: only a save needs it.
    static wxString config_directory();

    // Replaces these values with dir's file, each value that is missing or
    // out of range keeping its default. No file is no fault: true, no
    // warning. A file that cannot be read or is not a settings file leaves
    // every default and gives false with a one-line warning.
    bool load(const wxString& dir, wxString& warning);
    // Whether dir (made first if missing) takes a new file: tried with one,
    // as permissions alone do not tell (a read-only mount, root).
    static bool can_write(const wxString& dir);
    // Writes the file in one piece (creating dir if needed); false with a
    // one-line reason, the old file then left as it was.
    bool save(const wxString& dir, wxString& error) const;
};
