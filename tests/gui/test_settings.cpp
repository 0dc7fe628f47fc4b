// The kept settings: the file read and written on its own, and the main
// window started twice over one config directory, as a user runs it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/modalhook.h>
#include <wx/spinctrl.h>
#include <wx/statusbr.h>

#include "common/read_only_dir.h"
#include "common/temp_dir.h"
#include "gui/frame.h"
#include "gui/settings.h"
#include "gui/single_object_panel.h"
#include "gui/widgets/choice_wx.h"
#include "gui/widgets/list_view_combo_popup.h"
#include "gui/widgets/spin_ctrl_dbl.h"
#include "gui_test.h"
#include "nbody/factory.h"

namespace {

using namespace std::string_literals;

// Every value away from its default.
ZenorbSettings changed_settings() {
    ZenorbSettings s;
    s.window_size = wxSize(1000, 700);
    s.has_position = true;
    s.window_position = wxPoint(30, 20);
    s.maximised = true;
    s.options.orbits = false;
    s.options.fade_orbits = false;
    s.options.names = false;
    s.options.satellite_names = true;
    s.options.sun = false;
    s.options.axes = true;
    s.options.simplified = true;
    s.options.actual_sizes = true;
    s.step_days = 1.25;
    s.refresh_ms = 120;
    s.high_accuracy = true;
    s.tracked = "C/2020 F3 (NEOWISE) = x";
    s.object_a = wxString::FromUTF8("Ťěžký \"kámen\"");
    s.object_b = "";
    // Taken as written: no variable is expanded, no backslash lost.
    s.picture_folder = "/tmp/$HOME/pictures";
    s.film_folder = "/tmp/films with spaces ";
    s.restore_folder = "C:\\elements";
    return s;
}

TEST(SettingsFile, EveryValueComesBackAsWritten) {
    TempDir dir;
    const ZenorbSettings written = changed_settings();
    ASSERT_NE(written, ZenorbSettings());
    wxString error;
    ASSERT_TRUE(written.save(dir.path() + "/zenorb", error)) << error;
    EXPECT_EQ(files_in(dir.path() + "/zenorb"), std::set<std::string>{"zenorb.conf"});

    ZenorbSettings read;
    wxString warning;
    ASSERT_TRUE(read.load(dir.path() + "/zenorb", warning));
    EXPECT_TRUE(warning.empty()) << warning;
    EXPECT_EQ(read, written);
    EXPECT_EQ(read.object_a, written.object_a);
    EXPECT_EQ(read.picture_folder, "/tmp/$HOME/pictures");
    EXPECT_EQ(read.film_folder, "/tmp/films with spaces ");
    EXPECT_EQ(read.restore_folder, "C:\\elements");
}

TEST(SettingsFile, NoFileIsTheDefaultsWithoutAWord) {
    TempDir dir;
    ZenorbSettings read;
    wxString warning;
    EXPECT_TRUE(read.load(dir.path() + "/nowhere", warning));
    EXPECT_TRUE(warning.empty());
    EXPECT_EQ(read, ZenorbSettings());
}

// Each value out of range keeps its own default; the rest are read.
TEST(SettingsFile, ValuesOutOfRangeAreDroppedOneByOne) {
    struct Case {
        const char* lines;
        bool (*kept_default)(const ZenorbSettings&);
    };
    const Case cases[] = {
        {"[Simulation]\nTimestepDays=500\n",
         [](const ZenorbSettings& s) { return s.step_days == DEFAULT_STEP_DAYS; }},
        {"[Simulation]\nTimestepDays=0\n",
         [](const ZenorbSettings& s) { return s.step_days == DEFAULT_STEP_DAYS; }},
        {"[Simulation]\nTimestepDays=nan\n",
         [](const ZenorbSettings& s) { return s.step_days == DEFAULT_STEP_DAYS; }},
        {"[Simulation]\nTimestepDays=0,5\n",
         [](const ZenorbSettings& s) { return s.step_days == DEFAULT_STEP_DAYS; }},
        {"[Simulation]\nRefreshMs=5\n", [](const ZenorbSettings& s) { return s.refresh_ms == 55; }},
        {"[Simulation]\nRefreshMs=fast\n",
         [](const ZenorbSettings& s) { return s.refresh_ms == 55; }},
        {"[Simulation]\nHighAccuracy=yes please\n",
         [](const ZenorbSettings& s) { return !s.high_accuracy; }},
        {"[Window]\nWidth=-800\nHeight=600\n",
         [](const ZenorbSettings& s) { return s.window_size.x <= 0; }},
        {"[Window]\nWidth=800\nHeight=99999999\n",
         [](const ZenorbSettings& s) { return s.window_size.x <= 0; }},
        {"[Window]\nX=12\n", [](const ZenorbSettings& s) { return !s.has_position; }},
        {"[Window]\nX=-9999999\nY=0\n", [](const ZenorbSettings& s) { return !s.has_position; }},
        {"[Display]\nAxes=2\n", [](const ZenorbSettings& s) { return !s.options.axes; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        TempDir dir;
        // A good value beside the bad one, which must still be read.
        dir.write("zenorb.conf", std::string(c.lines) + "[Bodies]\nTracked=Mars\n");
        ZenorbSettings read;
        wxString warning;
        EXPECT_TRUE(read.load(dir.path(), warning));
        EXPECT_TRUE(warning.empty()) << warning;
        EXPECT_TRUE(c.kept_default(read));
        EXPECT_EQ(read.tracked, "Mars");
    }
}

// The three ways a settings file turns up damaged; a directory and a file
// too large to be one are refused before any reading.
const struct Damage {
    const char* what;
    std::string bytes;
} DAMAGED[] = {
    {"garbage bytes", "\x89PNG\r\n\x1a\n\xff\xfe\x01 [Window\nWidth=="s},
    {"a line of 100 kB", "[Window]\nWidth=" + std::string(100 * 1024, '7') + "\n"},
    {"NUL bytes", "[Window]\nWidth=900\0\0\0\nHeight=700\n"s},
};

TEST(SettingsFile, ADamagedFileIsTheDefaultsAndAOneLineWarning) {
    for (const Damage& damage : DAMAGED) {
        SCOPED_TRACE(damage.what);
        TempDir dir;
        dir.write("zenorb.conf", damage.bytes);
        ZenorbSettings read;
        read.tracked = "changed before the load";
        wxString warning;
        EXPECT_FALSE(read.load(dir.path(), warning));
        EXPECT_TRUE(warning.Contains("zenorb.conf")) << warning;
        EXPECT_FALSE(warning.Contains("\n")) << warning;
        EXPECT_EQ(slurp(dir.path() + "/zenorb.conf"), damage.bytes);
    }
    TempDir dir;
    std::filesystem::create_directories(dir.path() + "/zenorb.conf");
    ZenorbSettings read;
    wxString warning;
    EXPECT_FALSE(read.load(dir.path(), warning));
    EXPECT_FALSE(warning.empty());
}

TEST(SettingsFile, ASaveThatCannotBeWrittenSaysWhyAndLeavesTheOldFile) {
    TempDir dir;
    dir.write("zenorb.conf", "[Bodies]\nTracked=Mars\n");
    ReadOnlyDirectory locked(dir.path());
    if (!locked.active())
        GTEST_SKIP() << "the directory could not be made read-only";
    EXPECT_FALSE(ZenorbSettings::can_write(dir.path()));
    wxString error;
    EXPECT_FALSE(changed_settings().save(dir.path(), error));
    EXPECT_TRUE(error.Contains("zenorb.conf")) << error;
    EXPECT_EQ(slurp(dir.path() + "/zenorb.conf"), "[Bodies]\nTracked=Mars\n");
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"zenorb.conf"});
}

TEST(SettingsFile, TheConfigDirectoryFollowsTheFreedesktopRule) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string kept = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ(ZenorbSettings::config_directory(), "/somewhere/config/zenorb");
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(ZenorbSettings::config_directory(), wxFileName::GetHomeDir() + "/.config/zenorb");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ZenorbSettings::config_directory(), wxFileName::GetHomeDir() + "/.config/zenorb");
    if (saved)
        setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
}

