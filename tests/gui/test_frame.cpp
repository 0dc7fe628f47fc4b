// The main window, driven through its controls, menus and events as a user
// would, with the state of the simulation checked behind them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <string>
#include <sys/resource.h>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/scrolwin.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>

#include "common/film_probe.h"
#include "common/temp_dir.h"
#include "datebridge/date_bridge.h"
#include "gui/approaches_dialog.h"
#include "gui/delete_objects_panel.h"
#include "gui/frame.h"
#include "gui/go_to_date_dialog.h"
#include "gui/orbital_elements_dialog.h"
#include "gui/settings.h"
#include "gui/widgets/checked_list_ctrl.h"
#include "gui/widgets/choice_wx.h"
#include "gui/widgets/date_generic_ctrl.h"
#include "gui/widgets/list_view_combo_popup.h"
#include "gui/widgets/spin_ctrl_dbl.h"
#include "gui_test.h"
#include "nbody/accurate_start.h"
#include "nbody/factory.h"
#include "nbody/parse_number.h"
#include "readers/approach_csv.h"
#include "render/scene.h"

namespace {

const char* const BUILT_IN[] = {"Earth", "Jupiter", "Mars", "Mercury", "Moon", "Neptune",
                                "Pluto", "Saturn",  "Sun",  "Uranus",  "Venus"};

std::vector<std::string> entries(const wxChoiceWx* choice) {
    std::vector<std::string> out;
    for (unsigned i = 0; i < choice->GetCount(); ++i)
        out.push_back(choice->GetString(static_cast<int>(i)).utf8_string());
    return out;
}

std::string selection(const wxChoiceWx* choice) {
    const int i = choice->GetSelection();
    return i < 0 ? std::string() : choice->GetString(i).utf8_string();
}

class MainFrame : public testing::Test {
protected:
    void SetUp() override {
        // Each window starts from the defaults, whatever an earlier one kept.
        std::filesystem::remove_all(ZenorbSettings::config_directory().utf8_string());
        frame = new ZenorbFrame(nullptr);
        timer_started = frame->GetTimer().IsRunning();
        timer_period = frame->GetTimer().GetInterval();
        // Ticks come from the tests, one at a time.
        frame->StopTicks();
        frame->Show();
        frame->Raise();
        ASSERT_TRUE(wait_until([this] { return frame->IsShownOnScreen() && frame->IsActive(); }))
            << "the main window never became active";
        settle(100);
    }

    void TearDown() override {
        frame->Destroy();
        wait_until([] { return wxTopLevelWindows.IsEmpty(); });
        // The process's factory serves the next test in its own mode.
        the_factory->set_high_accuracy(false);
    }

    template <class W> W* find(const char* name) const {
        W* w = dynamic_cast<W*>(wxWindow::FindWindowByName(name, frame));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    wxButton* gravitate() const { return find<wxButton>("ID_BUTTON2"); }
    wxChoiceWx* track() const { return frame->GetZenorbToolbar()->track_choice(); }
    wxChoiceWx* object_a() const { return find<wxChoiceWx>("ID_CHOICE2"); }
    wxChoiceWx* object_b() const { return find<wxChoiceWx>("ID_CHOICE3"); }
    wxString readout() const { return find<wxStaticText>("ID_STATICTEXT7")->GetLabel(); }
    nbSystem& system() const { return *the_factory->system(); }
    wxSize panel_size() const { return frame->GetDrawingPanel()->GetClientSize(); }

    void tick() {
        wxTimerEvent event(frame->GetTimer());
        frame->GetEventHandler()->ProcessEvent(event);
    }
    void command(wxWindow* source, wxEventType type) {
        wxCommandEvent event(type, source->GetId());
        event.SetEventObject(source);
        source->GetEventHandler()->ProcessEvent(event);
    }
    void menu(int id) {
        wxCommandEvent event(wxEVT_MENU, id);
        frame->GetEventHandler()->ProcessEvent(event);
    }
    // A selection made by the user: the entry, then the notice the control
    // sends when its list picks a row.
    void choose(wxChoiceWx* choice, const char* text) {
        ASSERT_TRUE(choice->SetStringSelection(text)) << text;
        SendComboSelected(choice, choice->GetSelection(), text);
    }
    // Gravitate!/Pause; the timer it restarts is stopped again after the
    // period it was given has been noted.
    int press_gravitate() {
        command(gravitate(), wxEVT_BUTTON);
        const int period = frame->GetTimer().IsRunning() ? frame->GetTimer().GetInterval() : 0;
        frame->StopTicks();
        return period;
    }
    void mouse(wxEventType type, int x, int y, int rotation = 0) {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(x, y));
        event.m_wheelRotation = rotation;
        event.m_wheelDelta = 120;
        event.SetEventObject(frame->GetDrawingPanel());
        frame->GetDrawingPanel()->GetEventHandler()->ProcessEvent(event);
    }
    // A comet of the sample catalogue in the running system, as the
    // catalogue page adds it; its name, or empty when that failed.
    std::string add_catalogue_comet() {
        if (the_factory->read_catalogue_file(ZENORB_TEST_DATA "/mpc", "comets_sample.txt", true)
                .added <= 0)
            return std::string();
        const nbOrbitalElements* comet = the_factory->catalogue_begin()->get();
        return system().add(comet->name(), comet->create_body(system().time())) ? comet->name()
                                                                                : std::string();
    }
    // Where the body shows on the panel now.
    wxPoint on_panel(const char* name) {
        int x = 0, y = 0;
        frame->GetScene().project(system().find(name)->position(), x, y);
        return wxPoint(x, y);
    }

    ZenorbFrame* frame = nullptr;
    bool timer_started = false;
    int timer_period = 0;
};

// Answers the frame's modal dialogs in place of a user, with `answer`, and
// keeps their messages. The dialogs never show.
class ModalAnswers : public wxModalDialogHook {
public:
    explicit ModalAnswers(int answer) : answer_(answer) { Register(); }
    std::vector<std::string> messages;

protected:
    int Enter(wxDialog* dialog) override {
        if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog))
            messages.push_back(box->GetMessage().utf8_string());
        else
            ADD_FAILURE() << "an unexpected dialog: " << dialog->GetTitle();
        return answer_;
    }
    void Exit(wxDialog*) override {}

private:
    int answer_;
};

// What the screen shows of a window's client area.
wxImage grab(wxWindow* window) {
    const wxSize size = window->GetClientSize();
    const wxPoint origin = window->ClientToScreen(wxPoint(0, 0));
    wxBitmap bitmap(size.x, size.y, 24);
    wxMemoryDC memory(bitmap);
    wxScreenDC screen;
    memory.Blit(0, 0, size.x, size.y, &screen, origin.x, origin.y);
    memory.SelectObject(wxNullBitmap);
    return bitmap.ConvertToImage();
}

bool has_colour(const wxImage& image, int x, int y, const nbColour& c) {
    return image.GetRed(x, y) == c.red() && image.GetGreen(x, y) == c.green() &&
           image.GetBlue(x, y) == c.blue();
}

TEST_F(MainFrame, StartsPausedAtTodayFollowingTheSunWithEveryBodyListed) {
    EXPECT_TRUE(timer_started) << "the timer redraws from the start";
    EXPECT_EQ(timer_period, 55);
    EXPECT_FALSE(frame->IsRunning());
    EXPECT_EQ(gravitate()->GetLabel(), "Gravitate!");
    EXPECT_DOUBLE_EQ(system().time(), datetime_to_jd(wxDateTime::Today()));
    EXPECT_EQ(system().size(), 11u);

    std::vector<std::string> expected{"--None--"};
    expected.insert(expected.end(), std::begin(BUILT_IN), std::end(BUILT_IN));
    for (wxChoiceWx* choice : {track(), object_a(), object_b()})
        EXPECT_EQ(entries(choice), expected);
    EXPECT_EQ(selection(track()), "Sun");
    EXPECT_EQ(object_a()->GetSelection(), -1);
    EXPECT_EQ(object_b()->GetSelection(), -1);
    EXPECT_EQ(readout(), "");

    // The check boxes' start-up state is what the pictures start with.
    const DisplayOptions shown = frame->CurrentOptions();
    EXPECT_TRUE(shown.orbits && shown.fade_orbits && shown.names && shown.sun);
    EXPECT_FALSE(shown.satellite_names || shown.axes || shown.simplified || shown.actual_sizes);
    EXPECT_DOUBLE_EQ(find<wxSpinCtrlDbl>("ID_SPINCTRL1")->GetValue(), 0.26);
    EXPECT_EQ(find<wxSpinCtrlDbl>("ID_SPINCTRL2")->GetValue(), 55);
}

