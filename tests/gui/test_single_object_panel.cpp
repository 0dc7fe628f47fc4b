#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <wx/choicdlg.h>
#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/log.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/statbox.h>

#include "common/logged_errors.h"
#include "common/read_only_dir.h"
#include "common/sbdb_answers.h"
#include "gui/element_file_wx.h"
#include "gui/single_object_panel.h"
#include "manage_objects_test.h"
#include "nbody/parse_number.h"

namespace {

using Field = SingleObjectPanel::Field;

// Answers the page's modal dialogs in place of a user: message boxes are
// recorded and acknowledged, file dialogs get the path set here (none:
// cancelled). The dialogs never show.
class ModalAnswers : public wxModalDialogHook {
public:
    ModalAnswers() { Register(); }
    struct Box {
        std::string caption, message;
        bool centred;
    };
    std::vector<Box> boxes;
    struct Chooser {
        std::string message, wildcard, directory, name;
        long style;
    };
    std::vector<Chooser> choosers;
    std::string restore_path;
    // The choices of every choice dialog, and the item picked (-1: cancel).
    std::vector<std::vector<std::string>> choices;
    int pick = -1;

protected:
    int Enter(wxDialog* dialog) override {
        if (auto* choice = dynamic_cast<wxSingleChoiceDialog*>(dialog)) {
            wxListBox* list = nullptr;
            for (wxWindow* child : choice->GetChildren())
                if (!list)
                    list = dynamic_cast<wxListBox*>(child);
            std::vector<std::string> items;
            for (unsigned k = 0; list && k < list->GetCount(); ++k)
                items.push_back(list->GetString(k).ToStdString());
            choices.push_back(items);
            if (pick < 0)
                return wxID_CANCEL;
            choice->SetSelection(pick);
            return wxID_OK;
        }
        if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
            boxes.push_back({box->GetTitle().ToStdString(), box->GetMessage().ToStdString(),
                             (box->GetMessageDialogStyle() & wxCENTRE) != 0});
            return wxID_OK;
        }
        if (auto* chooser = dynamic_cast<wxFileDialog*>(dialog)) {
            choosers.push_back({chooser->GetMessage().ToStdString(),
                                chooser->GetWildcard().ToStdString(),
                                chooser->GetDirectory().ToStdString(),
                                chooser->GetName().ToStdString(), chooser->GetWindowStyle()});
            if (restore_path.empty())
                return wxID_CANCEL;
            // The toolkit's chooser takes the file once it has read the folder.
            const wxString path = wxString::FromUTF8(restore_path);
            chooser->SetPath(path);
            EXPECT_TRUE(wait_until([&] { return chooser->GetPath() == path; }, 3000))
                << "the chooser gives " << chooser->GetPath();
            return wxID_OK;
        }
        ADD_FAILURE() << "an unexpected dialog: " << dialog->GetTitle();
        return wxID_CANCEL;
    }
};

// What a user types: the type's item (-1 none) and the ten fields.
struct Typed {
    int type = -1;
    std::string name, e, a, i, omega, w, tp, epoch, m, mass;
};

// 4 Vesta as the small-body database gives it (epoch 2019 April 27).
Typed vesta() {
    Typed t;
    t.type = 0;
    t.name = "Vesta";
    t.e = "0.08874";
    t.a = "2.361418";
    t.i = "7.14043";
    t.omega = "103.85137";
    t.w = "151.19853";
    t.tp = "2457883.0";
    t.epoch = "2458600.5";
    t.m = "20.86389";
    t.mass = "2.59076e20";
    return t;
}

