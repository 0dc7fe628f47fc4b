#include "gui/frame.h"

#include <algorithm>
#include <cmath>

#include <wx/accel.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include "catalog/download_dialog.h"
#include "datebridge/date_bridge.h"
#include "gui/about.h"
#include "gui/approaches_dialog.h"
#include "gui/data_directory.h"
#include "gui/orbital_elements_dialog.h"
#include "gui/tool_pictures.h"
#include "gui/widgets/choice_wx.h"
#include "gui/widgets/date_generic_ctrl.h"
#include "gui/widgets/spin_ctrl_dbl.h"
#include "nbody/factory.h"
#include "render/picture.h"
#include "render/view_commands.h"
#include "session/simulation_start.h"

namespace {

const double ASTRONOMICAL_UNIT_M = 1.49598e11;
const int BORDER = 5;

nbSystem* current_system() {
    return the_factory ? the_factory->system() : nullptr;
}

// The text of a choice's selection; empty without one.
wxString selected_text(const wxChoiceWx* choice) {
    const int index = choice->GetSelection();
    return index >= 0 ? choice->GetString(index) : wxString();
}

} // namespace

wxBEGIN_EVENT_TABLE(ZenorbFrame, wxFrame)
    EVT_TIMER(ZenorbFrame::ID_TIMER, ZenorbFrame::OnTimer)
    EVT_BUTTON(ZenorbFrame::ID_BUTTON1, ZenorbFrame::OnSetStartDate)
    EVT_CHECKBOX(ZenorbFrame::ID_CHECKBOX11, ZenorbFrame::OnHighAccuracy)
    EVT_BUTTON(ZenorbFrame::ID_BUTTON2, ZenorbFrame::OnGravitate)
    EVT_SPINCTRL(ZenorbFrame::ID_SPINCTRL2, ZenorbFrame::OnRefreshChanged)
    EVT_COMBOBOX(ZenorbFrame::ID_CHOICE2, ZenorbFrame::OnObjectChoice)
    EVT_COMBOBOX(ZenorbFrame::ID_CHOICE3, ZenorbFrame::OnObjectChoice)
    EVT_MENU(ZenorbToolbar::ID_DOWNLOAD, ZenorbFrame::OnDownload)
    EVT_MENU(ZenorbToolbar::ID_ORBITAL_ELEMENTS, ZenorbFrame::OnManageObjects)
    EVT_MENU(ZenorbToolbar::ID_RECENTER_SUN, ZenorbFrame::OnRecenterSun)
    EVT_MENU(ZenorbToolbar::ID_ABOVE_NORTH_POLE, ZenorbFrame::OnViewNorthPole)
    EVT_MENU(ZenorbToolbar::ID_VERNAL_EQUINOX, ZenorbFrame::OnViewVernalEquinox)
    EVT_MENU(ZenorbToolbar::ID_OBLIQUE_VIEW, ZenorbFrame::OnViewOblique)
    EVT_MENU(ZenorbToolbar::ID_APPROACHES, ZenorbFrame::OnApproaches)
    EVT_MENU(wxID_ZOOM_IN, ZenorbFrame::OnZoomIn)
    EVT_MENU(wxID_ZOOM_OUT, ZenorbFrame::OnZoomOut)
    EVT_MENU(ZenorbFrame::ID_SAVE_PICTURE, ZenorbFrame::OnSavePicture)
    EVT_MENU(ZenorbFrame::ID_RECORD_FILM, ZenorbFrame::OnRecordFilm)
    EVT_MENU(ZenorbFrame::ID_WEBSITE, ZenorbFrame::OnWebSite)
    EVT_MENU(wxID_ABOUT, ZenorbFrame::OnAbout)
    EVT_MENU(wxID_EXIT, ZenorbFrame::OnQuit)
    EVT_SIZE(ZenorbFrame::OnSize)
    EVT_IDLE(ZenorbFrame::OnIdle)
wxEND_EVENT_TABLE()