TEST_F(MainFrame, GravitateStepsOncePerTickAndPauseFreezesTheSystem) {
    const double start = system().time();
    tick();
    EXPECT_EQ(system().time(), start) << "paused ticks only redraw";

    // One true click on the button.
    ASSERT_TRUE(wait_until([&] { return gravitate()->IsShownOnScreen(); }));
    wxUIActionSimulator sim;
    const wxPoint centre = gravitate()->GetScreenRect().GetPosition() +
                           wxPoint(gravitate()->GetSize().x / 2, gravitate()->GetSize().y / 2);
    sim.MouseMove(centre);
    ASSERT_TRUE(wait_until([&] { return wxGetMousePosition() == centre; }));
    sim.MouseClick();
    ASSERT_TRUE(wait_until([&] { return frame->IsRunning(); })) << "the click did not start it";
    frame->StopTicks();
    EXPECT_EQ(gravitate()->GetLabel(), "Pause");

    const double t0 = system().time();
    tick();
    EXPECT_NEAR(system().time() - t0, 0.26, 1e-9);
    tick();
    EXPECT_NEAR(system().time() - t0, 0.52, 1e-9);

    EXPECT_EQ(press_gravitate(), 0) << "pausing leaves the timer as it was";
    EXPECT_FALSE(frame->IsRunning());
    EXPECT_EQ(gravitate()->GetLabel(), "Gravitate!");
    const vec3d earth = system().find("Earth")->position();
    const double t1 = system().time();
    tick();
    tick();
    EXPECT_EQ(system().time(), t1);
    EXPECT_EQ(system().find("Earth")->position().x, earth.x);
    EXPECT_EQ(system().find("Earth")->position().y, earth.y);

    // A long step: one tick is exactly thirty days.
    find<wxSpinCtrlDbl>("ID_SPINCTRL1")->SetValue(30.0);
    press_gravitate();
    const double t2 = system().time();
    tick();
    EXPECT_EQ(system().time() - t2, 30.0);
}

TEST_F(MainFrame, ANewRefreshPeriodWaitsForTheNextStart) {
    EXPECT_EQ(press_gravitate(), 55);
    wxSpinCtrlDbl* refresh = find<wxSpinCtrlDbl>("ID_SPINCTRL2");
    refresh->SetValue(200.0);
    wxSpinEvent changed(wxEVT_SPINCTRL, refresh->GetId());
    changed.SetEventObject(refresh);
    refresh->GetEventHandler()->ProcessEvent(changed);
    EXPECT_EQ(frame->GetRefreshMs(), 200);
    EXPECT_EQ(frame->GetTimer().GetInterval(), 55) << "the running timer was restarted";
    press_gravitate(); // pause
    EXPECT_EQ(press_gravitate(), 200);
    EXPECT_TRUE(frame->IsRunning());
}

TEST_F(MainFrame, SetStartDateRebuildsAtTheDateKeepingCatalogueBodiesAndRunning) {
    const std::string name = add_catalogue_comet();
    ASSERT_FALSE(name.empty());
    press_gravitate();
    tick();

    find<wxDateGenericCtrl>("ID_DATEPICKERCTRL1")->SetDate(wxDateTime(1, wxDateTime::Jan, 2000));
    command(find<wxButton>("ID_BUTTON1"), wxEVT_BUTTON);
    EXPECT_DOUBLE_EQ(system().time(), datetime_to_jd(wxDateTime(1, wxDateTime::Jan, 2000)));
    EXPECT_NE(system().find(name), nullptr) << "the catalogue body was lost";
    EXPECT_EQ(system().size(), 12u);
    EXPECT_TRUE(frame->IsRunning());
    EXPECT_EQ(gravitate()->GetLabel(), "Pause");
    EXPECT_EQ(selection(track()), "Sun");
    const double rebuilt = system().time();
    tick();
    EXPECT_NEAR(system().time() - rebuilt, 0.26, 1e-9) << "it goes on from the new date";
    the_factory->clear_catalogue();
}

// "High accuracy" is another start: the system is rebuilt at the date
// control's date (not the system's), as "Set start date" rebuilds it, with
// the catalogue bodies and the running state kept; off again, the program's
// own build and step come back.
TEST_F(MainFrame, HighAccuracyRebuildsAtTheStartDateKeepingCatalogueBodiesAndRunning) {
    wxCheckBox* box = find<wxCheckBox>("ID_CHECKBOX11");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetLabel(), "High accuracy");
    EXPECT_FALSE(box->GetValue()) << "off at start";
    EXPECT_EQ(system().integrator(), nbSystem::Integrator::SemiImplicitEuler);
    const std::string name = add_catalogue_comet();
    ASSERT_FALSE(name.empty());
    press_gravitate();
    tick();

    find<wxDateGenericCtrl>("ID_DATEPICKERCTRL1")->SetDate(wxDateTime(1, wxDateTime::Jan, 2000));
    const double jd = datetime_to_jd(wxDateTime(1, wxDateTime::Jan, 2000));
    ModalAnswers switch_anyway(wxID_YES); // the time since the start is given up
    box->SetValue(true);
    command(box, wxEVT_CHECKBOX);
    EXPECT_EQ(switch_anyway.messages.size(), 1u);
    EXPECT_DOUBLE_EQ(system().time(), jd);
    EXPECT_EQ(system().integrator(), nbSystem::Integrator::HighAccuracy);
    EXPECT_EQ(system().find("Sun")->mass(), accurate_mass(SolarBody::Sun));
    EXPECT_NE(system().find(name), nullptr) << "the catalogue body was lost";
    EXPECT_EQ(system().size(), 12u);
    EXPECT_TRUE(frame->IsRunning());
    EXPECT_EQ(gravitate()->GetLabel(), "Pause");
    EXPECT_EQ(selection(track()), "Sun");
    tick();
    EXPECT_NEAR(system().time() - jd, 0.26, 1e-9) << "it goes on from the new date";

    box->SetValue(false);
    command(box, wxEVT_CHECKBOX);
    EXPECT_DOUBLE_EQ(system().time(), jd);
    EXPECT_EQ(system().integrator(), nbSystem::Integrator::SemiImplicitEuler);
    EXPECT_EQ(system().find("Sun")->mass(), 1.9891000207439997e30);
    EXPECT_NE(system().find(name), nullptr);
    EXPECT_TRUE(frame->IsRunning());
    the_factory->clear_catalogue();
}

// The check box and zenorb-sim --accurate are one road: the same start
// and the same ticks give the same states, to the last bit.
TEST_F(MainFrame, HighAccuracyTicksGiveTheStatesOfTheSimulatorsAccurateMode) {
    find<wxDateGenericCtrl>("ID_DATEPICKERCTRL1")->SetDate(wxDateTime(1, wxDateTime::Jan, 2025));
    wxCheckBox* box = find<wxCheckBox>("ID_CHECKBOX11");
    box->SetValue(true);
    command(box, wxEVT_CHECKBOX);
    const double start = system().time();
    press_gravitate();
    const int ticks = 40;
    for (int k = 0; k < ticks; ++k)
        tick();

    char jd[32];
    std::snprintf(jd, sizeof jd, "%.17g", start);
    const std::string command =
        std::string(ZENORB_SIM) + " --accurate --jd " + jd + " --steps " + std::to_string(ticks);
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    ASSERT_EQ(pclose(pipe), 0) << command;

    std::istringstream lines(out);
    std::string line;
    std::getline(lines, line); // the header
    std::size_t bodies = 0;
    while (std::getline(lines, line)) {
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');)
            f.push_back(field);
        ASSERT_EQ(f.size(), 9u) << line;
        const nbBody* body = system().find(f[2]);
        ASSERT_NE(body, nullptr) << f[2];
        double v[6];
        for (int k = 0; k < 6; ++k)
            ASSERT_TRUE(parse_double(f[3 + k], v[k])) << f[3 + k];
        const vec3d &p = body->position(), &u = body->velocity();
        EXPECT_EQ(p.x, v[0]) << f[2];
        EXPECT_EQ(p.y, v[1]) << f[2];
        EXPECT_EQ(p.z, v[2]) << f[2];
        EXPECT_EQ(u.x, v[3]) << f[2];
        EXPECT_EQ(u.y, v[4]) << f[2];
        EXPECT_EQ(u.z, v[5]) << f[2];
        ++bodies;
    }
    EXPECT_EQ(bodies, system().size());
}