class SingleObjectPageTest : public ManageObjectsTest {
protected:
    SingleObjectPanel* open_page() {
        open_dialog();
        select(OrbitalElementsDialog::SINGLE_OBJECT_PAGE);
        page = dialog->GetSingleObjectPage();
        EXPECT_NE(page, nullptr);
        return page;
    }
    void type(const Typed& t) {
        page->GetTypeChoice()->SetSelection(t.type);
        const std::pair<Field, const std::string*> texts[] = {
            {Field::NAME, &t.name}, {Field::E, &t.e},         {Field::A, &t.a},
            {Field::I, &t.i},       {Field::OMEGA, &t.omega}, {Field::W, &t.w},
            {Field::TP, &t.tp},     {Field::EPOCH, &t.epoch}, {Field::M, &t.m},
            {Field::MASS, &t.mass}};
        for (const auto& [field, text] : texts)
            page->GetField(field)->SetValue(wxString::FromUTF8(*text));
    }
    std::string text(Field field) const { return page->GetField(field)->GetValue().ToStdString(); }
    void press(wxButton* button) {
        wxCommandEvent click(wxEVT_BUTTON, button->GetId());
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }
    std::string message() const { return page->GetMessage().ToStdString(); }
    std::string file(const std::string& name) const { return data.path() + "/" + name; }

    SingleObjectPanel* page = nullptr;
    ModalAnswers answers;
};

