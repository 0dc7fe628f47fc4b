// The main window: the column of simulation and display controls, the
// drawing panel, menus, toolbar and status bar, and the refresh timer whose
// ticks step the system and draw it.
#pragma once

#include <optional>
#include <string>

#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>

#include "gui/film_recorder.h"
#include "gui/settings.h"
#include "gui/toolbar.h"
#include "render/display_options.h"
#include "render/raster_canvas.h"
#include "render/scene.h"

class ApproachesDialog;
class wxButton;
class wxMenu;
class wxCheckBox;
class wxChoiceWx;
class wxDateGenericCtrl;
class wxPanel;
class wxSpinCtrlDbl;
class wxStaticText;

class ZenorbFrame : public wxFrame {
public:
    // After the toolbar's tools, which the menus share.
    enum {
        ID_BUTTON1 = ZenorbToolbar::ID_LAST_TOOL,
        ID_BUTTON2,
        ID_SPINCTRL1,
        ID_SPINCTRL2,
        ID_CHOICE2,
        ID_CHOICE3,
        ID_DATEPICKERCTRL1,
        ID_PANEL1,
        ID_PANEL2,
        ID_TOOLBAR1,
        ID_STATUSBAR1,
        ID_TIMER,
        ID_WEBSITE,
        ID_SAVE_PICTURE,
        ID_CHECKBOX11,
        ID_RECORD_FILM,
        // Time and view as the keyboard steers them.
        ID_START_PAUSE,
        ID_REVERSE,
        ID_FASTER,
        ID_SLOWER,
        ID_GO_TO_DATE,
        ID_ROTATE_LEFT,
        ID_ROTATE_RIGHT,
        ID_ROTATE_UP,
        ID_ROTATE_DOWN,
        ID_HOME_VIEW,
        ID_FOLLOW
    };

    static constexpr int DEFAULT_REFRESH_MS = 55;

    ZenorbFrame(wxWindow* parent, wxWindowID id = wxID_ANY);
    ~ZenorbFrame() override;

    // What the tests and the benchmark driver look at and drive.
    bool IsRunning() const { return running; }
    // Whether ticks step backwards in time.
    bool IsReversed() const { return reversed; }
    int GetRefreshMs() const { return refresh_ms; }
    wxTimer& GetTimer() { return timer; }
    // The cycle of ticks: the first comes period_ms after StartTicks, and
    // each next one period_ms after the previous began, but never before the
    // event loop has handled what was pending after it (paint, input), so a
    // tick slower than its period cannot starve the window. After StopTicks
    // ticks come only from whoever sends the timer's events.
    void StartTicks(int period_ms);
    void StopTicks();
    wxDCDraw& GetScene() { return scene; }
    wxPanel* GetDrawingPanel() const { return drawing_panel; }
    ZenorbToolbar* GetZenorbToolbar() const { return toolbar; }

    // The eight check boxes as display options.
    DisplayOptions CurrentOptions() const;
    // The name of the body auto-track follows; empty for none.
    std::string TrackedName() const;
    // One tick: a step when running, then the readout and the picture.
    void Tick();
    // Draws one picture into the panel (see compose_picture).
    virtual void RedrawScene();
    // The picture the next tick would draw, at the panel's size.
    wxImage CurrentPicture();
    // Writes CurrentPicture() as a PNG file; false with a reason.
    bool SavePicture(const wxString& path, wxString& error);
    // Fills the three body choices anew, keeping selections that still exist.
    void RefreshBodyLists();
    // A film of every picture drawn from now on, at the panel's size; false
    // with a reason (gui/frame_film.cpp).
    bool StartRecording(const wxString& path, wxString& error);
    // Ends the film; false with a reason when its end cannot be written.
    bool StopRecording(wxString& error);
    const FilmRecorder& GetFilmRecorder() const { return film; }
    // The close approaches window, null until first opened.
    ApproachesDialog* GetApproachesDialog() const { return approaches_dialog; }
    // What the window would keep of itself now (gui/frame_settings.cpp).
    ZenorbSettings CollectSettings() const;

private:
    void FinishSetup();
    // The kept settings: read from the config directory and given to the
    // controls at the end of construction, written back when the window
    // closes if any changed (gui/frame_settings.cpp).
    void ApplySettings();
    void SaveSettings();
    void OnCloseWindow(wxCloseEvent& event);
    // The folder a save dialog opens in: the last one used if it still
    // exists, fallback otherwise.
    static wxString DialogFolder(const wxString& last, const wxString& fallback);
    void ResetSimulation();
    void FitViewToSize(int w, int h);
    void RotateByDrag();
    void RecenterOnSun();
    void UpdateSeparation();
    void PauseForNonFinite(const std::string& body);
    void SetRunning(bool on);
    void ShowReadout(const wxString& text);
    // The window's picture on dc: the scan converter's, labels over it.
    void ComposeOn(wxDC& dc);
    // While recording: the picture composed off screen, shown on target and
    // added to the film.
    void ComposeRecorded(wxDC& target);
    // The film's end: the menu item back to "Record film...", the message
    // on the status bar.
    void RecordingEnded(const wxString& message);