ZenorbFrame::ZenorbFrame(wxWindow* parent, wxWindowID id)
    : wxFrame(parent, id, "Zenorb", wxDefaultPosition, wxDefaultSize, wxDEFAULT_FRAME_STYLE),
      timer(this, ID_TIMER) {
    SetClientSize(640, 480);

    // Scrolls where the screen is lower than the column (large fonts, a
    // scaled display).
    auto* scrolled =
        new wxScrolledWindow(this, ID_PANEL2, wxDefaultPosition, wxDefaultSize,
                             wxRAISED_BORDER | wxTAB_TRAVERSAL | wxVSCROLL, "ID_PANEL2");
    scrolled->SetScrollRate(0, 10);
    controls_panel = scrolled;

    // "Simulation": start date, start/pause, time step, refresh, display options.
    auto* simulation = new wxStaticBoxSizer(wxVERTICAL, controls_panel, "Simulation");
    wxWindow* box = simulation->GetStaticBox();
    simulation->Add(new wxStaticText(box, wxID_ANY, "Start date", wxDefaultPosition, wxDefaultSize,
                                     0, "ID_STATICTEXT3"),
                    0, wxALL, BORDER);
    start_date = new wxDateGenericCtrl(box, ID_DATEPICKERCTRL1, wxDefaultPosition, wxSize(200, -1),
                                       wxTAB_TRAVERSAL, "ID_DATEPICKERCTRL1");
    simulation->Add(start_date, 0, wxALL, BORDER);
    set_start_date = new wxButton(box, ID_BUTTON1, "Set start date", wxDefaultPosition,
                                  wxDefaultSize, 0, wxDefaultValidator, "ID_BUTTON1");
    simulation->Add(set_start_date, 0, wxALL | wxEXPAND, BORDER);
    high_accuracy = new wxCheckBox(box, ID_CHECKBOX11, "High accuracy", wxDefaultPosition,
                                   wxDefaultSize, 0, wxDefaultValidator, "ID_CHECKBOX11");
    high_accuracy->SetToolTip("Integrate with sub-steps in one frame of reference, so that "
                              "positions agree with the sky (rebuilds at the start date)");
    simulation->Add(high_accuracy, 0, wxALL, BORDER);
    simulation->AddStretchSpacer();
    gravitate = new wxButton(box, ID_BUTTON2, "Gravitate!", wxDefaultPosition, wxDefaultSize, 0,
                             wxDefaultValidator, "ID_BUTTON2");
    simulation->Add(gravitate, 0, wxALL | wxEXPAND, BORDER);

    auto* steps = new wxFlexGridSizer(2, 0, 0);
    steps->AddGrowableCol(1);
    steps->Add(new wxStaticText(box, wxID_ANY, "Timestep [days]", wxDefaultPosition, wxDefaultSize,
                                0, "ID_STATICTEXT1"),
               0, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
    timestep = new wxSpinCtrlDbl(box, ID_SPINCTRL1, wxEmptyString, wxDefaultPosition,
                                 wxSize(60, -1), 0, 0, 100, 0, "ID_SPINCTRL1");
    steps->Add(timestep, 0, wxALL | wxEXPAND, BORDER);
    steps->Add(new wxStaticText(box, wxID_ANY, "Refresh [ms]", wxDefaultPosition, wxDefaultSize, 0,
                                "ID_STATICTEXT2"),
               0, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
    // Whole milliseconds, in the same control as the time step, so that
    // both say why a typed value was not taken.
    refresh = new wxSpinCtrlDbl(box, ID_SPINCTRL2, wxEmptyString, wxDefaultPosition, wxSize(60, -1),
                                0, 30, 500, DEFAULT_REFRESH_MS, "ID_SPINCTRL2");
    steps->Add(refresh, 0, wxALL | wxEXPAND, BORDER);
    // GTK's spin buttons take much of the width: the values must show whole.
    const int arrows = timestep->GetSpinButton()->GetSize().x;
    timestep->SetMinSize(
        wxSize(std::max(60, timestep->GetTextExtent("30.000").x + 24 + arrows), -1));
    refresh->SetMinSize(wxSize(std::max(60, refresh->GetTextExtent("500").x + 24 + arrows), -1));
    simulation->Add(steps, 0, wxEXPAND);

    auto* options = new wxGridSizer(2, 0, 0);
    auto check = [&](const char* label, const char* name, bool on) {
        auto* c = new wxCheckBox(box, wxID_ANY, label, wxDefaultPosition, wxDefaultSize, 0,
                                 wxDefaultValidator, name);
        c->SetValue(on);
        options->Add(c, 0, wxALL, BORDER);
        return c;
    };
    const DisplayOptions start; // the program's start-up state
    orbits = check("Orbits", "ID_CHECKBOX3", start.orbits);
    fade_orbits = check("Fade orbits", "ID_CHECKBOX9", start.fade_orbits);
    names = check("Names", "ID_CHECKBOX1", start.names);
    satellite_names = check("Sat. names", "ID_CHECKBOX10", start.satellite_names);
    sun = check("Sun", "ID_CHECKBOX8", start.sun);
    axes = check("Axes", "ID_CHECKBOX7", start.axes);
    simplified = check("Simplified", "ID_CHECKBOX6", start.simplified);
    actual_sizes = check("Actual sizes", "ID_CHECKBOX2", start.actual_sizes);
    simulation->Add(options, 0, wxEXPAND);

    // "Object separation": two bodies and the distance between them.
    auto* objects = new wxStaticBoxSizer(wxVERTICAL, controls_panel, "Object separation");
    box = objects->GetStaticBox();
    auto choice_row = [&](const char* label, const char* label_name, int id, const char* name) {
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(new wxStaticText(box, wxID_ANY, label, wxDefaultPosition, wxSize(60, -1), 0,
                                  label_name),
                 0, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
        // Wider than its least where the column allows: catalogue names are long.
        auto* choice = new wxChoiceWx(box, id, wxDefaultPosition, wxSize(100, -1), 0, nullptr, 0,
                                      wxDefaultValidator, name);
        row->Add(choice, 1, wxALL | wxALIGN_CENTER_VERTICAL, BORDER);
        objects->Add(row, 0, wxEXPAND);
        return choice;
    };
    object_a = choice_row("Object A", "ID_STATICTEXT4", ID_CHOICE2, "ID_CHOICE2");
    object_b = choice_row("Object B", "ID_STATICTEXT5", ID_CHOICE3, "ID_CHOICE3");
    separation = new wxStaticText(box, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                                  "ID_STATICTEXT7");
    objects->Add(separation, 0, wxALL | wxEXPAND, BORDER);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(simulation, 1, wxALL | wxEXPAND, BORDER);
    column->Add(objects, 0, wxALL | wxEXPAND, BORDER);
    controls_panel->SetSizer(column);
    // As wide as the column with room for the scroll bar, so that it never
    // scrolls sideways.
    const wxSize column_size = column->GetMinSize();
    controls_panel->SetMinSize(
        wxSize(column_size.x + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, controls_panel),
               column_size.y));

    drawing_panel = new wxPanel(this, ID_PANEL1, wxDefaultPosition, wxSize(854, 640),
                                wxSUNKEN_BORDER | wxTAB_TRAVERSAL, "ID_PANEL1");

    auto* left = new wxBoxSizer(wxVERTICAL);
    left->Add(controls_panel, 1, wxEXPAND, 0);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    // The column keeps its width; the picture takes what the window gains.
    top->Add(left, 0, wxEXPAND, 0);
    top->Add(drawing_panel, 1, wxEXPAND, 0);

    auto* file = new wxMenu;
    file->Append(ZenorbToolbar::ID_DOWNLOAD, "Download ...\tAlt+D");
    file->Append(ID_SAVE_PICTURE, "Save picture...\tCtrl+S",
                 "Save the picture of the drawing panel as a PNG file");
    file->Append(ID_RECORD_FILM, "Record film...",
                 "Record the pictures of the drawing panel as an MP4 film");
    file->Append(wxID_EXIT, "Exit\tAlt-F4", "Quit the application");
    auto* edit = new wxMenu;
    edit->Append(ZenorbToolbar::ID_ORBITAL_ELEMENTS, "Manage objects...\tAlt+M");
    auto* view = new wxMenu;
    view->Append(ZenorbToolbar::ID_RECENTER_SUN, "Recenter on Sun\tAlt+S");
    view->AppendSeparator();
    view->Append(ZenorbToolbar::ID_ABOVE_NORTH_POLE, "From Above North Pole\tAlt+N");
    view->Append(ZenorbToolbar::ID_VERNAL_EQUINOX, "From Vernal Equinox\tAlt+V");
    view->Append(ZenorbToolbar::ID_OBLIQUE_VIEW, "From Oblique Viewpoint\tAlt+O");
    view->AppendSeparator();
    // + and - alone work too, from the picture (OnCharHook).
    view->Append(wxID_ZOOM_IN, "Zoom In\tAlt++");
    view->Append(wxID_ZOOM_OUT, "Zoom Out\tAlt+-");
    AddApproachesCommands(view);
    auto* help = new wxMenu;
    help->Append(ID_WEBSITE, "Zenorb on the web...");
    help->Append(wxID_ABOUT, "About\tF1", "Show info about this application");
    auto* menus = new wxMenuBar;
    menus->Append(file, "&File");
    menus->Append(edit, "Edit");
    menus->Append(view, "View");
    AddSteeringMenus(menus, view);
    menus->Append(help, "Help");
    SetMenuBar(menus);

    toolbar = new ZenorbToolbar(this, ID_TOOLBAR1);
    auto art = [](const wxArtID& id) { return wxArtProvider::GetBitmap(id, wxART_TOOLBAR); };
    auto tool = [&](int id, const char* label, const wxBitmap& picture, const char* short_help,
                    const char* long_help) {
        toolbar->AddTool(id, label, picture, wxNullBitmap, wxITEM_NORMAL, short_help, long_help);
    };
    tool(ZenorbToolbar::ID_DOWNLOAD, "Download", art(wxART_GO_DOWN), "Download orbital elements",
         "Download orbital elements from the internet");
    tool(ZenorbToolbar::ID_ORBITAL_ELEMENTS, "Orbital Elements", art(wxART_REPORT_VIEW),
         "Manage solar system objects", "Manage solar system objects");
    toolbar->AddSeparator();
    // The view tools get their own pictures when the toolbar is completed.
    tool(ZenorbToolbar::ID_RECENTER_SUN, "Recenter on Sun", art(wxART_CROSS_MARK),
         "Recenter on Sun", "Move view to Recenter on Sun");
    tool(ZenorbToolbar::ID_ABOVE_NORTH_POLE, "Above North Pole", art(wxART_CROSS_MARK),
         "Above North Pole", "View from Above North Pole");
    tool(ZenorbToolbar::ID_VERNAL_EQUINOX, "Vernal Equinox", art(wxART_CROSS_MARK),
         "Vernal equinox", "View from Vernal equinox");
    tool(ZenorbToolbar::ID_OBLIQUE_VIEW, "Oblique View", art(wxART_CROSS_MARK), "Oblique View",
         "View from Oblique point");
    toolbar->AddSeparator();
    tool(ZenorbToolbar::ID_APPROACHES, "Close approaches", art(wxART_FIND), "Close approaches",
         "List the close approaches of comets and asteroids so far");
    toolbar->Realize();
    SetToolBar(toolbar);

    CreateStatusBar(1, wxSTB_DEFAULT_STYLE, ID_STATUSBAR1, "ID_STATUSBAR1");
    const int widths[] = {-1};
    GetStatusBar()->SetStatusWidths(1, widths);

    SetSizer(top);
    top->Fit(this);
    top->SetSizeHints(this);
    // Opens with the full-sized picture but may be made smaller once shown
    // (GTK would shrink a window that is not yet shown to its least size),
    // and never opens larger than the screen.
    CallAfter([this] {
        drawing_panel->SetMinSize(wxSize(320, 240));
        controls_panel->SetMinSize(wxSize(controls_panel->GetMinSize().x, 160));
        SetMinClientSize(GetSizer()->GetMinSize());
    });
    const int display = wxDisplay::GetFromWindow(this);
    const wxRect screen = wxDisplay(display == wxNOT_FOUND ? 0 : display).GetClientArea();
    const wxSize fitted(std::min(GetSize().x, screen.width), std::min(GetSize().y, screen.height));
    SetMinSize(wxSize(std::min(GetMinSize().x, fitted.x), std::min(GetMinSize().y, fitted.y)));
    SetSize(fitted);

    // Mouse events do not travel up from the panel, so they are bound here.
    drawing_panel->Bind(wxEVT_RIGHT_DOWN, &ZenorbFrame::OnPanelRightDown, this);
    drawing_panel->Bind(wxEVT_RIGHT_UP, &ZenorbFrame::OnPanelRightUp, this);
    // The left button turns the view as the right one does: it is the one
    // a user tries first.
    drawing_panel->Bind(wxEVT_LEFT_DOWN, &ZenorbFrame::OnPanelRightDown, this);
    drawing_panel->Bind(wxEVT_LEFT_UP, &ZenorbFrame::OnPanelRightUp, this);
    drawing_panel->Bind(wxEVT_RIGHT_DCLICK, &ZenorbFrame::OnPanelRightDClick, this);
    drawing_panel->Bind(wxEVT_MOTION, &ZenorbFrame::OnPanelMotion, this);
    drawing_panel->Bind(wxEVT_ENTER_WINDOW, &ZenorbFrame::OnPanelEnter, this);
    drawing_panel->Bind(wxEVT_LEAVE_WINDOW, &ZenorbFrame::OnPanelLeave, this);
    drawing_panel->Bind(wxEVT_MOUSEWHEEL, &ZenorbFrame::OnPanelWheel, this);
#if defined(__WXGTK__) && defined(__UNIX__)
    paint_on_request = wxGetDisplayInfo().type == wxDisplayWayland;
#endif
    if (paint_on_request) {
        drawing_panel->SetBackgroundStyle(wxBG_STYLE_PAINT);
        drawing_panel->Bind(wxEVT_PAINT, &ZenorbFrame::OnPanelPaint, this);
    }

    FinishSetup();
    ApplySettings();
    // Keys typed at start are for the picture: without this the start
    // date's year, the first field, takes them.
    CallAfter([this] { drawing_panel->SetFocus(); });
}

ZenorbFrame::~ZenorbFrame() {
    StopTicks();
}

void ZenorbFrame::FinishSetup() {
    SetIcons(icon_bundle());
    toolbar->AddTrackControls();

    wxAcceleratorEntry keys[2];
    keys[0].Set(wxACCEL_ALT, WXK_NUMPAD_ADD, wxID_ZOOM_IN);
    keys[1].Set(wxACCEL_ALT, WXK_NUMPAD_SUBTRACT, wxID_ZOOM_OUT);
    SetAcceleratorTable(wxAcceleratorTable(2, keys));

    init_default_graphics();
    start_date->SetYearRange(wxDateTime(1, wxDateTime::Jan, -2999),
                             wxDateTime(31, wxDateTime::Dec, 2999));
    timestep->SetRange(MIN_STEP_DAYS, MAX_STEP_DAYS);
    timestep->SetValue(DEFAULT_STEP_DAYS);
    timestep->SetIncrement(0.05);
    refresh->SetDigits(0, wxSpinCtrlDbl::FORMAT_FIXED);
    refresh->SetIncrement(1);
    auto say_corrected = [this](const char* field) {
        return [this, field](wxCommandEvent& event) {
            SetStatusText(wxString(field) + ": " + event.GetString());
        };
    };
    timestep->Bind(wxEVT_SPINCTRLDBL_CORRECTED, say_corrected("Timestep [days]"));
    refresh->Bind(wxEVT_SPINCTRLDBL_CORRECTED, say_corrected("Refresh [ms]"));
    drawing_panel->SetBackgroundColour(wxColour(0, 0, 0));
    refresh->SetValue(refresh_ms);
    StartTicks(refresh_ms);
    ResetSimulation();
    toolbar->track_choice()->SetStringSelection("Sun");
}

void ZenorbFrame::ResetSimulation() {
    const double jd = datetime_to_jd(start_date->GetDate());
    const wxSize size = drawing_panel->GetClientSize();
    if (the_factory) {
        the_factory->set_high_accuracy(high_accuracy->GetValue());
        start_simulation(*the_factory, scene, jd, size.x, size.y);
    }
    built_at = jd;
    RefreshBodyLists();
}

void ZenorbFrame::StartTicks(int period_ms) {
    tick_period_ms = period_ms;
    ticking = true;
    tick_awaits_idle = false;
    timer.StartOnce(period_ms);
}

void ZenorbFrame::StopTicks() {
    ticking = false;
    tick_awaits_idle = false;
    timer.Stop();
}

void ZenorbFrame::OnIdle(wxIdleEvent& event) {
    event.Skip();
    if (!ticking || !tick_awaits_idle || timer.IsRunning())
        return;
    tick_awaits_idle = false;
    const long spent = since_tick.Time();
    timer.StartOnce(static_cast<int>(std::max(1L, tick_period_ms - spent)));
}

void ZenorbFrame::OnTimer(wxTimerEvent&) {
    since_tick.Start();
    Tick();
    if (ticking) {
        // Re-armed once what this tick left pending has been handled.
        tick_awaits_idle = true;
        wxWakeUpIdle();
    }
}

void ZenorbFrame::Tick() {
    nbSystem* system = current_system();
    if (system && running) {
        // Two bodies on one point give 0/0 in the force law; from then on
        // every body is NaN and the picture empty, so stop and say why.
        const std::string lost =
            step_and_check(*system, (reversed ? -1 : 1) * timestep->GetValue() * SECONDS_PER_DAY);
        if (!lost.empty())
            PauseForNonFinite(lost);
    }
    UpdateApproaches();
    UpdateSeparation();
    RedrawScene();
}

void ZenorbFrame::UpdateSeparation() {
    const nbSystem* system = current_system();
    if (!system)
        return;
    auto chosen = [system](const wxChoiceWx* choice) -> const nbBody* {
        return choice->GetSelection() < 0 ? nullptr
                                          : system->find(selected_text(choice).utf8_string());
    };
    const nbBody* a = chosen(object_a);
    const nbBody* b = chosen(object_b);
    if (!a || !b) {
        // A body that left the system has no separation to show.
        if (separation->GetLabel().StartsWith("Separation"))
            ShowReadout(wxEmptyString);
        return;
    }
    const double d = a->distance(*b) / ASTRONOMICAL_UNIT_M;
    // A non-finite distance would only hide the reason the simulation stopped.
    if (std::isfinite(d))
        ShowReadout(wxString::Format("Separation: %.6g [AU]", d));
}

void ZenorbFrame::PauseForNonFinite(const std::string& body) {
    SetRunning(false);
    ShowReadout("Paused: " + wxString::FromUTF8(body) + " has no finite position or velocity.");
}

void ZenorbFrame::ShowReadout(const wxString& text) {
    if (separation->GetLabel() == text)
        return;
    separation->SetLabel(text);
    // Long messages wrap within the column instead of widening it.
    separation->Wrap(separation->GetParent()->GetClientSize().x - 4 * BORDER);
    controls_panel->Layout();
}

DisplayOptions ZenorbFrame::CurrentOptions() const {
    DisplayOptions o;
    o.names = names->GetValue();
    o.actual_sizes = actual_sizes->GetValue();
    o.orbits = orbits->GetValue();
    o.simplified = simplified->GetValue();
    o.axes = axes->GetValue();
    o.sun = sun->GetValue();
    o.fade_orbits = fade_orbits->GetValue();
    o.satellite_names = satellite_names->GetValue();
    return o;
}

std::string ZenorbFrame::TrackedName() const {
    return selected_text(toolbar->track_choice()).utf8_string();
}

void ZenorbFrame::RedrawScene() {
    if (paint_on_request) {
        drawing_panel->Refresh(false);
        return;
    }
    wxClientDC client(drawing_panel);
    PrepareDC(client);
    if (film.recording()) {
        ComposeRecorded(client);
        return;
    }
    const wxSize size = drawing_panel->GetClientSize();
    wxBufferedDC dc(&client, size, wxBUFFER_CLIENT_AREA);
    ComposeOn(dc);
}

void ZenorbFrame::OnPanelPaint(wxPaintEvent&) {
    if (film.recording()) {
        wxPaintDC dc(drawing_panel);
        ComposeRecorded(dc);
        return;
    }
    wxBufferedPaintDC dc(drawing_panel);
    ComposeOn(dc);
}

void ZenorbFrame::ComposeOn(wxDC& dc) {
    const wxSize size = drawing_panel->GetClientSize();
    // The names a user is looking at come right after the planets'.
    std::vector<std::string> priority{TrackedName()};
    if (object_a->GetSelection() >= 0)
        priority.push_back(selected_text(object_a).utf8_string());
    if (object_b->GetSelection() >= 0)
        priority.push_back(selected_text(object_b).utf8_string());
    scene.set_label_priority(priority);
    compose_picture(dc, scene, current_system(), CurrentOptions(), TrackedName(), size.x, size.y,
                    &raster);
}

wxImage ZenorbFrame::CurrentPicture() {
    const wxSize size = drawing_panel->GetClientSize();
    // In the panel's font, as its own pictures are.
    const wxFont font = drawing_panel->GetFont();
    return draw_picture(scene, current_system(), CurrentOptions(), TrackedName(), size.x, size.y,
                        &font);
}

bool ZenorbFrame::SavePicture(const wxString& path, wxString& error) {
    std::string reason;
    if (save_png(CurrentPicture(), path.utf8_string(), reason))
        return true;
    error = wxString::FromUTF8(reason);
    return false;
}

void ZenorbFrame::SetRunning(bool on) {
    running = on;
    gravitate->SetLabel(running ? "Pause" : "Gravitate!");
}

void ZenorbFrame::OnGravitate(wxCommandEvent&) {
    if (!running) {
        // A body without a finite state would make every other one NaN at
        // the next step: nothing runs until it is removed or the system
        // rebuilt.
        if (const nbSystem* system = current_system()) {
            const std::string lost = first_non_finite_body(*system);
            if (!lost.empty()) {
                ShowReadout("Not started: " + wxString::FromUTF8(lost) +
                            " has no finite position or velocity. Remove it (Manage "
                            "objects...) or set a start date.");
                return;
            }
        }
    }
    SetRunning(!running);
    if (running) // a new refresh period takes effect here, and only here
        StartTicks(refresh_ms);
}

void ZenorbFrame::OnRefreshChanged(wxSpinEvent&) {
    refresh_ms = static_cast<int>(std::lround(refresh->GetValue()));
}

void ZenorbFrame::OnSetStartDate(wxCommandEvent&) {
    start_date->FitDayToMonth();
    if (current_system())
        RebuildAt(datetime_to_jd(start_date->GetDate()));
}

void ZenorbFrame::OnHighAccuracy(wxCommandEvent&) {
    const nbSystem* system = current_system();
    if (!system)
        return;
    const double start = datetime_to_jd(start_date->GetDate());
    if (system->time() != built_at) {
        // The simulated time since the start date would be lost.
        wxMessageDialog ask(this,
                            wxString::Format("Switching the mode rebuilds the system at the start "
                                             "date, %s 00:00 UTC; the simulation's time since then "
                                             "is lost.",
                                             start_date->GetDate().FormatISODate()),
                            "High accuracy", wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
        ask.SetYesNoLabels("Switch and rebuild", "Keep running");
        if (ask.ShowModal() != wxID_YES) {
            high_accuracy->SetValue(!high_accuracy->GetValue());
            return;
        }
    }
    // The other mode builds the bodies otherwise: a new start, at the date
    // control's date and with the catalogue bodies, as "Set start date".
    the_factory->set_high_accuracy(high_accuracy->GetValue());
    RebuildAt(start);
}

void ZenorbFrame::RefreshBodyLists() {
    const nbSystem* system = current_system();
    if (!system)
        return;
    std::vector<wxString> names{ZenorbToolbar::NO_BODY};
    names.reserve(system->size() + 1);
    for (const auto& entry : *system)
        names.push_back(wxString::FromUTF8(entry.first));
    wxChoiceWx* lists[] = {toolbar->track_choice(), object_a, object_b};
    for (wxChoiceWx* list : lists) {
        const wxString kept = selected_text(list);
        list->Set(names);
        if (kept.empty() || !system->find(kept.utf8_string()) || !list->SetStringSelection(kept))
            list->SetSelection(-1);
    }
}

void ZenorbFrame::OnObjectChoice(wxCommandEvent&) {
    ShowReadout(wxEmptyString);
}

void ZenorbFrame::OnDownload(wxCommandEvent&) {
    if (!current_system())
        return;
    DownloadDialog dialog(this, data_directory());
    dialog.ShowModal();
}

void ZenorbFrame::OnManageObjects(wxCommandEvent&) {
    if (nbSystem* system = current_system()) {
        // Ticks go on stepping the system while the dialog is open.
        OrbitalElementsDialog dialog(this, data_directory());
        dialog.ShowModal();
        // Added and removed bodies have changed the total momentum.
        if ((system = current_system()))
            system->zero_momentum();
    }
    RefreshBodyLists();
}

void ZenorbFrame::RecenterOnSun() {
    const nbSystem* system = current_system();
    if (!system)
        return;
    // Auto-track would pan back onto its body at the next picture: the
    // user asked for the Sun, so tracking follows it now.
    wxChoiceWx* track = toolbar->track_choice();
    if (!TrackedName().empty() && TrackedName() != "Sun" && system->find("Sun"))
        track->SetStringSelection("Sun");
    const wxSize size = drawing_panel->GetClientSize();
    view_recentre_on_sun(scene, system, size.x, size.y);
}

void ZenorbFrame::OnRecenterSun(wxCommandEvent&) {
    RecenterOnSun();
}

void ZenorbFrame::OnPanelRightDClick(wxMouseEvent&) {
    RecenterOnSun();
}

void ZenorbFrame::OnViewNorthPole(wxCommandEvent&) {
    view_from_north_pole(scene);
}

void ZenorbFrame::OnViewVernalEquinox(wxCommandEvent&) {
    view_from_vernal_equinox(scene);
}

void ZenorbFrame::OnViewOblique(wxCommandEvent&) {
    view_from_oblique_viewpoint(scene);
}

void ZenorbFrame::OnZoomIn(wxCommandEvent&) {
    const wxSize size = drawing_panel->GetClientSize();
    view_zoom_in(scene, size.x, size.y);
}

void ZenorbFrame::OnZoomOut(wxCommandEvent&) {
    const wxSize size = drawing_panel->GetClientSize();
    view_zoom_out(scene, size.x, size.y);
}

void ZenorbFrame::OnPanelWheel(wxMouseEvent& event) {
    view_wheel(scene, event.GetWheelRotation(), event.GetWheelDelta(), event.GetX(), event.GetY());
}

void ZenorbFrame::OnPanelRightDown(wxMouseEvent& event) {
    last_pointer = current_pointer = event.GetPosition();
    dragging = true;
    // Keys typed for the picture (and the wheel) go to the panel.
    drawing_panel->SetFocus();
    // The toolkit's own handling of a press (focus, capture) goes on.
    event.Skip();
}

void ZenorbFrame::OnPanelMotion(wxMouseEvent& event) {
    if (!dragging)
        return;
    current_pointer = event.GetPosition();
    RotateByDrag();
}

void ZenorbFrame::OnPanelRightUp(wxMouseEvent& event) {
    current_pointer = event.GetPosition();
    RotateByDrag();
    dragging = false;
}

void ZenorbFrame::RotateByDrag() {
    const wxSize size = drawing_panel->GetClientSize();
    view_drag_rotate(scene, size.x, size.y, last_pointer.x, last_pointer.y, current_pointer.x,
                     current_pointer.y);
    last_pointer = current_pointer;
}

void ZenorbFrame::OnPanelEnter(wxMouseEvent& event) {
    // The toolkit gives wheel events to the window with the focus.
    drawing_panel->SetFocus();
    event.Skip();
}

void ZenorbFrame::OnPanelLeave(wxMouseEvent& event) {
    drawing_panel->GetParent()->SetFocus();
    event.Skip();
}

void ZenorbFrame::OnSize(wxSizeEvent& event) {
    if (first_size) {
        FitViewToSize(event.GetSize().x, event.GetSize().y);
        home_view = scene.state();
        first_size = false;
    }
    event.Skip();
}

void ZenorbFrame::FitViewToSize(int w, int h) {
    view_first_size(scene, w, h);
}

void ZenorbFrame::OnSavePicture(wxCommandEvent&) {
    wxFileDialog dialog(this, "Save picture",
                        DialogFolder(picture_folder, wxStandardPaths::Get().GetUserDir(
                                                         wxStandardPaths::Dir_Pictures)),
                        "zenorb.png", "PNG file (*.png)|*.png", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return;
    wxFileName file(dialog.GetPath());
    picture_folder = file.GetPath();
    if (!file.HasExt())
        file.SetExt("png");
    wxString error;
    if (!SavePicture(file.GetFullPath(), error))
        wxMessageBox("The picture was not saved: " + error, "Save picture", wxOK | wxICON_ERROR,
                     this);
}

void ZenorbFrame::OnWebSite(wxCommandEvent&) {
    const wxString guide = user_guide_url();
    if (guide.empty()) {
        wxMessageBox("The Zenorb user guide (guide.html) could not be opened: it belongs beside "
                     "the program or in its documentation folder.",
                     "Zenorb on the web", wxOK | wxICON_INFORMATION, this);
        return;
    }
    bool launched = false;
    {
        wxLogNull quiet; // one message, ours, says what went wrong
        launched = wxLaunchDefaultBrowser(guide);
    }
    if (!launched)
        wxMessageBox("No web browser could be started to show the Zenorb user guide. Open it "
                     "with any browser: " +
                         wxFileName::URLToFileName(guide).GetFullPath(),
                     "Zenorb on the web", wxOK | wxICON_INFORMATION, this);
}

void ZenorbFrame::OnAbout(wxCommandEvent&) {
    wxAboutBox(about_info(), this);
}

void ZenorbFrame::OnQuit(wxCommandEvent&) {
    Close(false);
}

void ZenorbFrame::AddApproachesCommands(wxMenu* view) {
    view->AppendSeparator();
    view->Append(ZenorbToolbar::ID_APPROACHES, "Close approaches...\tAlt+A",
                 "List the close approaches of comets and asteroids so far");
}

void ZenorbFrame::OnApproaches(wxCommandEvent&) {
    // Beside the main window, not modal: the table fills as the simulation
    // runs.
    if (!approaches_dialog)
        approaches_dialog = new ApproachesDialog(this);
    approaches_dialog->Follow(current_system());
    approaches_dialog->Show();
    approaches_dialog->Raise();
}

void ZenorbFrame::UpdateApproaches() {
    if (approaches_dialog && approaches_dialog->IsShown())
        approaches_dialog->Follow(current_system());
}