TEST_F(MainFrame, SeparationReadoutFollowsTheTwoChoices) {
    choose(object_a(), "Earth");
    tick();
    EXPECT_EQ(readout(), "") << "one body alone measures nothing";
    choose(object_b(), "Earth");
    tick();
    EXPECT_EQ(readout(), "Separation: 0 [AU]");

    choose(object_b(), "Sun");
    EXPECT_EQ(readout(), "") << "a new choice clears the old figure";
    tick();
    double au = 0;
    ASSERT_TRUE(readout().StartsWith("Separation: ")) << readout();
    ASSERT_TRUE(readout().AfterFirst(' ').BeforeFirst(' ').ToCDouble(&au)) << readout();
    EXPECT_NEAR(au, 1.0, 0.02) << "the Earth is about 1 AU from the Sun";
    EXPECT_TRUE(readout().EndsWith(" [AU]"));

    choose(object_a(), "--None--");
    tick();
    EXPECT_EQ(readout(), "");
}

TEST_F(MainFrame, AutoTrackHoldsTheBodyAtThePanelCentreUntilNoneIsChosen) {
    choose(track(), "Earth");
    press_gravitate();
    const wxPoint centre(panel_size().x / 2, panel_size().y / 2);
    for (int k = 0; k < 5; ++k) {
        tick();
        EXPECT_EQ(on_panel("Earth"), centre) << "tick " << k;
    }
    choose(track(), "--None--");
    EXPECT_EQ(track()->GetSelection(), -1) << "--None-- is no selection";
    find<wxSpinCtrlDbl>("ID_SPINCTRL1")->SetValue(10.0);
    for (int k = 0; k < 3; ++k)
        tick();
    EXPECT_NE(on_panel("Earth"), centre) << "the view still follows the Earth";
}

TEST_F(MainFrame, TheMenusCarryTheirAcceleratorsAndTheToolbarItsToolsInOrder) {
    wxMenuBar* bar = frame->GetMenuBar();
    struct Key {
        int id;
        int flags;
        int key;
    } keys[] = {{ZenorbToolbar::ID_DOWNLOAD, wxACCEL_ALT, 'D'},
                {ZenorbFrame::ID_SAVE_PICTURE, wxACCEL_CTRL, 'S'},
                {wxID_EXIT, wxACCEL_ALT, WXK_F4},
                {ZenorbToolbar::ID_ORBITAL_ELEMENTS, wxACCEL_ALT, 'M'},
                {ZenorbToolbar::ID_RECENTER_SUN, wxACCEL_ALT, 'S'},
                {ZenorbToolbar::ID_ABOVE_NORTH_POLE, wxACCEL_ALT, 'N'},
                {ZenorbToolbar::ID_VERNAL_EQUINOX, wxACCEL_ALT, 'V'},
                {ZenorbToolbar::ID_OBLIQUE_VIEW, wxACCEL_ALT, 'O'},
                {wxID_ZOOM_IN, wxACCEL_ALT, '+'},
                {wxID_ZOOM_OUT, wxACCEL_ALT, '-'},
                {ZenorbToolbar::ID_APPROACHES, wxACCEL_ALT, 'A'},
                {wxID_ABOUT, wxACCEL_NORMAL, WXK_F1},
                {ZenorbFrame::ID_START_PAUSE, wxACCEL_NORMAL, WXK_SPACE},
                {ZenorbFrame::ID_REVERSE, wxACCEL_NORMAL, 'R'},
                {ZenorbFrame::ID_FASTER, wxACCEL_NORMAL, ']'},
                {ZenorbFrame::ID_SLOWER, wxACCEL_NORMAL, '['},
                {ZenorbFrame::ID_GO_TO_DATE, wxACCEL_CTRL, 'G'},
                {ZenorbFrame::ID_HOME_VIEW, wxACCEL_NORMAL, WXK_HOME},
                {ZenorbFrame::ID_FOLLOW, wxACCEL_NORMAL, 'F'}};
    for (const Key& k : keys) {
        wxMenuItem* item = bar->FindItem(k.id);
        ASSERT_NE(item, nullptr) << k.id;
        wxAcceleratorEntry* accel = item->GetAccel();
        ASSERT_NE(accel, nullptr) << item->GetItemLabel();
        EXPECT_EQ(accel->GetFlags(), k.flags) << item->GetItemLabel();
        EXPECT_EQ(accel->GetKeyCode(), k.key) << item->GetItemLabel();
        delete accel;
    }
    EXPECT_EQ(bar->GetMenuLabelText(0), "File");
    EXPECT_EQ(bar->FindItem(wxID_EXIT)->GetHelp(), "Quit the application");

    ZenorbToolbar* tools = frame->GetZenorbToolbar();
    const int order[] = {ZenorbToolbar::ID_DOWNLOAD,
                         ZenorbToolbar::ID_ORBITAL_ELEMENTS,
                         wxID_SEPARATOR,
                         wxID_SEPARATOR,
                         wxID_ANY, // the label
                         ZenorbToolbar::ID_TRACK_CHOICE,
                         wxID_SEPARATOR,
                         wxID_SEPARATOR,
                         ZenorbToolbar::ID_RECENTER_SUN,
                         ZenorbToolbar::ID_ABOVE_NORTH_POLE,
                         ZenorbToolbar::ID_VERNAL_EQUINOX,
                         ZenorbToolbar::ID_OBLIQUE_VIEW,
                         wxID_SEPARATOR,
                         ZenorbToolbar::ID_APPROACHES};
    ASSERT_EQ(tools->GetToolsCount(), std::size(order));
    for (std::size_t i = 0; i < std::size(order); ++i) {
        const wxToolBarToolBase* tool = tools->GetToolByPos(static_cast<int>(i));
        if (order[i] == wxID_SEPARATOR)
            EXPECT_TRUE(tool->IsSeparator()) << i;
        else if (order[i] == wxID_ANY)
            EXPECT_EQ(tool->GetControl()->GetLabel(), "Auto Track: ");
        else
            EXPECT_EQ(tool->GetId(), order[i]) << i;
    }
    EXPECT_EQ(tools->GetToolShortHelp(ZenorbToolbar::ID_DOWNLOAD), "Download orbital elements");
    EXPECT_EQ(tools->GetToolLongHelp(ZenorbToolbar::ID_VERNAL_EQUINOX), "View from Vernal equinox");
    // Each view tool's picture has the orange Sun at its middle.
    for (int id : {ZenorbToolbar::ID_RECENTER_SUN, ZenorbToolbar::ID_ABOVE_NORTH_POLE,
                   ZenorbToolbar::ID_OBLIQUE_VIEW}) {
        const wxImage picture = tools->FindById(id)->GetNormalBitmap().ConvertToImage();
        ASSERT_EQ(picture.GetWidth(), 16);
        EXPECT_EQ(picture.GetRed(8, 8), 0xFF) << id;
        EXPECT_EQ(picture.GetGreen(8, 8), 0x99) << id;
        EXPECT_EQ(picture.GetBlue(8, 8), 0x33) << id;
    }
}

