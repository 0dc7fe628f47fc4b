// Time as users steer it (start, reverse, faster, slower, a new instant)
// and the view's keyboard steps, with their menus.
#include <algorithm>
#include <cmath>

#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/textctrl.h>

#include "datebridge/date_bridge.h"
#include "gui/frame.h"
#include "gui/go_to_date_dialog.h"
#include "gui/widgets/choice_wx.h"
#include "gui/widgets/date_generic_ctrl.h"
#include "gui/widgets/spin_ctrl_dbl.h"
#include "nbody/factory.h"
#include "render/view_commands.h"

void ZenorbFrame::AddSteeringMenus(wxMenuBar* menus, wxMenu* view) {
    auto* simulation = new wxMenu;
    simulation->Append(ID_START_PAUSE, "Start / Pause\tSpace", "Start or pause the simulation");
    simulation->AppendCheckItem(ID_REVERSE, "Reverse\tR", "Run backwards in time");
    simulation->Append(ID_FASTER, "Faster\t]", "Double the time step");
    simulation->Append(ID_SLOWER, "Slower\t[", "Halve the time step");
    simulation->AppendSeparator();
    simulation->Append(ID_GO_TO_DATE, "Go to date...\tCtrl+G",
                       "Build the solar system anew at a date and time of day");
    menus->Append(simulation, "Simulation");

    view->AppendSeparator();
    // GTK takes no arrow key without a modifier as a menu's accelerator:
    // the key is named in the label, and the window's key hook reads it.
    view->Append(ID_ROTATE_LEFT, "Turn Left (Left arrow)");
    view->Append(ID_ROTATE_RIGHT, "Turn Right (Right arrow)");
    view->Append(ID_ROTATE_UP, "Turn Up (Up arrow)");
    view->Append(ID_ROTATE_DOWN, "Turn Down (Down arrow)");
    view->Append(ID_HOME_VIEW, "Default View\tHome", "The view the program starts with");
    view->Append(ID_FOLLOW, "Follow Object A\tF", "Auto-track the body chosen as Object A");

    Bind(wxEVT_MENU, &ZenorbFrame::OnStartPause, this, ID_START_PAUSE);
    Bind(wxEVT_MENU, &ZenorbFrame::OnReverse, this, ID_REVERSE);
    Bind(wxEVT_MENU, &ZenorbFrame::OnFasterSlower, this, ID_FASTER);
    Bind(wxEVT_MENU, &ZenorbFrame::OnFasterSlower, this, ID_SLOWER);
    Bind(wxEVT_MENU, &ZenorbFrame::OnGoToDate, this, ID_GO_TO_DATE);
    Bind(wxEVT_MENU, &ZenorbFrame::OnRotateStep, this, ID_ROTATE_LEFT, ID_ROTATE_DOWN);
    Bind(wxEVT_MENU, &ZenorbFrame::OnHomeView, this, ID_HOME_VIEW);
    Bind(wxEVT_MENU, &ZenorbFrame::OnFollow, this, ID_FOLLOW);
    Bind(wxEVT_CHAR_HOOK, &ZenorbFrame::OnCharHook, this);
}