TEST_F(SingleObjectPageTest, ShowsEveryLabelFieldAndUnitUnclippedAndStartsEmpty) {
    build_solar_system();
    open_page();
    ASSERT_TRUE(page->IsLoaded());
    EXPECT_EQ(message(), " ");
    for (int f = Field::NAME; f <= Field::MASS; ++f)
        EXPECT_EQ(text(Field(f)), "") << f;
    EXPECT_EQ(page->GetTypeChoice()->GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(page->GetTypeChoice()->GetCount(), 3u);
    EXPECT_EQ(page->GetTypeChoice()->GetString(0), "Asteroid");
    EXPECT_EQ(page->GetTypeChoice()->GetString(1), "Comet");
    EXPECT_EQ(page->GetTypeChoice()->GetString(2), "Planetary");
    EXPECT_TRUE(page->GetAutosaveCheck()->IsChecked());
    EXPECT_EQ(page->GetAutosaveCheck()->GetLabel(), "Autosave on Apply");
    EXPECT_EQ(page->GetSaveButton()->GetLabel(), "Save");
    EXPECT_EQ(page->GetRestoreButton()->GetLabel(), "Restore...");
    EXPECT_EQ(page->GetBrowserLink()->GetURL(), "https://ssd.jpl.nasa.gov/tools/sbdb_lookup.html");
    EXPECT_EQ(page->GetBrowserLink()->GetLabel(), page->GetBrowserLink()->GetURL());

    // Every text of the page is there, shown whole, inside the page.
    std::vector<std::string> labels, boxes;
    std::vector<wxWindow*> texts;
    std::function<void(wxWindow*)> walk = [&](wxWindow* w) {
        for (wxWindow* child : w->GetChildren()) {
            if (auto* box = dynamic_cast<wxStaticBox*>(child))
                boxes.push_back(box->GetLabel().ToStdString());
            else if (auto* label = dynamic_cast<wxStaticText*>(child)) {
                labels.push_back(label->GetLabel().ToStdString());
                texts.push_back(label);
            }
            walk(child);
        }
    };
    walk(page);
    for (const char* expected :
         {"Object name", "Type", "Eccentricity (e)", "Semimajor axis (a)", "AU", "Inclination (i)",
          "deg", "Longitude of ascending node (omega)", "Argument of perihelion (w)",
          "Time of perihelion passage (Tp)", "JD", "Epoch", "Mean Anomaly (M)", "Mass",
          "Kg (Earth=5.9E24)"})
        EXPECT_NE(std::find(labels.begin(), labels.end(), expected), labels.end()) << expected;
    EXPECT_EQ(boxes, (std::vector<std::string>{"Primary",
                                               "Secondary (values assumed if not "
                                               "provided)",
                                               "NASA/JPL Small-Body Database Browser",
                                               "Single object save/restore"}));
    const wxRect inside(page->GetScreenPosition(), page->GetSize());
    for (wxWindow* t : texts) {
        const auto* label = static_cast<wxStaticText*>(t);
        if (label->GetLabel().Strip(wxString::both).empty())
            continue;
        EXPECT_GE(label->GetSize().x, label->GetTextExtent(label->GetLabel()).x)
            << label->GetLabel();
        EXPECT_TRUE(inside.Contains(label->GetScreenRect())) << label->GetLabel();
    }
    // The fields stand in one column, however long a label is.
    const int column = page->GetField(Field::NAME)->GetScreenPosition().x;
    for (int f = Field::NAME; f <= Field::MASS; ++f) {
        EXPECT_GE(page->GetField(Field(f))->GetSize().x, 250) << f;
        EXPECT_TRUE(inside.Contains(page->GetField(Field(f))->GetScreenRect())) << f;
        EXPECT_EQ(page->GetField(Field(f))->GetScreenPosition().x, column) << f;
    }
    for (wxWindow* w : std::vector<wxWindow*>{page->GetSaveButton(), page->GetRestoreButton(),
                                              page->GetAutosaveCheck(), page->GetBrowserLink(),
                                              page->GetTypeChoice()})
        EXPECT_TRUE(inside.Contains(w->GetScreenRect())) << w->GetLabel();
}

TEST_F(SingleObjectPageTest, WithoutATypeApplyAndSaveSayInvalid) {
    build_solar_system();
    open_page();
    Typed t = vesta();
    t.type = -1;
    type(t);
    const std::size_t bodies = the_factory->system()->size();
    press_apply();
    EXPECT_EQ(message(), "INVALID: Please set object type");
    page->Load();
    ASSERT_EQ(message(), " ");
    press(page->GetSaveButton());
    EXPECT_EQ(message(), "INVALID: Please set object type");
    EXPECT_TRUE(answers.boxes.empty());
    EXPECT_EQ(the_factory->system()->size(), bodies);
    EXPECT_EQ(the_factory->catalogue_size(), 0u);
    EXPECT_TRUE(files_in(data.path()).empty());
}

TEST_F(SingleObjectPageTest, AnInvalidSetMakesNothingOnApplyAndABoxOnSave) {
    build_solar_system();
    open_page();
    const std::size_t bodies = the_factory->system()->size();
    struct Case {
        const char* what;
        Typed typed;
        std::string message;
    };
    const std::string no_orbit = "INVALID: no object can follow these elements (it needs a "
                                 "name, a > 0 and e > 0, and a place at its epoch).";
    std::vector<Case> cases = {{"empty fields", Typed(), "INVALID: Eccentricity (e) is empty."}};
    cases[0].typed.type = 0;
    for (const auto& [what, e, a, name, said] :
         std::vector<std::tuple<const char*, const char*, const char*, const char*, std::string>>{
             {"a circle", "0", "2.36", "Vesta", no_orbit},
             {"a parabola", "1", "2.36", "Vesta", no_orbit},
             {"a hyperbola", "1.2", "2.36", "Vesta", no_orbit},
             {"no semi-major axis", "0.09", "", "Vesta", "INVALID: Semimajor axis (a) is empty."},
             {"a blank name", "0.09", "2.36", "   ", no_orbit},
             {"letters", "0.09", "abc", "Vesta",
              "INVALID: Semimajor axis (a) holds \"abc\", which is not a number (the decimal "
              "point is '.')."},
             {"a decimal comma", "0,09", "2.36", "Vesta",
              "INVALID: Eccentricity (e) holds \"0,09\", which is not a number (the decimal "
              "point is '.')."},
             {"a number beyond a double", "0.09", "1e999", "Vesta",
              "INVALID: Semimajor axis (a) holds \"1e999\", which is out of range."}}) {
        Typed t = vesta();
        t.e = e;
        t.a = a;
        t.name = name;
        cases.push_back({what, t, said});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        type(c.typed);
        page->Load();
        answers.boxes.clear();
        press_apply();
        EXPECT_EQ(message(), c.message) << "Apply says why nothing was made";
        EXPECT_TRUE(answers.boxes.empty());
        page->Load();
        press(page->GetSaveButton());
        ASSERT_EQ(answers.boxes.size(), 1u);
        EXPECT_EQ(answers.boxes[0].message, "Please check element parameters");
        EXPECT_EQ(answers.boxes[0].caption, "Orbital elements invalid or incomplete");
        EXPECT_TRUE(answers.boxes[0].centred);
        EXPECT_EQ(message(), c.message);
        EXPECT_EQ(the_factory->system()->size(), bodies);
        EXPECT_TRUE(files_in(data.path()).empty());
    }
    EXPECT_EQ(the_factory->catalogue_size(), 0u);
}

// A mass or a perihelion no body can have is refused on Apply and on Save,
// and the message line says which and why.
TEST_F(SingleObjectPageTest, PhysicalBoundsAreRefusedWithTheReasonOnTheMessageLine) {
    build_solar_system();
    open_page();
    const std::size_t bodies = the_factory->system()->size();
    Typed subnormal = vesta();
    subnormal.mass = "1e-320";
    Typed sungrazer = vesta();
    sungrazer.type = 1;
    sungrazer.name = "Sungrazer";
    sungrazer.a = "1.0";
    sungrazer.e = "0.999";
    struct Case {
        const char* what;
        Typed typed;
        const char* message;
    } cases[] = {
        {"a subnormal mass", subnormal,
         "INVALID: the mass 9.99989e-321 kg is below the least a body may have (1 kg)"},
        {"a perihelion inside the Sun", sungrazer,
         "INVALID: the perihelion distance 0.001 AU lies inside the Sun (below 0.00465 AU)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        type(c.typed);
        page->Load();
        answers.boxes.clear();
        press_apply();
        EXPECT_EQ(message(), c.message);
        EXPECT_TRUE(answers.boxes.empty());
        page->Load();
        press(page->GetSaveButton());
        EXPECT_EQ(answers.boxes.size(), 1u);
        EXPECT_EQ(message(), c.message);
        EXPECT_EQ(the_factory->system()->size(), bodies);
        EXPECT_TRUE(files_in(data.path()).empty());
    }
}

TEST_F(SingleObjectPageTest, AValidAsteroidBecomesABodyAFileAndACatalogueSet) {
    build_solar_system();
    open_page();
    type(vesta());
    // The simulation runs on while the dialog is open.
    nbSystem* system = the_factory->system();
    for (int k = 0; k < 40; ++k)
        system->step(0.26 * 86400);
    const double now = system->time();

    press_apply();
    EXPECT_EQ(message(), "The Asteroid Vesta has been created!");
    const nbBody* body = system->find("Vesta");
    ASSERT_NE(body, nullptr);
    const vec3d expected =
        elements_position(2.361418, 0.08874, 7.14043, 151.19853, 103.85137, 2457883.0, now);
    EXPECT_EQ(body->position().x, expected.x);
    EXPECT_EQ(body->position().y, expected.y);
    EXPECT_EQ(body->position().z, expected.z);
    EXPECT_EQ(body->mass(), 2.59076e20);
    EXPECT_EQ(body->graphics()->colour().red(), 255);
    EXPECT_EQ(body->graphics()->colour().green(), 0);

    EXPECT_EQ(files_in(data.path()), std::set<std::string>{"Asteroid_Vesta.xml"});
    const std::unique_ptr<nbOrbitalElements> saved =
        LoadElementsFile(wxString::FromUTF8(file("Asteroid_Vesta.xml")));
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->a(), 2.361418);
    EXPECT_EQ(saved->mean_anomaly(), 20.86389);
    EXPECT_EQ(saved->epoch(), 2458600.5);

    ASSERT_EQ(the_factory->catalogue_size(), 1u);
    const nbOrbitalElements& kept = **the_factory->catalogue_begin();
    EXPECT_EQ(kept.name(), "Vesta");
    EXPECT_EQ(kept.type_code(), 2);

    // A new start date re-creates it from its elements.
    const double later = JD_2014_MAY_23 + 400;
    the_factory->set_start_date(later);
    const nbBody* again = the_factory->system()->find("Vesta");
    ASSERT_NE(again, nullptr);
    const vec3d at_later =
        elements_position(2.361418, 0.08874, 7.14043, 151.19853, 103.85137, 2457883.0, later);
    EXPECT_EQ(again->position().x, at_later.x);
    EXPECT_EQ(again->position().z, at_later.z);

    // And the asteroid page of the next opening lists it.
    open_dialog();
    EXPECT_GE(find_row(dialog->GetAsteroidPage()->GetList(), "Vesta"), 0);
}

TEST_F(SingleObjectPageTest, ASecondApplyOfTheSameNameCreatesNothing) {
    build_solar_system();
    open_page();
    type(vesta());
    press_apply();
    ASSERT_EQ(message(), "The Asteroid Vesta has been created!");
    nbSystem* system = the_factory->system();
    const nbBody* first = system->find("Vesta");
    const std::size_t bodies = system->size();

    Typed changed = vesta();
    changed.a = "2.5";
    type(changed);
    press_apply();
    EXPECT_EQ(message(), "No object created: a body named Vesta is already in the simulation.");
    EXPECT_EQ(system->find("Vesta"), first) << "the system keeps its body";
    EXPECT_EQ(system->size(), bodies);
    EXPECT_EQ(the_factory->catalogue_size(), 1u);
    EXPECT_EQ((*the_factory->catalogue_begin())->a(), 2.361418);
    // A failed Apply writes no file: the one of the body simulated stays.
    const auto saved = LoadElementsFile(wxString::FromUTF8(file("Asteroid_Vesta.xml")));
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->a(), 2.361418);

    // The same elements under another name would put two bodies on one point.
    Typed twin = vesta();
    twin.name = "Vesta twin";
    type(twin);
    press_apply();
    EXPECT_EQ(message(), "No object created: Vesta_twin would sit within a metre of Vesta, and "
                         "two bodies on one point cannot be simulated.");
    EXPECT_EQ(system->find("Vesta_twin"), nullptr);
    EXPECT_EQ(files_in(data.path()), std::set<std::string>{"Asteroid_Vesta.xml"});
}