// A light body on its way past the Earth: straight on, 40,000 km from the
// centre at 8 km/s, `hours` from now.
void add_flyby(nbSystem& system, const std::string& name, double hours) {
    const nbBody& earth = *system.find("Earth");
    vec3d along(0.3, 0.9, -0.1);
    along.normalise();
    vec3d across = along.cross(vec3d(0, 0, 1));
    across.normalise();
    const vec3d u = along * 8000.0;
    const vec3d p = earth.position() + across * 4e7 - u * (hours * 3600);
    system.add(name, std::make_unique<nbBody>(name, 3e10, 1000, p, earth.velocity() + u));
}

TEST_F(MainFrame, CloseApproachesFillWhileRunningAndANewStartDateClearsThem) {
    add_flyby(system(), "Rock, first", 30);
    add_flyby(system(), "Pebble", 60);
    menu(ZenorbToolbar::ID_APPROACHES);
    ApproachesDialog* dialog = frame->GetApproachesDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_FALSE(dialog->IsModal());
    wxCheckedListCtrl* list = dialog->GetList();
    EXPECT_EQ(list->GetItemCount(), 0);
    // Every heading shows whole from the start.
    ASSERT_TRUE(wait_until([&] { return list->IsShownOnScreen(); }));
    int headings = 0;
    for (int c = 0; c < list->GetColumnCount(); ++c)
        headings += list->GetColumnWidth(c);
    EXPECT_LE(headings, list->GetClientSize().x) << "the last columns are cut off";

    press_gravitate();
    for (int k = 0; k < 16; ++k)
        tick();
    // Newest first: the pebble passed the Earth (and the Moon) half a day
    // after the rock.
    ASSERT_GE(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemText(0, ApproachesDialog::OBJECT), "Pebble");
    auto row_of = [&](const char* object, const char* with) {
        for (long k = 0; k < list->GetItemCount(); ++k)
            if (list->GetItemText(k, ApproachesDialog::OBJECT) == object &&
                list->GetItemText(k, ApproachesDialog::WITH) == with)
                return k;
        return -1L;
    };
    const long rock = row_of("Rock, first", "Earth");
    ASSERT_GE(rock, 0);
    EXPECT_GT(rock, row_of("Pebble", "Earth"));
    for (long k = 1; k < list->GetItemCount(); ++k)
        EXPECT_GE(list->GetItemText(k - 1, ApproachesDialog::DATE),
                  list->GetItemText(k, ApproachesDialog::DATE));
    double km = 0;
    ASSERT_TRUE(
        parse_double(list->GetItemText(rock, ApproachesDialog::DISTANCE_KM).utf8_string(), km));
    EXPECT_GT(km, 10000);
    EXPECT_LT(km, 40000) << "the Earth's pull brings it nearer than the straight line";
    EXPECT_EQ(dialog->GetEvents().size(), system().approaches().events().size());

    // Every column sorts, each click on it the other way round.
    for (int column = 0; column < ApproachesDialog::COLUMNS; ++column) {
        dialog->SortBy(column);
        EXPECT_TRUE(dialog->IsSortAscending()) << column;
        dialog->SortBy(column);
        EXPECT_FALSE(dialog->IsSortAscending()) << column;
    }
    dialog->SortBy(ApproachesDialog::OBJECT);
    EXPECT_EQ(list->GetItemText(0, ApproachesDialog::OBJECT), "Pebble");

    // The catalogue pages' filter: part of a name, case and blanks ignored.
    dialog->GetFilter()->SetValue("ROCK,");
    const long rock_rows = list->GetItemCount();
    ASSERT_GE(rock_rows, 1);
    ASSERT_LT(rock_rows, list->GetRowCount());
    for (long k = 0; k < rock_rows; ++k)
        EXPECT_EQ(list->GetItemText(k, ApproachesDialog::OBJECT), "Rock, first");
    // A tick that brings nothing new keeps the filter.
    tick();
    EXPECT_EQ(list->GetItemCount(), rock_rows);

    // The export is the simulator's table of the same events.
    TempDir dir;
    const std::string path = dir.path() + "/passes.csv";
    wxString error;
    ASSERT_TRUE(dialog->ExportCsv(wxString::FromUTF8(path), error)) << error;
    EXPECT_EQ(slurp(path), approaches_csv(system().approaches().events()));
    EXPECT_NE(slurp(path).find("\"Rock, first\",Earth,"), std::string::npos);
    EXPECT_FALSE(dialog->ExportCsv(wxString::FromUTF8(dir.path()), error));
    EXPECT_FALSE(error.empty());

    // A new start date is a new system: the table starts again.
    command(find<wxButton>("ID_BUTTON1"), wxEVT_BUTTON);
    tick();
    EXPECT_EQ(list->GetRowCount(), 0);
    EXPECT_TRUE(dialog->GetEvents().empty());
}

TEST_F(MainFrame, MouseDragRotatesAndTheWheelZoomsOncePerTurn) {
    wxPanel* panel = frame->GetDrawingPanel();
    const Matrix4 before = frame->GetScene().rotation();

    // A true right-button drag across the panel.
    wxUIActionSimulator sim;
    const wxPoint from = panel->ClientToScreen(wxPoint(panel_size().x / 2, panel_size().y / 2));
    sim.MouseMove(from);
    ASSERT_TRUE(wait_until([&] { return wxGetMousePosition() == from; }));
    sim.MouseDown(wxMOUSE_BTN_RIGHT);
    settle(50);
    sim.MouseMove(from + wxPoint(40, 25));
    settle(50);
    sim.MouseUp(wxMOUSE_BTN_RIGHT);
    ASSERT_TRUE(wait_until([&] {
        return frame->GetScene().rotation().at(1, 2) != before.at(1, 2);
    })) << "the drag did not tilt the view";

    // A release without a press still rotates once, from the last pointer.
    const double tilt = frame->GetScene().rotation().at(1, 2);
    mouse(wxEVT_RIGHT_UP, panel_size().x / 2, panel_size().y / 2 + 60);
    EXPECT_NE(frame->GetScene().rotation().at(1, 2), tilt);

    // The wheel: one zoom step per event, whatever the turn, none below a delta.
    auto zoom = [&] { return frame->GetScene().viewport().at(0, 0); };
    const double z0 = zoom();
    mouse(wxEVT_MOUSEWHEEL, 100, 100, 60);
    EXPECT_EQ(zoom(), z0) << "less than a wheel delta";
    mouse(wxEVT_MOUSEWHEEL, 100, 100, 120);
    const double z1 = zoom();
    EXPECT_NEAR(z1 / z0, 1.05, 1e-12);
    mouse(wxEVT_MOUSEWHEEL, 100, 100, 600);
    EXPECT_NEAR(zoom() / z1, 1.05, 1e-12) << "a big turn is still one step";
    mouse(wxEVT_MOUSEWHEEL, 100, 100, -120);
    EXPECT_NEAR(zoom() / z1, 1.05 * 0.95, 1e-12);

    // Entering the panel gives it the keyboard focus, for the wheel.
    mouse(wxEVT_ENTER_WINDOW, 10, 10);
    EXPECT_TRUE(wait_until([&] { return wxWindow::FindFocus() == panel; }));
}

// Either button turns the view; a click that does not move leaves it.
TEST_F(MainFrame, DragsWithEitherButtonRotateAndAClickDoesNot) {
    wxPanel* panel = frame->GetDrawingPanel();
    wxUIActionSimulator sim;
    const wxPoint from = panel->ClientToScreen(wxPoint(panel_size().x / 2, panel_size().y / 2));
    for (int button : {wxMOUSE_BTN_LEFT, wxMOUSE_BTN_RIGHT}) {
        SCOPED_TRACE(button == wxMOUSE_BTN_LEFT ? "left" : "right");
        sim.MouseMove(from);
        ASSERT_TRUE(wait_until([&] { return wxGetMousePosition() == from; }));
        const double still = frame->GetScene().rotation().at(1, 2);
        sim.MouseDown(button);
        settle(50);
        sim.MouseUp(button);
        settle(50);
        EXPECT_EQ(frame->GetScene().rotation().at(1, 2), still) << "a click turned the view";

        sim.MouseDown(button);
        settle(50);
        sim.MouseMove(from + wxPoint(30, 40));
        settle(50);
        sim.MouseUp(button);
        EXPECT_TRUE(wait_until([&] { return frame->GetScene().rotation().at(1, 2) != still; }))
            << "the drag did not tilt the view";
        // Released, the pointer moves without turning anything.
        const double tilted = frame->GetScene().rotation().at(1, 2);
        sim.MouseMove(from);
        ASSERT_TRUE(wait_until([&] { return wxGetMousePosition() == from; }));
        settle(50);
        EXPECT_EQ(frame->GetScene().rotation().at(1, 2), tilted);
    }
}