    // The menus of time and of the keyboard's view steps (frame_steering.cpp).
    void AddSteeringMenus(wxMenuBar* menus, wxMenu* view);
    void OnStartPause(wxCommandEvent& event);
    void OnReverse(wxCommandEvent& event);
    void OnFasterSlower(wxCommandEvent& event);
    void OnGoToDate(wxCommandEvent& event);
    void OnRotateStep(wxCommandEvent& event);
    void OnHomeView(wxCommandEvent& event);
    void OnFollow(wxCommandEvent& event);
    // The steering keys, wherever no control takes them.
    void OnCharHook(wxKeyEvent& event);
    // Rebuilds the system at jd (a date and a time of day), the start-date
    // control showing its day.
    void RebuildAt(double jd);

    // The close approaches window: opened from the View menu and the
    // toolbar, brought up to date on every tick.
    void AddApproachesCommands(wxMenu* view);
    void OnApproaches(wxCommandEvent& event);
    void UpdateApproaches();

    void OnTimer(wxTimerEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnSetStartDate(wxCommandEvent& event);
    void OnHighAccuracy(wxCommandEvent& event);
    void OnGravitate(wxCommandEvent& event);
    void OnRefreshChanged(wxSpinEvent& event);
    void OnObjectChoice(wxCommandEvent& event);
    void OnDownload(wxCommandEvent& event);
    void OnManageObjects(wxCommandEvent& event);
    void OnRecenterSun(wxCommandEvent& event);
    void OnViewNorthPole(wxCommandEvent& event);
    void OnViewVernalEquinox(wxCommandEvent& event);
    void OnViewOblique(wxCommandEvent& event);
    void OnZoomIn(wxCommandEvent& event);
    void OnZoomOut(wxCommandEvent& event);
    void OnSavePicture(wxCommandEvent& event);
    void OnRecordFilm(wxCommandEvent& event);
    void OnWebSite(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnPanelRightDown(wxMouseEvent& event);
    void OnPanelRightUp(wxMouseEvent& event);
    void OnPanelRightDClick(wxMouseEvent& event);
    void OnPanelMotion(wxMouseEvent& event);
    void OnPanelEnter(wxMouseEvent& event);
    void OnPanelLeave(wxMouseEvent& event);
    void OnPanelWheel(wxMouseEvent& event);
    void OnPanelPaint(wxPaintEvent& event);

    // Declared before the scene so that the scene goes first.
    wxTimer timer;
    wxDCDraw scene;
    // The picture's pixels, kept between ticks so that its storage is reused.
    RasterCanvas raster;
    FilmRecorder film;
    // The recorded picture, composed here, then shown and encoded.
    wxBitmap film_picture;
    int refresh_ms = DEFAULT_REFRESH_MS;
    // The period the cycle was started with, whether it is on, and whether
    // a tick has ended since the loop was last idle.
    int tick_period_ms = DEFAULT_REFRESH_MS;
    bool ticking = false;
    bool tick_awaits_idle = false;
    wxStopWatch since_tick;
    bool running = false;
    bool reversed = false;
    // The view of the start, which Home brings back.
    std::optional<dcAdapter::State> home_view;
    // The JD the system was last built at: switching the mode asks first
    // once the simulation has gone on from there.
    double built_at = 0;
    bool first_size = true;
    bool dragging = false;
    wxPoint last_pointer{0, 0};
    wxPoint current_pointer{0, 0};
    // Where drawing outside a paint event does nothing (Wayland), ticks
    // ask for a paint instead.
    bool paint_on_request = false;

    // What the window showed once the settings were applied; nothing is
    // written unless the window differs from it when it closes.
    ZenorbSettings settings_at_start;
    bool settings_applied = false;
    // False when the config directory cannot take the file.
    bool settings_writable = true;
    wxString picture_folder;
    wxString film_folder;

    ZenorbToolbar* toolbar = nullptr;
    wxPanel* controls_panel = nullptr;
    wxPanel* drawing_panel = nullptr;
    wxDateGenericCtrl* start_date = nullptr;
    wxButton* set_start_date = nullptr;
    wxCheckBox* high_accuracy = nullptr;
    wxButton* gravitate = nullptr;
    wxSpinCtrlDbl* timestep = nullptr;
    wxSpinCtrlDbl* refresh = nullptr;
    wxCheckBox* orbits = nullptr;
    wxCheckBox* fade_orbits = nullptr;
    wxCheckBox* names = nullptr;
    wxCheckBox* satellite_names = nullptr;
    wxCheckBox* sun = nullptr;
    wxCheckBox* axes = nullptr;
    wxCheckBox* simplified = nullptr;
    wxCheckBox* actual_sizes = nullptr;
    wxChoiceWx* object_a = nullptr;
    wxChoiceWx* object_b = nullptr;
    wxStaticText* separation = nullptr;
    ApproachesDialog* approaches_dialog = nullptr;

    wxDECLARE_EVENT_TABLE();
};