TEST_F(SingleObjectPageTest, ACometIgnoresTheMeanAnomalyField) {
    build_solar_system();
    open_page();
    Typed halley;
    halley.type = 1;
    halley.name = " 1P/Halley ";
    halley.e = "0.967143";
    halley.a = "17.834144";
    halley.i = "162.262691";
    halley.omega = "58.420081";
    halley.w = "111.332485";
    halley.tp = "2446467.395317";
    halley.epoch = "2439875.5";
    halley.m = "45";
    type(halley);
    const double now = the_factory->system()->time();
    press_apply();
    EXPECT_EQ(message(), "The Comet 1P_Halley has been created!");
    const nbBody* body = the_factory->system()->find("1P_Halley");
    ASSERT_NE(body, nullptr);
    EXPECT_TRUE(body->graphics()->has_tail());
    EXPECT_EQ(body->mass(), 3.0e10);
    const vec3d expected = elements_position(17.834144, 0.967143, 162.262691, 111.332485, 58.420081,
                                             2446467.395317, now);
    EXPECT_EQ(body->position().x, expected.x);
    const std::string saved = slurp(file("Comet_1P_Halley.xml"));
    EXPECT_NE(saved.find(" M=\"0.0000000000000000\""), std::string::npos) << saved;
    EXPECT_EQ((*the_factory->catalogue_begin())->mean_anomaly(), 0);
}