TEST_F(MainFrame, OnlyTheFirstSizeEventSetsTheViewport) {
    const int w = frame->GetScene().width(), h = frame->GetScene().height();
    EXPECT_GT(w, 1) << "the first size event came and went";
    frame->SetSize(frame->GetSize() + wxSize(120, 80));
    ASSERT_TRUE(wait_until([&] { return panel_size().x > 0; }));
    settle(200);
    EXPECT_EQ(frame->GetScene().width(), w);
    EXPECT_EQ(frame->GetScene().height(), h);
}

TEST_F(MainFrame, BodiesMeetingOnOnePointPauseTheSimulationAndSayWhich) {
    nbBody* mars = system().find("Mars");
    const nbBody* earth = system().find("Earth");
    mars->position() = earth->position();
    mars->velocity() = earth->velocity();
    press_gravitate();
    choose(object_a(), "Earth");
    choose(object_b(), "Mars");
    tick();
    EXPECT_FALSE(frame->IsRunning());
    EXPECT_EQ(gravitate()->GetLabel(), "Gravitate!");
    EXPECT_TRUE(readout().Contains("Earth")) << readout();
    EXPECT_TRUE(readout().Contains("finite")) << readout();
    const double t = system().time();
    tick();
    EXPECT_EQ(system().time(), t);
    EXPECT_TRUE(readout().Contains("Earth")) << "the reason stays in view";

    // Gravitate! again would make every body NaN: it is refused, saying why.
    choose(track(), "Mars");
    press_gravitate();
    EXPECT_FALSE(frame->IsRunning());
    EXPECT_TRUE(readout().StartsWith("Not started: ")) << readout();
    tick();
    EXPECT_EQ(system().time(), t);
    EXPECT_TRUE(std::isfinite(system().find("Sun")->position().x)) << "the Sun was spoilt";

    // A new start date gives a finite system and a picture of it, whatever
    // auto-track followed while the bodies were lost.
    tick();
    command(find<wxButton>("ID_BUTTON1"), wxEVT_BUTTON);
    EXPECT_EQ(first_non_finite_body(system()), "");
    EXPECT_EQ(readout(), "") << "the pause's reason belongs to the old system";
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(std::isfinite(frame->GetScene().combined().at(r, c))) << r << c;
    const wxImage picture = frame->CurrentPicture();
    ASSERT_TRUE(picture.IsOk());
    int lit = 0;
    for (int y = 0; y < picture.GetHeight(); ++y)
        for (int x = 0; x < picture.GetWidth(); ++x)
            lit += picture.GetRed(x, y) + picture.GetGreen(x, y) + picture.GetBlue(x, y) > 0;
    EXPECT_GT(lit, 50) << "the picture stayed empty";
    press_gravitate();
    EXPECT_TRUE(frame->IsRunning());
}

TEST_F(MainFrame, ReadoutsGoWithTheBodiesAndSystemTheySpokeOf) {
    choose(object_a(), "Earth");
    choose(object_b(), "Mars");
    tick();
    ASSERT_TRUE(readout().StartsWith("Separation: ")) << readout();
    ASSERT_TRUE(system().remove("Mars"));
    tick();
    EXPECT_EQ(readout(), "") << "a separation from a body no longer there";
    frame->RefreshBodyLists();
    tick();
    EXPECT_EQ(readout(), "");
}

// Recenter on Sun while auto-track holds another body: the Sun is centred,
// and stays so, rather than the command doing nothing.
TEST_F(MainFrame, RecenterOnSunTakesTheCentreFromAutoTrack) {
    choose(track(), "Jupiter");
    tick();
    menu(ZenorbToolbar::ID_RECENTER_SUN);
    EXPECT_EQ(selection(track()), "Sun");
    press_gravitate();
    tick();
    tick();
    EXPECT_EQ(on_panel("Sun"), wxPoint(panel_size().x / 2, panel_size().y / 2));
}

TEST_F(MainFrame, ATimeStepThatIsNoNumberKeepsTheLastOneAndSaysWhy) {
    auto* step = find<wxSpinCtrlDbl>("ID_SPINCTRL1");
    step->SetDecimalSeparator('.');
    step->GetTextCtrl()->ChangeValue("");
    step->GetTextCtrl()->SetModified(true);
    step->SyncSpinToText(true, true);
    EXPECT_EQ(step->GetTextCtrl()->GetValue(), "0.26");
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(),
              "Timestep [days]: An empty field is no number: 0.26 is kept.");
    press_gravitate();
    const double t = system().time();
    tick();
    EXPECT_NEAR(system().time() - t, 0.26, 1e-9) << "the clock froze";

    auto* refresh = find<wxSpinCtrlDbl>("ID_SPINCTRL2");
    refresh->GetTextCtrl()->ChangeValue("1000");
    refresh->GetTextCtrl()->SetModified(true);
    refresh->SyncSpinToText(true, true);
    EXPECT_EQ(frame->GetRefreshMs(), 500);
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(),
              "Refresh [ms]: 1000 is above the largest value: 500 is taken.");
}

TEST_F(MainFrame, SwitchingTheModeAfterTheStartAsksFirst) {
    wxCheckBox* box = find<wxCheckBox>("ID_CHECKBOX11");
    {
        // At the start date nothing is lost: no question.
        ModalAnswers none(wxID_NO);
        box->SetValue(true);
        command(box, wxEVT_CHECKBOX);
        EXPECT_TRUE(none.messages.empty());
        EXPECT_EQ(system().integrator(), nbSystem::Integrator::HighAccuracy);
    }
    press_gravitate();
    tick();
    const double later = system().time();
    {
        ModalAnswers keep(wxID_NO);
        box->SetValue(false);
        command(box, wxEVT_CHECKBOX);
        ASSERT_EQ(keep.messages.size(), 1u);
        EXPECT_NE(keep.messages[0].find("time since then is lost"), std::string::npos);
        EXPECT_TRUE(box->GetValue()) << "the box shows the mode kept";
        EXPECT_EQ(system().time(), later);
        EXPECT_EQ(system().integrator(), nbSystem::Integrator::HighAccuracy);
    }
    {
        ModalAnswers yes(wxID_YES);
        box->SetValue(false);
        command(box, wxEVT_CHECKBOX);
        EXPECT_EQ(yes.messages.size(), 1u);
        EXPECT_LT(system().time(), later);
        EXPECT_EQ(system().integrator(), nbSystem::Integrator::SemiImplicitEuler);
    }
}

// However low the screen, the window fits: the control column scrolls.
TEST_F(MainFrame, TheControlColumnScrollsWhereTheWindowIsLow) {
    auto* column = dynamic_cast<wxScrolledWindow*>(wxWindow::FindWindowByName("ID_PANEL2", frame));
    ASSERT_NE(column, nullptr);
    EXPECT_LT(frame->GetMinClientSize().y, 420) << "the least height is more than most screens";
    frame->SetClientSize(frame->GetClientSize().x, 420);
    ASSERT_TRUE(wait_until([&] { return frame->GetClientSize().y <= 420; }))
        << frame->GetClientSize().y;
    settle();
    EXPECT_GT(column->GetVirtualSize().y, column->GetClientSize().y);
    EXPECT_LE(column->GetVirtualSize().x, column->GetClientSize().x) << "it scrolls sideways";
}