void ZenorbFrame::OnCharHook(wxKeyEvent& event) {
    // Controls keep their keys (a blank in the time step, Space on a
    // button, letters in a list): the keys steer only from the picture or
    // where no control has the focus.
    const wxWindow* focus = wxWindow::FindFocus();
    const bool free = !focus || focus == drawing_panel || focus == this ||
                      focus == controls_panel || focus == toolbar;
    if (!free || (event.HasAnyModifiers() && event.GetModifiers() != wxMOD_SHIFT)) {
        event.Skip();
        return;
    }
    const int key = event.GetKeyCode();
    const wxChar typed = event.GetUnicodeKey();
    int command = wxID_NONE;
    if (key == WXK_SPACE)
        command = ID_START_PAUSE;
    else if (key == 'R')
        command = ID_REVERSE;
    else if (typed == ']')
        command = ID_FASTER;
    else if (typed == '[')
        command = ID_SLOWER;
    else if (key == WXK_LEFT || key == WXK_NUMPAD_LEFT)
        command = ID_ROTATE_LEFT;
    else if (key == WXK_RIGHT || key == WXK_NUMPAD_RIGHT)
        command = ID_ROTATE_RIGHT;
    else if (key == WXK_UP || key == WXK_NUMPAD_UP)
        command = ID_ROTATE_UP;
    else if (key == WXK_DOWN || key == WXK_NUMPAD_DOWN)
        command = ID_ROTATE_DOWN;
    else if (key == WXK_HOME || key == WXK_NUMPAD_HOME)
        command = ID_HOME_VIEW;
    else if (key == 'F')
        command = ID_FOLLOW;
    else if (typed == '+' || key == WXK_NUMPAD_ADD || (key == '=' && event.ShiftDown()))
        command = wxID_ZOOM_IN;
    else if (typed == '-' || key == WXK_NUMPAD_SUBTRACT)
        command = wxID_ZOOM_OUT;
    if (command == wxID_NONE) {
        event.Skip();
        return;
    }
    wxCommandEvent menu(wxEVT_MENU, command);
    menu.SetEventObject(this);
    if (command == ID_REVERSE) {
        // The check item shows the direction the key chose.
        wxMenuItem* item = GetMenuBar()->FindItem(ID_REVERSE);
        item->Check(!item->IsChecked());
        menu.SetInt(item->IsChecked());
    }
    ProcessWindowEvent(menu);
}

void ZenorbFrame::OnStartPause(wxCommandEvent& event) {
    OnGravitate(event);
}

void ZenorbFrame::OnReverse(wxCommandEvent& event) {
    reversed = event.IsChecked();
    SetStatusText(reversed ? "Reverse: the simulation runs backwards in time."
                           : "Forward: the simulation runs forwards in time.");
}

void ZenorbFrame::OnFasterSlower(wxCommandEvent& event) {
    const double factor = event.GetId() == ID_FASTER ? 2.0 : 0.5;
    const double now = timestep->GetValue();
    const double wanted = std::clamp(now * factor, MIN_STEP_DAYS, MAX_STEP_DAYS);
    if (wanted == now) {
        SetStatusText(wxString::Format("Timestep: %g days is already the %s step.", now,
                                       factor > 1 ? "largest" : "smallest"));
        return;
    }
    timestep->SetValue(wanted);
    SetStatusText(wxString::Format("Timestep: %s days.", timestep->GetTextCtrl()->GetValue()));
}

void ZenorbFrame::OnGoToDate(wxCommandEvent&) {
    const nbSystem* system = the_factory ? the_factory->system() : nullptr;
    if (!system)
        return;
    GoToDateDialog dialog(this, system->time());
    if (dialog.ShowModal() != wxID_OK)
        return;
    double jd = 0;
    wxString error;
    if (!dialog.GetJd(jd, error)) {
        SetStatusText("Go to date: " + error);
        return;
    }
    RebuildAt(jd);
}

void ZenorbFrame::RebuildAt(double jd) {
    const wxDateTime day = jd_to_datetime(std::floor(jd - 0.5) + 0.5);
    if (day.IsValid())
        start_date->SetDate(day);
    the_factory->set_start_date(jd);
    built_at = jd;
    // What the readout said was of the system just replaced.
    ShowReadout(wxEmptyString);
    RefreshBodyLists();
}

void ZenorbFrame::OnRotateStep(wxCommandEvent& event) {
    const int id = event.GetId();
    const int dx = id == ID_ROTATE_LEFT ? -1 : id == ID_ROTATE_RIGHT ? 1 : 0;
    const int dy = id == ID_ROTATE_UP ? -1 : id == ID_ROTATE_DOWN ? 1 : 0;
    const wxSize size = drawing_panel->GetClientSize();
    view_rotate_step(scene, size.x, size.y, dx, dy);
}

void ZenorbFrame::OnHomeView(wxCommandEvent&) {
    // The view as the first size left it: the start-up view.
    if (home_view)
        scene.restore(*home_view);
}

void ZenorbFrame::OnFollow(wxCommandEvent&) {
    const int index = object_a->GetSelection();
    if (index < 0) {
        SetStatusText("Follow: choose the body as Object A first.");
        return;
    }
    const wxString name = object_a->GetString(index);
    if (!toolbar->track_choice()->SetStringSelection(name))
        return;
    SetStatusText("Auto-tracking " + name + ".");
}