TEST_F(SingleObjectPageTest, MassesThatAreNoPositiveNumberLeaveTheDefault) {
    open_page();
    const struct {
        const char* typed;
        double mass;
    } cases[] = {
        {"", 3.0e10}, {"0", 3.0e10}, {"-5e20", 3.0e10}, {"1.5e20", 1.5e20}, {" 2e20 kg ", 2e20}};
    for (const auto& c : cases) {
        Typed t = vesta();
        t.mass = c.typed;
        type(t);
        const auto set = page->ElementsFromFields();
        ASSERT_NE(set, nullptr);
        EXPECT_EQ(set->mass(), c.mass) << c.typed;
    }
    // Text that is no number is refused, naming the field, rather than
    // read as the default or as part of itself ("5,9E24" as 5).
    for (const char* typed : {"heavy", "5,9E24", "1e999"}) {
        Typed t = vesta();
        t.mass = typed;
        type(t);
        EXPECT_EQ(page->ElementsFromFields(), nullptr) << typed;
        EXPECT_NE(message().find("INVALID: Mass holds \"" + std::string(typed) + "\""),
                  std::string::npos)
            << message();
    }
}

TEST_F(SingleObjectPageTest, RestoreFillsTheFieldsWithSixteenDecimals) {
    build_solar_system();
    open_page();
    nbOrbitalElementsPlanetary vulcan("Vulcan", 0.2, 0.1, 3.3, 10.1, 20.2, 2451000.123456789,
                                      2451545.0, 359.9999999999);
    vulcan.set_mass(1.2345678901234567e23);
    wxString path;
    std::string error;
    ASSERT_TRUE(SaveElementsFile(vulcan, data_directory, path, error)) << error;
    page->Load();

    answers.restore_path = path.ToStdString();
    press(page->GetRestoreButton());
    ASSERT_EQ(answers.choosers.size(), 1u);
    EXPECT_EQ(answers.choosers[0].message, "Select Orbital Elements file");
    EXPECT_EQ(answers.choosers[0].wildcard, "XML file (*.xml)|*.xml");
    EXPECT_EQ(answers.choosers[0].name, "filedlg");
    EXPECT_TRUE(answers.choosers[0].style & wxFD_OPEN);
    EXPECT_TRUE(answers.choosers[0].style & wxFD_FILE_MUST_EXIST);

    EXPECT_EQ(text(Field::NAME), "Vulcan");
    EXPECT_EQ(page->GetTypeChoice()->GetStringSelection(), "Planetary");
    EXPECT_EQ(text(Field::A), "0.2000000000000000");
    EXPECT_EQ(text(Field::E), "0.1000000000000000");
    EXPECT_EQ(text(Field::I), "3.2999999999999998");
    EXPECT_EQ(text(Field::W), "10.0999999999999996");
    EXPECT_EQ(text(Field::OMEGA), "20.1999999999999993");
    EXPECT_EQ(text(Field::TP), "2451000.1234567891806364");
    EXPECT_EQ(text(Field::EPOCH), "2451545.0000000000000000");
    EXPECT_EQ(text(Field::M), "359.9999999999000124");
    EXPECT_EQ(text(Field::MASS), "1.23456789e+23");
    EXPECT_EQ(message(), " ") << "restoring says nothing";

    // Apply builds the set from these texts.
    press_apply();
    EXPECT_EQ(message(), "The Planetary Vulcan has been created!");
    const nbOrbitalElements& kept = **the_factory->catalogue_begin();
    EXPECT_EQ(kept.a(), 0.2);
    EXPECT_EQ(kept.i(), 3.3);
    EXPECT_EQ(kept.Tp(), 2451000.123456789);
    EXPECT_EQ(kept.mean_anomaly(), 359.9999999999);
    EXPECT_EQ(kept.mass(), 1.23456789e23);
    // Planetary: the colour of its kind.
    EXPECT_EQ(the_factory->system()->find("Vulcan")->graphics()->colour().green(), 170);

    // A comet's file shows 0 in the mean-anomaly field.
    const nbOrbitalElementsComet comet("C", 3, 0.5, 1, 2, 3, 2451545.0, 2451545.0);
    ASSERT_TRUE(SaveElementsFile(comet, data_directory, path, error)) << error;
    page->GetField(Field::M)->SetValue("12");
    answers.restore_path = path.ToStdString();
    press(page->GetRestoreButton());
    EXPECT_EQ(page->GetTypeChoice()->GetStringSelection(), "Comet");
    EXPECT_EQ(text(Field::M), "0.0000000000000000");
    EXPECT_EQ(text(Field::MASS), "3.00000000e+10");
}