TEST_F(MainFrame, ThePanelShowsAndSavePictureWritesWhatTheTickDraws) {
    init_default_graphics();
    const nbColour sun = default_graphics("Sun").colour();
    const nbColour jupiter = default_graphics("Jupiter").colour();
    const wxSize size = panel_size();
    tick();
    ASSERT_TRUE(wait_until([&] {
        const wxImage shown = grab(frame->GetDrawingPanel());
        return has_colour(shown, size.x / 2, size.y / 2, sun);
    })) << "the panel does not show the tracked Sun at its centre";

    // What the panel shows is what a saved picture holds, pixel for pixel.
    tick();
    const wxImage shown = grab(frame->GetDrawingPanel());
    const wxImage next = frame->CurrentPicture();
    ASSERT_EQ(shown.GetSize(), next.GetSize());
    long differing = 0;
    for (int y = 0; y < size.y; ++y)
        for (int x = 0; x < size.x; ++x)
            differing += shown.GetRed(x, y) != next.GetRed(x, y) ||
                         shown.GetGreen(x, y) != next.GetGreen(x, y) ||
                         shown.GetBlue(x, y) != next.GetBlue(x, y);
    EXPECT_EQ(differing, 0);

    const std::string dir = testing::TempDir() + "zenorb-frame-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    const std::string file = dir + "/picture.png";
    wxString error;
    ASSERT_TRUE(frame->SavePicture(file, error)) << error;
    wxImage saved;
    ASSERT_TRUE(saved.LoadFile(file, wxBITMAP_TYPE_PNG));
    EXPECT_EQ(saved.GetSize(), size);
    EXPECT_TRUE(has_colour(saved, size.x / 2, size.y / 2, sun));
    EXPECT_TRUE(has_colour(saved, 0, 0, nbColour(0, 0, 0))) << "black background";

    // A change of view shows in the next picture saved.
    choose(track(), "Jupiter");
    ASSERT_TRUE(frame->SavePicture(file, error)) << error;
    ASSERT_TRUE(saved.LoadFile(file, wxBITMAP_TYPE_PNG));
    EXPECT_TRUE(has_colour(saved, size.x / 2, size.y / 2, jupiter));

    // Failures are reported and leave nothing behind.
    EXPECT_FALSE(frame->SavePicture(dir + "/missing/picture.png", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(frame->SavePicture(dir, error)) << "a folder is no picture file";
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"picture.png"});
    std::filesystem::remove_all(dir);
}

wxString status_text(wxFrame* frame) {
    return frame->GetStatusBar()->GetStatusText();
}

wxString menu_label(wxFrame* frame, int id) {
    return frame->GetMenuBar()->GetLabel(id);
}

// While recording, every tick's picture is shown and goes into the film,
// which keeps the panel's first size.
TEST_F(MainFrame, RecordsTheTicksPicturesUntilStopped) {
    init_default_graphics();
    const nbColour sun = default_graphics("Sun").colour();
    TempDir dir;
    const std::string path = dir.path() + "/ticks.mp4";
    EXPECT_EQ(menu_label(frame, ZenorbFrame::ID_RECORD_FILM), "Record film...");
    const wxSize size = panel_size();
    wxString error;
    ASSERT_TRUE(frame->StartRecording(path, error)) << error;
    EXPECT_EQ(menu_label(frame, ZenorbFrame::ID_RECORD_FILM), "Stop recording");
    EXPECT_FALSE(frame->StartRecording(dir.path() + "/second.mp4", error)) << "one at a time";
    // Paused: the ticks redraw all the same, and each picture is recorded.
    for (int k = 0; k < 4; ++k)
        tick();
    EXPECT_EQ(frame->GetFilmRecorder().frames(), 4);
    EXPECT_TRUE(status_text(frame).Contains("ticks.mp4: 4 frames")) << status_text(frame);
    // The panel still shows the picture.
    ASSERT_TRUE(wait_until([&] {
        return has_colour(grab(frame->GetDrawingPanel()), size.x / 2, size.y / 2, sun);
    })) << "the panel does not show the tracked Sun while recording";

    // A larger window: the film keeps its size.
    frame->SetSize(frame->GetSize() + wxSize(120, 80));
    ASSERT_TRUE(wait_until([&] { return panel_size() != size; }));
    for (int k = 0; k < 3; ++k)
        tick();
    const long frames = frame->GetFilmRecorder().frames();
    EXPECT_GE(frames, 7) << "paints of the panel are recorded too";
    ASSERT_TRUE(frame->StopRecording(error)) << error;
    EXPECT_EQ(menu_label(frame, ZenorbFrame::ID_RECORD_FILM), "Record film...");
    EXPECT_TRUE(status_text(frame).Contains("saved: " + std::to_string(frames) + " frames"))
        << status_text(frame);
    tick();
    EXPECT_FALSE(frame->GetFilmRecorder().recording());

    const FilmProbe probe = probe_film(path);
    ASSERT_TRUE(probe.readable) << probe.errors;
    EXPECT_EQ(probe.codec, "h264");
    EXPECT_EQ(probe.frames, frames);
    EXPECT_EQ(probe.width, size.x + size.x % 2);
    EXPECT_EQ(probe.height, size.y + size.y % 2);
    const int fps = FilmRecorder::fps_for_refresh(frame->GetRefreshMs());
    EXPECT_EQ(fps, 18);
    EXPECT_NEAR(probe.seconds, double(frames) / fps, 0.5 / fps);
    // The film's first frame is the panel's picture: the Sun in the middle.
    const std::vector<std::uint8_t> rgb = first_film_frame(path);
    ASSERT_EQ(rgb.size(), std::size_t(probe.width) * probe.height * 3);
    const std::size_t centre = (std::size_t(size.y / 2) * probe.width + size.x / 2) * 3;
    EXPECT_NEAR(rgb[centre], sun.red(), 40);
    EXPECT_NEAR(rgb[centre + 1], sun.green(), 40);
    EXPECT_NEAR(rgb[centre + 2], sun.blue(), 40);
}

TEST_F(MainFrame, AFilmThatCannotBeStartedIsAReasonAndNoRecording) {
    TempDir dir;
    wxString error;
    EXPECT_FALSE(frame->StartRecording(dir.path() + "/missing/film.mp4", error));
    EXPECT_TRUE(error.Contains("No such file or directory")) << error;
    EXPECT_FALSE(frame->StartRecording(dir.path(), error));
    EXPECT_TRUE(error.Contains("it is a directory")) << error;
    EXPECT_FALSE(frame->GetFilmRecorder().recording());
    EXPECT_EQ(menu_label(frame, ZenorbFrame::ID_RECORD_FILM), "Record film...");
    EXPECT_TRUE(files_in(dir.path()).empty());
}

// A file that takes no more (here a file-size limit, as a full disk) stops
// the recording with the reason on the status bar; the file is a film of
// the frames before.
TEST_F(MainFrame, AFileThatTakesNoMoreStopsTheRecordingAndStaysAFilm) {
    TempDir dir;
    const std::string path = dir.path() + "/limited.mp4";
    wxString error;
    ASSERT_TRUE(frame->StartRecording(path, error)) << error;
    press_gravitate();
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limit = old;
    limit.rlim_cur = std::filesystem::file_size(path) + 60 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    for (int k = 0; k < 2000 && frame->GetFilmRecorder().recording(); ++k)
        tick();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
    ASSERT_FALSE(frame->GetFilmRecorder().recording()) << "the limit was never reached";
    const wxString status = status_text(frame);
    const wxString after = "Recording stopped after ";
    EXPECT_TRUE(status.StartsWith(after)) << status;
    EXPECT_TRUE(status.Contains("File too large")) << status;
    EXPECT_TRUE(status.Contains("the frames before stay a playable film")) << status;
    EXPECT_EQ(menu_label(frame, ZenorbFrame::ID_RECORD_FILM), "Record film...");
    long recorded = 0;
    ASSERT_TRUE(status.Mid(after.size()).BeforeFirst(' ').ToLong(&recorded)) << status;
    const FilmProbe probe = probe_film(path);
    ASSERT_TRUE(probe.readable) << probe.errors;
    EXPECT_GE(probe.frames, FilmRecorder::fps_for_refresh(frame->GetRefreshMs()));
    EXPECT_LE(probe.frames, recorded);
    // Stopping now is no error: the recording has ended already.
    EXPECT_TRUE(frame->StopRecording(error));
}