// The main window over a config directory of the test's own.
class SettingsWindow : public testing::Test {
protected:
    void SetUp() override {
        const char* saved = std::getenv("XDG_CONFIG_HOME");
        saved_config_home = saved ? saved : "";
        setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        SingleObjectPanel::set_restore_folder(wxString());
    }
    void TearDown() override {
        if (frame)
            close_frame();
        setenv("XDG_CONFIG_HOME", saved_config_home.c_str(), 1);
        SingleObjectPanel::set_restore_folder(wxString());
        the_factory->set_high_accuracy(false);
    }

    std::string file() const { return config.path() + "/zenorb/zenorb.conf"; }

    void open_frame() {
        frame = new ZenorbFrame(nullptr);
        frame->StopTicks();
        frame->Show();
        frame->Raise();
        ASSERT_TRUE(wait_until([this] { return frame->IsShownOnScreen() && frame->IsActive(); }))
            << "the main window never became active";
        settle(200);
    }
    // As the window's close box does.
    void close_frame() {
        frame->Close();
        wait_until([] { return wxTopLevelWindows.IsEmpty(); });
        frame = nullptr;
    }

    template <class W> W* find(const char* name) const {
        W* w = dynamic_cast<W*>(wxWindow::FindWindowByName(name, frame));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::vector<wxCheckBox*> option_boxes() const {
        std::vector<wxCheckBox*> boxes;
        for (const char* name : {"ID_CHECKBOX3", "ID_CHECKBOX9", "ID_CHECKBOX1", "ID_CHECKBOX10",
                                 "ID_CHECKBOX8", "ID_CHECKBOX7", "ID_CHECKBOX6", "ID_CHECKBOX2"})
            boxes.push_back(find<wxCheckBox>(name));
        return boxes;
    }
    static std::string selection(const wxChoiceWx* choice) {
        const int i = choice->GetSelection();
        return i < 0 ? std::string() : choice->GetString(i).utf8_string();
    }
    void choose(wxChoiceWx* choice, const char* text) {
        ASSERT_TRUE(choice->SetStringSelection(text)) << text;
        SendComboSelected(choice, choice->GetSelection(), text);
    }
    void expect_defaults() {
        const DisplayOptions start;
        const DisplayOptions shown = frame->CurrentOptions();
        EXPECT_EQ(shown.orbits, start.orbits);
        EXPECT_EQ(shown.names, start.names);
        EXPECT_EQ(shown.axes, start.axes);
        EXPECT_EQ(shown.actual_sizes, start.actual_sizes);
        EXPECT_DOUBLE_EQ(find<wxSpinCtrlDbl>("ID_SPINCTRL1")->GetValue(), DEFAULT_STEP_DAYS);
        EXPECT_EQ(frame->GetRefreshMs(), ZenorbFrame::DEFAULT_REFRESH_MS);
        EXPECT_FALSE(find<wxCheckBox>("ID_CHECKBOX11")->GetValue());
        EXPECT_EQ(frame->TrackedName(), "Sun");
        EXPECT_EQ(find<wxChoiceWx>("ID_CHOICE2")->GetSelection(), -1);
    }
    wxString status() const { return frame->GetStatusBar()->GetStatusText(); }

    TempDir config;
    std::string saved_config_home;
    ZenorbFrame* frame = nullptr;
};

TEST_F(SettingsWindow, WhatWasChangedIsThereAtTheNextStart) {
    open_frame();
    expect_defaults();
    EXPECT_FALSE(std::filesystem::exists(file())) << "nothing changed, nothing written";

    const wxSize size(1000, 720);
    const wxPoint place(30, 20);
    frame->SetSize(size);
    frame->Move(place);
    ASSERT_TRUE(wait_until([&] { return frame->GetSize() == size; })) << "never resized";
    ASSERT_TRUE(wait_until([&] { return frame->GetPosition() == place; })) << "never moved";
    const DisplayOptions start;
    std::vector<bool> wanted;
    for (wxCheckBox* box : option_boxes()) {
        box->SetValue(!box->GetValue());
        wanted.push_back(box->GetValue());
    }
    find<wxSpinCtrlDbl>("ID_SPINCTRL1")->SetValue(2.5);
    wxSpinCtrlDbl* refresh = find<wxSpinCtrlDbl>("ID_SPINCTRL2");
    refresh->SetValue(140.0);
    wxSpinEvent changed(wxEVT_SPINCTRL, refresh->GetId());
    changed.SetEventObject(refresh);
    refresh->GetEventHandler()->ProcessEvent(changed);
    wxCheckBox* mode = find<wxCheckBox>("ID_CHECKBOX11");
    mode->SetValue(true);
    wxCommandEvent toggled(wxEVT_CHECKBOX, mode->GetId());
    toggled.SetEventObject(mode);
    mode->GetEventHandler()->ProcessEvent(toggled);
    ASSERT_TRUE(the_factory->high_accuracy());
    choose(frame->GetZenorbToolbar()->track_choice(), "Mars");
    choose(find<wxChoiceWx>("ID_CHOICE2"), "Earth");
    choose(find<wxChoiceWx>("ID_CHOICE3"), "Jupiter");
    close_frame();
    ASSERT_TRUE(std::filesystem::exists(file()));
    EXPECT_EQ(files_in(config.path() + "/zenorb"), std::set<std::string>{"zenorb.conf"});

    the_factory->set_high_accuracy(false); // the window must bring it back
    open_frame();
    EXPECT_TRUE(wait_until([&] { return frame->GetSize() == size; }))
        << frame->GetSize().x << "x" << frame->GetSize().y;
    EXPECT_TRUE(wait_until([&] { return frame->GetPosition() == place; }))
        << frame->GetPosition().x << "," << frame->GetPosition().y;
    const std::vector<wxCheckBox*> boxes = option_boxes();
    for (size_t k = 0; k < boxes.size(); ++k)
        EXPECT_EQ(boxes[k]->GetValue(), wanted[k]) << boxes[k]->GetLabel();
    EXPECT_DOUBLE_EQ(find<wxSpinCtrlDbl>("ID_SPINCTRL1")->GetValue(), 2.5);
    EXPECT_DOUBLE_EQ(find<wxSpinCtrlDbl>("ID_SPINCTRL2")->GetValue(), 140);
    EXPECT_EQ(frame->GetRefreshMs(), 140);
    EXPECT_TRUE(find<wxCheckBox>("ID_CHECKBOX11")->GetValue());
    EXPECT_TRUE(the_factory->high_accuracy());
    EXPECT_EQ(the_factory->system()->integrator(), nbSystem::Integrator::HighAccuracy)
        << "the system is built in the kept mode";
    EXPECT_EQ(frame->TrackedName(), "Mars");
    EXPECT_EQ(selection(find<wxChoiceWx>("ID_CHOICE2")), "Earth");
    EXPECT_EQ(selection(find<wxChoiceWx>("ID_CHOICE3")), "Jupiter");

    // Opened and closed again unchanged: the file is not touched.
    const auto written = std::filesystem::last_write_time(file());
    const std::string bytes = slurp(file());
    close_frame();
    EXPECT_EQ(slurp(file()), bytes);
    EXPECT_EQ(std::filesystem::last_write_time(file()), written);
}

// Answers the file dialogs in place of a user and notes the folder each
// opened in: cancels, or chooses `choice` when there is one.
class FileDialogFolders : public wxModalDialogHook {
public:
    explicit FileDialogFolders(const wxString& choice = wxString()) : choice_(choice) {
        Register();
    }
    std::vector<wxString> folders;

protected:
    int Enter(wxDialog* dialog) override {
        auto* files = dynamic_cast<wxFileDialog*>(dialog);
        if (!files) {
            ADD_FAILURE() << "an unexpected dialog: " << dialog->GetTitle();
            return wxID_CANCEL;
        }
        folders.push_back(files->GetDirectory());
        if (choice_.empty())
            return wxID_CANCEL;
        // The toolkit's chooser takes the file once it has read the folder.
        files->SetPath(choice_);
        EXPECT_TRUE(wait_until([&] { return files->GetPath() == choice_; }, 3000))
            << "the chooser gives " << files->GetPath();
        return wxID_OK;
    }
    void Exit(wxDialog*) override {}

private:
    wxString choice_;
};

// Where a picture was saved, the next run's dialog opens.
TEST_F(SettingsWindow, SavePictureOpensNextTimeWhereThePictureWent) {
    const std::string pictures = config.path() + "/pictures";
    std::filesystem::create_directories(pictures);
    open_frame();
    {
        FileDialogFolders answers(pictures + "/sky.png");
        wxCommandEvent save(wxEVT_MENU, ZenorbFrame::ID_SAVE_PICTURE);
        frame->GetEventHandler()->ProcessEvent(save);
        ASSERT_EQ(answers.folders.size(), 1u);
        EXPECT_NE(answers.folders[0], pictures) << "the first time, the desktop's folder";
    }
    ASSERT_TRUE(std::filesystem::exists(pictures + "/sky.png")) << "no picture was saved";
    close_frame();

    open_frame();
    FileDialogFolders answers;
    wxCommandEvent save(wxEVT_MENU, ZenorbFrame::ID_SAVE_PICTURE);
    frame->GetEventHandler()->ProcessEvent(save);
    EXPECT_EQ(answers.folders, std::vector<wxString>{pictures});
}

// The kept folders are where the dialogs open, while they exist; the
// element files' folder goes back out as it was when the window closes.
TEST_F(SettingsWindow, TheFileDialogsOpenInTheKeptFolders) {
    const std::string pictures = config.path() + "/pictures";
    const std::string films = config.path() + "/films";
    const std::string elements = config.path() + "/elements";
    for (const std::string& dir : {pictures, films, elements})
        std::filesystem::create_directories(dir);
    std::filesystem::create_directories(config.path() + "/zenorb");
    config.write("zenorb/zenorb.conf", "[Folders]\nPicture=" + pictures + "\nFilm=" + films +
                                           "\nRestore=" + elements + "\n");
    open_frame();
    EXPECT_EQ(SingleObjectPanel::restore_folder(), elements);
    auto folders_opened = [this] {
        FileDialogFolders answers;
        for (int id : {ZenorbFrame::ID_SAVE_PICTURE, ZenorbFrame::ID_RECORD_FILM}) {
            wxCommandEvent event(wxEVT_MENU, id);
            frame->GetEventHandler()->ProcessEvent(event);
        }
        return answers.folders;
    };
    EXPECT_EQ(folders_opened(), (std::vector<wxString>{pictures, films}));

    // A kept folder that has gone: the desktop's own again.
    std::filesystem::remove(pictures);
    const std::vector<wxString> opened = folders_opened();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_NE(opened[0], pictures);
    EXPECT_EQ(opened[1], films);

    SingleObjectPanel::set_restore_folder(films); // as a restore from there leaves it
    close_frame();
    ZenorbSettings read;
    wxString warning;
    ASSERT_TRUE(read.load(config.path() + "/zenorb", warning)) << warning;
    EXPECT_EQ(read.restore_folder, films);
    EXPECT_EQ(read.picture_folder, pictures) << "kept until another is chosen";
}

TEST_F(SettingsWindow, BodiesThatAreGoneAndAPlaceOffEveryScreenAreDroppedQuietly) {
    std::filesystem::create_directories(config.path() + "/zenorb");
    config.write("zenorb/zenorb.conf", "[Window]\nX=40000\nY=-40000\nWidth=900\nHeight=650\n"
                                       "[Bodies]\nTracked=Vulcan\nObjectA=Nibiru\nObjectB=Moon\n");
    open_frame();
    EXPECT_TRUE(status().empty()) << status();
    EXPECT_EQ(frame->TrackedName(), "Sun");
    EXPECT_EQ(find<wxChoiceWx>("ID_CHOICE2")->GetSelection(), -1);
    EXPECT_EQ(selection(find<wxChoiceWx>("ID_CHOICE3")), "Moon");
    EXPECT_TRUE(wait_until([&] { return frame->GetSize() == wxSize(900, 650); }));
    const wxRect shown = frame->GetScreenRect();
    EXPECT_TRUE(shown.Intersects(wxDisplay(0u).GetGeometry()))
        << "at " << shown.x << "," << shown.y;
}

TEST_F(SettingsWindow, ADamagedFileStartsWithTheDefaultsAndStaysUntilASettingChanges) {
    for (const Damage& damage : DAMAGED) {
        SCOPED_TRACE(damage.what);
        std::filesystem::create_directories(config.path() + "/zenorb");
        config.write("zenorb/zenorb.conf", damage.bytes);
        open_frame();
        expect_defaults();
        EXPECT_TRUE(status().Contains("zenorb.conf")) << status();
        close_frame();
        EXPECT_EQ(slurp(file()), damage.bytes) << "a file nobody changed was replaced";
    }
    // A change replaces it with a good one.
    open_frame();
    choose(frame->GetZenorbToolbar()->track_choice(), "Venus");
    close_frame();
    ZenorbSettings read;
    wxString warning;
    EXPECT_TRUE(read.load(config.path() + "/zenorb", warning)) << warning;
    EXPECT_EQ(read.tracked, "Venus");
}

TEST_F(SettingsWindow, AConfigDirectoryThatCannotBeWrittenIsSaidOnceAndTheWindowRuns) {
    ReadOnlyDirectory locked(config.path());
    if (!locked.active())
        GTEST_SKIP() << "the directory could not be made read-only";
    open_frame();
    EXPECT_TRUE(status().Contains("Settings will not be kept")) << status();
    EXPECT_TRUE(status().Contains(config.path())) << status();
    // It runs: a step goes, and the picture is drawn.
    find<wxCheckBox>("ID_CHECKBOX7")->SetValue(true);
    const double before = the_factory->system()->time();
    wxCommandEvent press(wxEVT_BUTTON, ZenorbFrame::ID_BUTTON2);
    frame->GetEventHandler()->ProcessEvent(press);
    frame->StopTicks();
    wxTimerEvent tick(frame->GetTimer());
    frame->GetEventHandler()->ProcessEvent(tick);
    EXPECT_GT(the_factory->system()->time(), before);
    close_frame();
    EXPECT_TRUE(files_in(config.path()).empty());
}

} // namespace