TEST_F(SingleObjectPageTest, ARestoreThatYieldsNoSetChangesNothing) {
    build_solar_system();
    open_page();
    type(vesta());
    page->Load();
    data.write("broken.xml", "<OrbitalElements><Asteroid name=\"X\"><Orbit a=\"9\"></Asteroid>");
    data.write("other.xml",
               "<Elements><Asteroid name=\"X\"><Orbit a=\"9\"/></Asteroid></Elements>");
    data.write("large.xml", std::string(MAX_ELEMENT_FILE_BYTES + 1, ' '));
    struct Case {
        const char* file; // none: the user cancels
        bool logged;
    };
    for (const Case& c : {Case{nullptr, false}, Case{"broken.xml", true}, Case{"other.xml", false},
                          Case{"large.xml", true}}) {
        SCOPED_TRACE(c.file ? c.file : "cancelled");
        LoggedErrors log;
        answers.restore_path = c.file ? file(c.file) : "";
        press(page->GetRestoreButton());
        EXPECT_EQ(text(Field::NAME), "Vesta");
        EXPECT_EQ(text(Field::A), "2.361418");
        EXPECT_EQ(page->GetTypeChoice()->GetSelection(), 0);
        EXPECT_EQ(message(), " ");
        if (c.logged) {
            ASSERT_EQ(log.messages.size(), 1u);
            EXPECT_NE(log.messages[0].find(c.file), std::string::npos) << log.messages[0];
        } else {
            EXPECT_TRUE(log.messages.empty()) << log.messages.front();
        }
    }
}

