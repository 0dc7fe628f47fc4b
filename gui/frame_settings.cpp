// The main window's kept settings: the controls given the values read at
// start, and read back into them when the window closes.
#include <algorithm>
#include <iterator>

#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/filefn.h>
#include <wx/msgout.h>
#include <wx/statusbr.h>

#include "gui/frame.h"
#include "gui/single_object_panel.h"
#include "gui/widgets/choice_wx.h"
#include "gui/widgets/spin_ctrl_dbl.h"

namespace {

// At least this much of the window must be on a screen for its kept
// place to be used: enough to grab its title bar.
const int MIN_VISIBLE = 48;

bool on_some_screen(const wxRect& window) {
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        const wxRect seen = window.Intersect(wxDisplay(i).GetGeometry());
        if (seen.width >= MIN_VISIBLE && seen.height >= MIN_VISIBLE)
            return true;
    }
    return false;
}

// A kept name selected where the list still has it; an empty name is no
// selection. A body gone from the system leaves the list as it was.
void select_name(wxChoiceWx* list, const wxString& name) {
    if (name.empty())
        list->SetSelection(wxNOT_FOUND);
    else
        list->SetStringSelection(name);
}

wxString chosen_name(const wxChoiceWx* list) {
    const int index = list->GetSelection();
    return index >= 0 ? list->GetString(index) : wxString();
}

} // namespace

wxString ZenorbFrame::DialogFolder(const wxString& last, const wxString& fallback) {
    return !last.empty() && wxDirExists(last) ? last : fallback;
}

void ZenorbFrame::ApplySettings() {
    Bind(wxEVT_CLOSE_WINDOW, &ZenorbFrame::OnCloseWindow, this);
    const wxString dir = ZenorbSettings::config_directory();
    ZenorbSettings kept;
    wxString warning;
    if (!kept.load(dir, warning)) {
        kept = ZenorbSettings(); // nothing of a damaged file is trusted
        // Also on the terminal: the status bar's line is soon replaced.
        wxMessageOutputStderr().Printf("zenorb: %s\n", warning);
        SetStatusText(warning);
    }
    settings_writable = ZenorbSettings::can_write(dir);
    if (!settings_writable)
        SetStatusText("Settings will not be kept: " + dir + " cannot be written");

    wxCheckBox* boxes[] = {orbits, fade_orbits, names,      satellite_names,
                           sun,    axes,        simplified, actual_sizes};
    bool DisplayOptions::*members[] = {
        &DisplayOptions::orbits,          &DisplayOptions::fade_orbits, &DisplayOptions::names,
        &DisplayOptions::satellite_names, &DisplayOptions::sun,         &DisplayOptions::axes,
        &DisplayOptions::simplified,      &DisplayOptions::actual_sizes};
    for (size_t i = 0; i < std::size(boxes); ++i)
        boxes[i]->SetValue(kept.options.*members[i]);
    timestep->SetValue(kept.step_days);
    refresh->SetValue(kept.refresh_ms);
    refresh_ms = kept.refresh_ms;
    if (ticking)
        StartTicks(refresh_ms);
    if (kept.high_accuracy != high_accuracy->GetValue()) {
        high_accuracy->SetValue(kept.high_accuracy);
        ResetSimulation();
    }
    select_name(toolbar->track_choice(), kept.tracked);
    select_name(object_a, kept.object_a);
    select_name(object_b, kept.object_b);
    picture_folder = kept.picture_folder;
    film_folder = kept.film_folder;
    SingleObjectPanel::set_restore_folder(kept.restore_folder);

    // After the start-up's own sizing (queued by the constructor), which
    // would otherwise clamp a smaller kept size to the first layout's.
    CallAfter([this, kept] {
        if (kept.window_size.x > 0) {
            const int display = wxDisplay::GetFromWindow(this);
            const wxRect screen = wxDisplay(display == wxNOT_FOUND ? 0 : display).GetClientArea();
            SetSize(wxSize(std::min(kept.window_size.x, screen.width),
                           std::min(kept.window_size.y, screen.height)));
        }
        if (kept.has_position && on_some_screen(wxRect(kept.window_position, GetSize())))
            Move(kept.window_position);
        if (kept.maximised)
            Maximize(true);
        settings_at_start = CollectSettings();
        // A maximised window keeps the size it comes back to.
        if (kept.maximised) {
            settings_at_start.window_size = kept.window_size;
            settings_at_start.has_position = kept.has_position;
            settings_at_start.window_position = kept.window_position;
        }
        settings_applied = true;
    });
}

ZenorbSettings ZenorbFrame::CollectSettings() const {
    ZenorbSettings now;
    now.maximised = IsMaximized();
    if (now.maximised && settings_applied) {
        now.window_size = settings_at_start.window_size;
        now.has_position = settings_at_start.has_position;
        now.window_position = settings_at_start.window_position;
    } else {
        now.window_size = GetSize();
        now.has_position = true;
        now.window_position = GetPosition();
    }
    now.options = CurrentOptions();
    now.step_days = timestep->GetValue();
    now.refresh_ms = refresh_ms;
    now.high_accuracy = high_accuracy->GetValue();
    now.tracked = chosen_name(toolbar->track_choice());
    now.object_a = chosen_name(object_a);
    now.object_b = chosen_name(object_b);
    now.picture_folder = picture_folder;
    now.film_folder = film_folder;
    now.restore_folder = SingleObjectPanel::restore_folder();
    return now;
}

void ZenorbFrame::SaveSettings() {
    // Closed before the settings were in place, or nothing changed: the
    // file stays as it was, a damaged one included.
    if (!settings_applied || !settings_writable)
        return;
    const ZenorbSettings now = CollectSettings();
    if (now == settings_at_start)
        return;
    wxString error;
    if (now.save(ZenorbSettings::config_directory(), error))
        settings_at_start = now;
    else
        // The window is going: a box now would hold up the quit.
        wxMessageOutputStderr().Printf("zenorb: settings not kept: %s\n", error);
}

void ZenorbFrame::OnCloseWindow(wxCloseEvent& event) {
    SaveSettings();
    event.Skip();
}