// "Manage objects..." as the user meets it: the dialog runs modally over the
// frame while ticks go on; bodies removed there are gone from the system,
// from the three lists and from their selections once it closes.
TEST_F(MainFrame, ManageObjectsRemovesBodiesAndTheListsForgetThem) {
    choose(track(), "Moon");
    choose(object_a(), "Mars");
    choose(object_b(), "Earth");
    press_gravitate();
    frame->StartTicks(20); // it keeps stepping under the dialog
    const double before = system().time();
    bool ran = false;
    frame->CallAfter([&] {
        ran = true;
        OrbitalElementsDialog* dialog = nullptr;
        ASSERT_TRUE(wait_until([&] {
            for (wxWindow* w : wxTopLevelWindows)
                if ((dialog = dynamic_cast<OrbitalElementsDialog*>(w)) && dialog->IsShown())
                    return true;
            return false;
        })) << "the dialog never opened";
        wait_until([&] { return system().time() > before; }, 2000);
        dialog->GetBookCtrl()->SetSelection(OrbitalElementsDialog::DELETE_PAGE);
        settle(20);
        wxCheckedListCtrl* list = dialog->GetDeletePage()->GetList();
        for (long row = 0; row < list->GetItemCount(); ++row)
            if (list->GetItemText(row) == "Moon" || list->GetItemText(row) == "Mars")
                list->Check(row, true);
        wxCommandEvent apply(wxEVT_BUTTON, dialog->GetApplyButton()->GetId());
        apply.SetEventObject(dialog->GetApplyButton());
        dialog->GetApplyButton()->GetEventHandler()->ProcessEvent(apply);
        EXPECT_EQ(system().find("Moon"), nullptr) << "gone at once, before the dialog closes";
        dialog->EndModal(wxID_CANCEL);
    });
    menu(ZenorbToolbar::ID_ORBITAL_ELEMENTS);
    frame->StopTicks();
    ASSERT_TRUE(ran);
    EXPECT_GT(system().time(), before) << "the timer stopped stepping under the dialog";
    EXPECT_EQ(system().size(), 9u);
    EXPECT_EQ(track()->GetSelection(), -1);
    EXPECT_EQ(object_a()->GetSelection(), -1);
    EXPECT_EQ(selection(object_b()), "Earth");
    for (wxChoiceWx* choice : {track(), object_a(), object_b()}) {
        const auto names = entries(choice);
        EXPECT_EQ(std::count(names.begin(), names.end(), "Moon"), 0);
        EXPECT_EQ(std::count(names.begin(), names.end(), "Mars"), 0);
        EXPECT_EQ(names.size(), 10u);
    }
    // The closing zeroes the momentum the removal left.
    vec3d p;
    double m = 0;
    for (const auto& entry : system())
        p += entry.second->velocity() * entry.second->mass(), m += entry.second->mass();
    EXPECT_LT(p.length() / m, 1e-9) << "mean velocity left, m/s";
}

TEST_F(MainFrame, RefreshedListsDropVanishedBodiesAndTheirSelections) {
    choose(track(), "Moon");
    choose(object_a(), "Moon");
    choose(object_b(), "Mars");
    ASSERT_TRUE(system().remove("Moon"));
    frame->RefreshBodyLists();
    EXPECT_EQ(track()->GetSelection(), -1);
    EXPECT_EQ(object_a()->GetSelection(), -1);
    EXPECT_EQ(selection(object_b()), "Mars");
    for (wxChoiceWx* choice : {track(), object_a(), object_b()}) {
        EXPECT_EQ(choice->GetCount(), 11u);
        const auto names = entries(choice);
        EXPECT_EQ(std::find(names.begin(), names.end(), "Moon"), names.end());
    }
}

// Without any browser to start, one message says so, where the guide is;
// not the toolkit's own error and then a wrong one about a missing guide.
TEST_F(MainFrame, WithoutABrowserTheGuideMenuSaysSoOnce) {
    const char* path = std::getenv("PATH");
    const std::string saved_path = path ? path : "";
    const char* browser = std::getenv("BROWSER");
    const std::string saved_browser = browser ? browser : "";
    setenv("PATH", "/nonexistent", 1);
    setenv("BROWSER", "/nonexistent/browser", 1);
    std::vector<std::string> said;
    {
        ModalAnswers answers(wxID_OK);
        menu(ZenorbFrame::ID_WEBSITE);
        settle(300);
        said = answers.messages;
    }
    setenv("PATH", saved_path.c_str(), 1);
    if (browser)
        setenv("BROWSER", saved_browser.c_str(), 1);
    else
        unsetenv("BROWSER");
    if (said.empty())
        GTEST_SKIP() << "a handler for the guide was found even without PATH";
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("No web browser could be started"), std::string::npos) << said[0];
    EXPECT_NE(said[0].find("guide.html"), std::string::npos) << said[0];
}

// Keys as a user presses them, through the X server (xdotool), on the
// picture; in a text field they stay the field's.
TEST_F(MainFrame, KeysSteerTimeAndViewUnlessATextFieldTakesThem) {
    wxWindow* picture = frame->GetDrawingPanel();
    auto key = [&](const char* name) {
        const std::string command = std::string("xdotool key --clearmodifiers ") + name;
        return std::system(command.c_str()) == 0;
    };
    auto* step = find<wxSpinCtrlDbl>("ID_SPINCTRL1");
    step->GetTextCtrl()->SetFocus();
    ASSERT_TRUE(wait_until([&] { return wxWindow::FindFocus() == step->GetTextCtrl(); }));
    ASSERT_TRUE(key("space"));
    settle(200);
    EXPECT_FALSE(frame->IsRunning()) << "a blank typed in the time step started the simulation";

    picture->SetFocus();
    ASSERT_TRUE(wait_until([&] { return wxWindow::FindFocus() == picture; }));
    ASSERT_TRUE(key("space"));
    ASSERT_TRUE(wait_until([&] { return frame->IsRunning(); })) << "Space did not start it";
    frame->StopTicks();

    ASSERT_TRUE(key("bracketright"));
    ASSERT_TRUE(wait_until([&] { return step->GetValue() == 0.52; })) << step->GetValue();
    ASSERT_TRUE(key("bracketleft"));
    ASSERT_TRUE(key("bracketleft"));
    ASSERT_TRUE(wait_until([&] { return step->GetValue() == 0.13; })) << step->GetValue();

    ASSERT_TRUE(key("r"));
    ASSERT_TRUE(wait_until([&] { return frame->IsReversed(); })) << "R did not reverse time";
    const double t = system().time();
    tick();
    EXPECT_NEAR(system().time() - t, -0.13, 1e-9) << "the tick went forwards";

    const Matrix4 start = frame->GetScene().rotation();
    ASSERT_TRUE(key("Left"));
    ASSERT_TRUE(wait_until([&] { return frame->GetScene().rotation().at(0, 0) != start.at(0, 0); }))
        << "Left did not turn the view";
    const double scale = frame->GetScene().viewport().at(0, 0);
    ASSERT_TRUE(key("plus"));
    ASSERT_TRUE(wait_until([&] { return frame->GetScene().viewport().at(0, 0) > scale; }))
        << "+ did not zoom in";
    ASSERT_TRUE(key("minus"));
    ASSERT_TRUE(key("minus"));
    ASSERT_TRUE(wait_until([&] { return frame->GetScene().viewport().at(0, 0) < scale; }))
        << "- did not zoom out";
    ASSERT_TRUE(key("Home"));
    ASSERT_TRUE(wait_until([&] {
        return frame->GetScene().rotation().at(0, 0) == 1 &&
               frame->GetScene().viewport().at(0, 0) == scale;
    })) << "Home did not bring back the view of the start";

    choose(object_a(), "Mars");
    picture->SetFocus();
    ASSERT_TRUE(wait_until([&] { return wxWindow::FindFocus() == picture; }));
    ASSERT_TRUE(key("f"));
    ASSERT_TRUE(wait_until([&] { return selection(track()) == "Mars"; })) << selection(track());
    ASSERT_TRUE(key("space"));
    ASSERT_TRUE(wait_until([&] { return !frame->IsRunning(); })) << "Space did not pause it";
}