TEST_F(SingleObjectPageTest, WithoutAutosaveApplyWritesNoFile) {
    build_solar_system();
    open_page();
    type(vesta());
    page->GetAutosaveCheck()->SetValue(false);
    press_apply();
    EXPECT_EQ(message(), "The Asteroid Vesta has been created!");
    EXPECT_NE(the_factory->system()->find("Vesta"), nullptr);
    EXPECT_TRUE(files_in(data.path()).empty());
    // Save writes whatever the box says.
    press(page->GetSaveButton());
    EXPECT_EQ(files_in(data.path()), std::set<std::string>{"Asteroid_Vesta.xml"});
}

TEST_F(SingleObjectPageTest, AFileThatCannotBeWrittenIsSaidAndTheOldOneStays) {
    build_solar_system();
    open_page();
    Typed old_values = vesta();
    old_values.a = "2.2";
    type(old_values);
    press(page->GetSaveButton());
    const std::string old_text = slurp(file("Asteroid_Vesta.xml"));
    ASSERT_NE(old_text.find("a=\"2.2000000000000002\""), std::string::npos) << old_text;
    type(vesta());
    {
        ReadOnlyDirectory read_only(data.path());
        ASSERT_TRUE(read_only.active());
        press_apply();
        EXPECT_EQ(message(), "The Asteroid Vesta has been created! Could not save "
                             "Asteroid_Vesta.xml: no new file can be made in its folder "
                             "(Permission denied)");
        EXPECT_NE(the_factory->system()->find("Vesta"), nullptr);
        page->Load();
        press(page->GetSaveButton());
        EXPECT_EQ(message(), "Could not save Asteroid_Vesta.xml: no new file can be made in its "
                             "folder (Permission denied)");
        EXPECT_EQ(slurp(file("Asteroid_Vesta.xml")), old_text);
    }
    EXPECT_EQ(files_in(data.path()), std::set<std::string>{"Asteroid_Vesta.xml"});
    // Once the folder takes files again, a save takes the report away.
    press(page->GetSaveButton());
    EXPECT_EQ(message(), " ");
    EXPECT_NE(slurp(file("Asteroid_Vesta.xml")).find("a=\"2.3614180000000000\""),
              std::string::npos);
}

class LookupPageTest : public SingleObjectPageTest {
protected:
    void SetUp() override {
        SingleObjectPageTest::SetUp();
        serve_sbdb_answers(server);
    }
    // Looks name up as the user does and waits for the answer.
    ::testing::AssertionResult look_up(const std::string& name) {
        page->GetLookupField()->SetValue(wxString::FromUTF8(name));
        press(page->GetLookupButton());
        if (wait_until([this] { return !page->LookingUp(); }, 10000))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the look-up of " << name << " never ended";
    }

    LoopbackServer server;
    SbdbAddress address{server.url("/sbdb.api")};
};