TEST(TimeOfDay, HoursMinutesAndSecondsWithinTheDayOnly) {
    const struct {
        const char* text;
        bool ok;
        int h, m, s;
    } cases[] = {
        {"14:30", true, 14, 30, 0},      {" 07:05:09 ", true, 7, 5, 9}, {"7:5", true, 7, 5, 0},
        {"23:59:59", true, 23, 59, 59},  {"24:00", false, 0, 0, 0},     {"12:60", false, 0, 0, 0},
        {"12:00:60", false, 0, 0, 0},    {"-1:00", false, 0, 0, 0},     {"12", false, 0, 0, 0},
        {"12:00:00:00", false, 0, 0, 0}, {"1a:00", false, 0, 0, 0},     {"", false, 0, 0, 0},
        {"012:00", false, 0, 0, 0}};
    for (const auto& c : cases) {
        int h = -1, m = -1, sec = -1;
        EXPECT_EQ(parse_time_of_day(c.text, h, m, sec), c.ok) << "'" << c.text << "'";
        if (c.ok) {
            EXPECT_EQ(h, c.h) << c.text;
            EXPECT_EQ(m, c.m) << c.text;
            EXPECT_EQ(sec, c.s) << c.text;
        }
    }
}

// Fills the "Go to date" dialog in place of a user and presses OK.
class GoToDateAnswer : public wxModalDialogHook {
public:
    GoToDateAnswer(const wxDateTime& day, const char* time) : day_(day), time_(time) { Register(); }
    double opened_at = 0;
    int shown = 0;

protected:
    int Enter(wxDialog* dialog) override {
        auto* go = dynamic_cast<GoToDateDialog*>(dialog);
        if (!go) {
            ADD_FAILURE() << "an unexpected dialog: " << dialog->GetTitle();
            return wxID_CANCEL;
        }
        ++shown;
        wxString ignored;
        go->GetJd(opened_at, ignored);
        go->GetDateCtrl()->SetDate(day_);
        go->GetTimeCtrl()->ChangeValue(time_);
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}

private:
    wxDateTime day_;
    wxString time_;
};

TEST_F(MainFrame, GoToDateRebuildsAtTheDayAndTimeOfDayChosen) {
    const std::string comet = add_catalogue_comet();
    ASSERT_FALSE(comet.empty());
    press_gravitate();
    tick();
    const double before = system().time();
    {
        GoToDateAnswer answer(wxDateTime(15, wxDateTime::Jun, 2030), " 14:30:15 ");
        menu(ZenorbFrame::ID_GO_TO_DATE);
        ASSERT_EQ(answer.shown, 1);
        EXPECT_NEAR(answer.opened_at, before, 0.6 / 86400) << "it opens on the simulation's time";
    }
    const double jd = datetime_to_jd(wxDateTime(15, wxDateTime::Jun, 2030)) +
                      (14 * 3600 + 30 * 60 + 15) / 86400.0;
    EXPECT_DOUBLE_EQ(system().time(), jd);
    EXPECT_EQ(clock_label(system().time()), "2030-06-15 14:30:15 UTC");
    EXPECT_EQ(find<wxDateGenericCtrl>("ID_DATEPICKERCTRL1")->GetDate(),
              wxDateTime(15, wxDateTime::Jun, 2030));
    EXPECT_NE(system().find(comet), nullptr) << "the catalogue body was lost";
    EXPECT_TRUE(frame->IsRunning());
    {
        GoToDateAnswer answer(wxDateTime(1, wxDateTime::Jan, 2000), "25:00");
        menu(ZenorbFrame::ID_GO_TO_DATE);
    }
    EXPECT_DOUBLE_EQ(system().time(), jd) << "a time of day past the day's end rebuilt the system";
    EXPECT_TRUE(frame->GetStatusBar()->GetStatusText().Contains("\"25:00\" is no time of day"))
        << frame->GetStatusBar()->GetStatusText();
    the_factory->clear_catalogue();
}

// A picture slower than the refresh period, on purpose.
class SlowPictureFrame : public ZenorbFrame {
public:
    using ZenorbFrame::ZenorbFrame;
    static constexpr int PICTURE_MS = 60;
    void RedrawScene() override {
        wxMilliSleep(PICTURE_MS);
        ZenorbFrame::RedrawScene();
    }
};

// Keys typed at start are for the picture, not the start date's year. The
// pointer stays off the window: entering the panel gives it the focus too.
TEST(StartFocus, TheDrawingPanelHasTheKeyboardFocus) {
    std::filesystem::remove_all(ZenorbSettings::config_directory().utf8_string());
    wxUIActionSimulator sim;
    const wxRect screen = wxDisplay(0u).GetGeometry();
    const wxPoint corner(screen.GetRight(), screen.GetBottom());
    sim.MouseMove(corner);
    ASSERT_TRUE(wait_until([&] { return wxGetMousePosition() == corner; }));
    auto* frame = new ZenorbFrame(nullptr);
    frame->StopTicks();
    frame->Show();
    frame->Raise();
    ASSERT_TRUE(wait_until([&] { return frame->IsShownOnScreen() && frame->IsActive(); }));
    settle(200);
    ASSERT_FALSE(frame->GetScreenRect().Contains(corner)) << "the window covers the screen";
    auto* date =
        dynamic_cast<wxDateGenericCtrl*>(wxWindow::FindWindowByName("ID_DATEPICKERCTRL1", frame));
    ASSERT_NE(date, nullptr);
    wxWindow* focused = wxWindow::FindFocus();
    EXPECT_NE(focused, date->GetYearSpin());
    EXPECT_EQ(focused, frame->GetDrawingPanel());
    frame->Destroy();
    wait_until([] { return wxTopLevelWindows.IsEmpty(); });
}

// Ticks longer than their period must not starve the window: a control
// asks to be repainted and is, a click is answered, within 200 ms.
TEST(SlowPicture, ControlsRepaintAndClicksAreAnsweredWhileTicksOverrun) {
    auto* frame = new SlowPictureFrame(nullptr);
    frame->Show();
    frame->Raise();
    ASSERT_TRUE(wait_until([&] { return frame->IsShownOnScreen() && frame->IsActive(); }));
    settle(100);
    // A plain child of the control column, whose paints the test counts.
    wxWindow* column = wxWindow::FindWindowByName("ID_PANEL2", frame);
    ASSERT_NE(column, nullptr);
    auto* probe = new wxPanel(column, wxID_ANY, wxPoint(0, 0), wxSize(24, 24));
    int paints = 0;
    probe->Bind(wxEVT_PAINT, [&](wxPaintEvent&) {
        wxPaintDC dc(probe);
        ++paints;
    });
    ASSERT_TRUE(wait_until([&] { return paints > 0; }));
    frame->StartTicks(30);
    settle(300); // the ticks are under way

    wxStopWatch clock;
    long slowest = 0;
    for (int k = 0; k < 5; ++k) {
        const int before = paints;
        probe->Refresh();
        clock.Start();
        ASSERT_TRUE(wait_until([&] { return paints > before; }, 3000)) << "never repainted";
        slowest = std::max(slowest, clock.Time());
        wait_until([] { return false; }, 37); // between ticks and across them
    }
    EXPECT_LE(slowest, 200) << "ms from a repaint asked to its paint";

    auto* button = dynamic_cast<wxButton*>(wxWindow::FindWindowByName("ID_BUTTON2", frame));
    ASSERT_NE(button, nullptr);
    wxUIActionSimulator sim;
    const wxPoint centre =
        button->GetScreenRect().GetPosition() + wxPoint(button->GetSize().x / 2, 8);
    sim.MouseMove(centre);
    ASSERT_TRUE(wait_until([&] { return wxGetMousePosition() == centre; }));
    sim.MouseClick();
    clock.Start();
    ASSERT_TRUE(wait_until([&] { return frame->IsRunning(); }, 3000)) << "the click went unheard";
    EXPECT_LE(clock.Time(), 200 + SlowPictureFrame::PICTURE_MS) << "ms to answer the click";
    frame->StopTicks();
    frame->Destroy();
    wait_until([] { return wxTopLevelWindows.IsEmpty(); });
}

} // namespace