TEST_F(LookupPageTest, AnAsteroidFillsTheFieldsForApply) {
    build_solar_system();
    open_page();
    EXPECT_EQ(page->GetLookupButton()->GetLabel(), "Look up");
    ASSERT_TRUE(look_up("Ceres"));
    EXPECT_EQ(message(), "Found 1 Ceres (A801 AA): check the values, then Apply or Save.");
    EXPECT_EQ(page->GetTypeChoice()->GetSelection(), 0);
    EXPECT_EQ(text(Field::NAME), "1 Ceres (A801 AA)");
    // The answer's values, each in its field.
    const std::pair<Field, double> values[] = {
        {Field::E, 0.0789125},     {Field::A, 2.76604}, {Field::I, 10.5868},
        {Field::OMEGA, 80.2549},   {Field::W, 73.4240}, {Field::TP, 2460053.1},
        {Field::EPOCH, 2460600.5}, {Field::M, 145.84},  {Field::MASS, 9.38534e20}};
    for (const auto& [field, value] : values) {
        double shown = 0;
        ASSERT_TRUE(parse_double(text(field), shown)) << text(field);
        EXPECT_NEAR(shown, value, std::abs(value) * 1e-6) << field;
    }

    press_apply();
    EXPECT_EQ(message(), "The Asteroid 1_Ceres_(A801_AA) has been created!");
    const nbBody* ceres = the_factory->system()->find("1_Ceres_(A801_AA)");
    ASSERT_NE(ceres, nullptr);
    EXPECT_NEAR(ceres->mass(), 9.38534e20, 0.00001e20);
    EXPECT_EQ(files_in(data.path()), std::set<std::string>{"Asteroid_1_Ceres_(A801_AA).xml"});
}

TEST_F(LookupPageTest, SeveralMatchesOfferAChoiceAndTheChosenOneFills) {
    build_solar_system();
    open_page();
    answers.pick = 0;
    ASSERT_TRUE(look_up("halley"));
    ASSERT_TRUE(wait_until([this] { return !page->LookingUp() && text(Field::NAME) != ""; }));
    ASSERT_EQ(answers.choices.size(), 1u);
    EXPECT_EQ(answers.choices[0],
              (std::vector<std::string>{"1P/Halley", "2688 Halley (1982 HG1)"}));
    EXPECT_EQ(text(Field::NAME), "1P/Halley");
    EXPECT_EQ(page->GetTypeChoice()->GetSelection(), 1) << "a comet";
    EXPECT_EQ(server.requests().back().target, sbdb_target("1P"));

    // None chosen: nothing changes.
    answers.pick = -1;
    ASSERT_TRUE(look_up("halley"));
    EXPECT_EQ(message(), "Several objects match halley; none was chosen.");
    EXPECT_EQ(text(Field::NAME), "1P/Halley");
}

TEST_F(LookupPageTest, FailuresSayWhyAndLeaveTheFieldsAsTheyWere) {
    build_solar_system();
    open_page();
    FetchOptions quick;
    quick.limits.low_speed_seconds = 1;
    page->SetLookupOptions(quick);
    type(vesta());
    const struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"nothing", "The database knows no object nothing."},
        {"broken", "Could not look up broken: the answer is not the database's."},
        {"slow", "Could not look up slow: timed out."},
        {"'Oumuamua", "Not taken: 'Oumuamua (A/2017 U1) is on an open orbit (e = 1.201130): the "
                      "simulation carries closed orbits only (e < 1)."},
        {"  ", "Type a name or designation to look up."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(look_up(c.name));
        EXPECT_EQ(message(), c.message);
        EXPECT_EQ(text(Field::NAME), "Vesta");
        EXPECT_EQ(text(Field::A), "2.361418");
        EXPECT_EQ(page->GetTypeChoice()->GetSelection(), 0);
        EXPECT_TRUE(page->GetLookupButton()->IsEnabled());
    }
    SbdbAddress nobody("http://127.0.0.1:1/sbdb.api");
    ASSERT_TRUE(look_up("Ceres"));
    EXPECT_EQ(message(), "Could not look up Ceres: could not connect.");
    EXPECT_EQ(text(Field::NAME), "Vesta");
}

TEST_F(LookupPageTest, ClosingTheDialogDuringALookUpWaitsForNothing) {
    build_solar_system();
    open_page();
    page->GetLookupField()->SetValue("slow");
    press(page->GetLookupButton());
    ASSERT_TRUE(page->LookingUp());
    EXPECT_FALSE(page->GetLookupButton()->IsEnabled());
    EXPECT_EQ(message(), "Looking up slow...");
    const auto start = std::chrono::steady_clock::now();
    close_dialog();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3))
        << "the transfer is cancelled, not waited out";
}

} // namespace
