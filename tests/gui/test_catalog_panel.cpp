#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/eventfilter.h>
#include <wx/listctrl.h>
#include <wx/modalhook.h>
#include <wx/progdlg.h>
#include <wx/textctrl.h>

#include "catalog/download_dialog.h"
#include "common/loopback_server.h"
#include "gui/list_columns.h"
#include "manage_objects_test.h"
#include "nbody/elements.h"

namespace {

using Elements = const nbOrbitalElements*;

Elements set_of(const wxCheckedListCtrl* list, long row) {
    return reinterpret_cast<Elements>(list->GetItemData(row));
}

std::set<std::string> catalogue_names(int kind) {
    std::set<std::string> names;
    for (auto it = the_factory->catalogue_begin(); it != the_factory->catalogue_end(); ++it)
        if ((*it)->type_code() == kind)
            names.insert((*it)->name());
    return names;
}

// The rows' keys in row order, one number per row.
template <typename Key> std::vector<double> keys(const wxCheckedListCtrl* list, Key key) {
    std::vector<double> out;
    for (long row = 0; row < list->GetItemCount(); ++row)
        out.push_back(key(set_of(list, row)));
    return out;
}

::testing::AssertionResult ordered(const std::vector<double>& v, bool ascending) {
    for (std::size_t k = 1; k < v.size(); ++k)
        if (ascending ? v[k] < v[k - 1] : v[k] > v[k - 1])
            return ::testing::AssertionFailure()
                   << "rows " << k - 1 << " and " << k << ": " << v[k - 1] << ", " << v[k];
    return ::testing::AssertionSuccess();
}

using CatalogPageTest = ManageObjectsTest;

const std::string DATA = ZENORB_TEST_DATA;

// What the toolkit sends when a button is clicked.
void press(wxButton* button) {
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->ProcessWindowEvent(click);
}

// Notes every progress dialog the toolkit handles an event for and, when
// asked, presses its Cancel button once while the dialog's message holds
// `when`, as a user would while it works.
class ProgressWatch : public wxEventFilter {
public:
    explicit ProgressWatch(bool cancel, const wxString& when = "") : cancel_(cancel), when_(when) {
        wxEvtHandler::AddFilter(this);
    }
    ~ProgressWatch() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override {
        auto* window = dynamic_cast<wxWindow*>(event.GetEventObject());
        auto* dialog =
            window ? dynamic_cast<wxGenericProgressDialog*>(wxGetTopLevelParent(window)) : nullptr;
        if (!dialog)
            return Event_Skip;
        seen = true;
        if (cancel_ && !cancelled && dialog->IsShown() && dialog->GetMessage().Contains(when_)) {
            auto* button = dynamic_cast<wxButton*>(dialog->FindWindow(wxID_CANCEL));
            if (button && button->IsEnabled()) {
                cancelled = true;
                press(button);
            }
        }
        return Event_Skip;
    }
    bool seen = false;
    bool cancelled = false;

private:
    bool cancel_;
    wxString when_;
};

TEST(CountLine, GroupsDigitsInThreesWhateverTheLocale) {
    const struct {
        long n;
        const char* text;
    } cases[] = {{0, "0"},
                 {7, "7"},
                 {999, "999"},
                 {1000, "1,000"},
                 {38012, "38,012"},
                 {100000, "100,000"},
                 {1234567, "1,234,567"}};
    for (const auto& c : cases)
        EXPECT_EQ(grouped_count(c.n), c.text) << c.n;
    EXPECT_EQ(count_line_text(1234, 38012, 12).utf8_string(),
              "1,234 of 38,012 shown \xc2\xb7 12 checked");
}

TEST_F(CatalogPageTest, TypingFiltersAndTheButtonsAndApplyReachHiddenRows) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    CatalogPanel* page = dialog->GetAsteroidPage();
    wxCheckedListCtrl* list = page->GetList();
    EXPECT_EQ(page->GetCountLine(), count_line_text(650, 650, 0));

    // Typed as a user types it, in another case and with the blank.
    dialog->Raise();
    ASSERT_TRUE(wait_until([this] { return dialog->IsActive(); }));
    ASSERT_TRUE(focus(page->GetFilter()));
    sim.Text("1986 to");
    ASSERT_TRUE(wait_until([&] { return page->GetFilter()->GetValue() == "1986 to"; }))
        << "the box reads '" << page->GetFilter()->GetValue() << "'";
    EXPECT_EQ(row_names(list), std::vector<std::string>{"3753_1986_TO"});
    EXPECT_EQ(page->GetCountLine(), count_line_text(1, 650, 0));
    press(page->GetCheckShownButton());
    EXPECT_EQ(page->GetCountLine(), count_line_text(1, 650, 1));

    // The list's 55 designations of 2004.
    page->GetFilter()->SetValue("2004");
    ASSERT_EQ(list->GetItemCount(), 55);
    for (const std::string& name : row_names(list))
        EXPECT_NE(name.find("2004"), std::string::npos) << name;
    press(page->GetCheckShownButton());
    EXPECT_EQ(page->GetCountLine(), count_line_text(55, 650, 56));

    // A sort keeps the filter; the rows come in the column's order.
    click_column(list, 2);
    EXPECT_EQ(list->GetItemCount(), 55);
    EXPECT_TRUE(ordered(keys(list, [](Elements s) { return s->e(); }), true));

    // 3753 1986 TO is hidden now and still checked: Apply makes it too.
    const std::size_t before = the_factory->system()->size();
    press_apply();
    EXPECT_EQ(page->GetMessage(), "56 objects created.");
    EXPECT_EQ(the_factory->system()->size(), before + 56);
    EXPECT_NE(the_factory->system()->find("3753_1986_TO"), nullptr);

    page->GetFilter()->SetValue("");
    EXPECT_EQ(list->GetItemCount(), 650);
    press(page->GetUncheckAllButton());
    EXPECT_EQ(page->GetCountLine(), count_line_text(650, 650, 0));
}

TEST_F(CatalogPageTest, ClickedBoxesCountAndARefillKeepsTheChecksAndTheFilter) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    select(OrbitalElementsDialog::COMET_PAGE);
    CatalogPanel* page = dialog->GetCometPage();
    wxCheckedListCtrl* list = page->GetList();
    page->GetFilter()->SetValue("c/");
    ASSERT_EQ(list->GetItemCount(), 4);
    EXPECT_EQ(page->GetCountLine(), count_line_text(4, 8, 0));

    // A click in a box, as the user makes it, updates the count line.
    const long row = find_row(list, "C/2019_Q4_(Borisov)");
    ASSERT_GE(row, 0);
    settle();
    wxRect rect;
    ASSERT_TRUE(list->GetItemRect(row, rect));
    ASSERT_TRUE(
        click_at(list, wxPoint(rect.x + 8, std::max(rect.y + (rect.height - 16) / 2, rect.y) + 6)));
    ASSERT_TRUE(wait_until([&] { return page->GetCountLine() == count_line_text(4, 8, 1); }));

    page->Load();
    EXPECT_EQ(list->GetItemCount(), 4) << "the box's text filters the new rows";
    EXPECT_EQ(page->GetCountLine(), count_line_text(4, 8, 1));
    EXPECT_TRUE(list->IsChecked(find_row(list, "C/2019_Q4_(Borisov)")));
}

TEST_F(CatalogPageTest, ACancelledApplyAddsNothingAndAQuickOneShowsNoProgress) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    CatalogPanel* page = dialog->GetAsteroidPage();
    page->GetList()->CheckAll(true);
    const std::size_t before = the_factory->system()->size();

    // At once rather than after half a second: the 650 sets take less.
    // Cancelled while the bodies are made, and while they join the system.
    page->SetProgressDelay(0);
    for (const char* when : {"objects made", "added to the simulation"}) {
        SCOPED_TRACE(when);
        {
            ProgressWatch watch(true, when);
            press_apply();
            EXPECT_TRUE(watch.seen);
            EXPECT_TRUE(watch.cancelled);
        }
        EXPECT_EQ(page->GetMessage(), "Cancelled: no objects created.");
        EXPECT_EQ(the_factory->system()->size(), before);
    }

    {
        ProgressWatch watch(false);
        press_apply();
        EXPECT_TRUE(watch.seen);
    }
    const long created = static_cast<long>(the_factory->system()->size() - before);
    EXPECT_GT(created, 600);
    EXPECT_EQ(page->GetMessage().substr(0, page->GetMessage().find(' ')),
              wxString::Format("%ld", created));
    settle();
    for (wxWindow* top : wxTopLevelWindows)
        EXPECT_EQ(dynamic_cast<wxGenericProgressDialog*>(top), nullptr) << "the dialog is gone";

    page->SetProgressDelay(CatalogPanel::PROGRESS_DELAY_MS);
    the_factory->system()->remove("1915_1953_EA");
    ProgressWatch watch(false);
    press_apply();
    EXPECT_EQ(page->GetMessage(), "1 objects created.");
    EXPECT_FALSE(watch.seen) << "a quick Apply shows no progress dialog";
}

// Stands in for the user at the download dialog: points the lists at the
// test server, downloads and closes, before the dialog would show.
class DownloadAnswer : public wxModalDialogHook {
public:
    explicit DownloadAnswer(std::vector<std::string> urls) : urls_(std::move(urls)) { Register(); }
    int opened = 0;

protected:
    int Enter(wxDialog* dialog) override {
        auto* download = dynamic_cast<DownloadDialog*>(dialog);
        if (!download) {
            ADD_FAILURE() << "an unexpected dialog: " << dialog->GetTitle();
            return wxID_CANCEL;
        }
        ++opened;
        for (int row = 0; row < DownloadDialog::ROWS; ++row) {
            auto* field = dynamic_cast<wxTextCtrl*>(
                wxWindow::FindWindowByName("ID_TEXTCTRL" + std::to_string(row + 1), dialog));
            if (!field) {
                ADD_FAILURE() << "no URL field " << row;
                return wxID_CANCEL;
            }
            field->SetValue(urls_[row]);
        }
        press(dynamic_cast<wxButton*>(dialog->FindWindow(DownloadDialog::ID_BUTTON1)));
        EXPECT_TRUE(wait_until([download] { return !download->downloading(); }, 20000));
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}

private:
    std::vector<std::string> urls_;
};

TEST_F(CatalogPageTest, AFirstRunOffersTheDownloadAndThePagesFillAfterIt) {
    build_solar_system();
    open_dialog();
    select(OrbitalElementsDialog::COMET_PAGE);
    select(OrbitalElementsDialog::ASTEROID_PAGE);
    CatalogPanel* page = dialog->GetAsteroidPage();
    EXPECT_EQ(page->GetMessage(), "No catalogue has been downloaded yet.");
    ASSERT_TRUE(page->GetDownloadButton()->IsShown());
    EXPECT_EQ(page->GetDownloadButton()->GetLabel(), "Download catalogues...");
    EXPECT_TRUE(dialog->GetCometPage()->GetDownloadButton()->IsShown());

    LoopbackServer server;
    const auto body = [](const std::string& file) {
        std::ifstream in(DATA + "/mpc/" + file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    server.on("/comets", LoopbackServer::reply(200, body("comets_sample.txt")));
    server.on("/critical", LoopbackServer::reply(200, body("Soft06CritList-2014-05-23.txt")));
    {
        // The bright and unusual lists fail (404) and stay missing.
        DownloadAnswer answer({server.url("/comets"), server.url("/bright"), server.url("/unusual"),
                               server.url("/critical")});
        press(page->GetDownloadButton());
        EXPECT_EQ(answer.opened, 1);
    }
    EXPECT_EQ(page->GetList()->GetItemCount(), 650);
    EXPECT_FALSE(page->GetDownloadButton()->IsShown());
    EXPECT_EQ(page->GetMessage(), " ");
    EXPECT_EQ(the_factory->catalogue_size(), 658u);

    // The comet page, filled empty before, fills anew when selected.
    select(OrbitalElementsDialog::COMET_PAGE);
    EXPECT_EQ(dialog->GetCometPage()->GetList()->GetItemCount(), 8);
    EXPECT_FALSE(dialog->GetCometPage()->GetDownloadButton()->IsShown());

    // A failed download leaves the page as it was.
    close_dialog();
    the_factory->clear_catalogue();
    std::remove((data.path() + "/" + nbFactory::COMETS_FILE).c_str());
    std::remove((data.path() + "/" + nbFactory::CRITICAL_FILE).c_str());
    open_dialog();
    page = dialog->GetAsteroidPage();
    ASSERT_TRUE(page->GetDownloadButton()->IsShown());
    {
        DownloadAnswer answer(std::vector<std::string>(4, server.url("/gone")));
        press(page->GetDownloadButton());
    }
    EXPECT_EQ(page->GetList()->GetItemCount(), 0);
    EXPECT_TRUE(page->GetDownloadButton()->IsShown());
    EXPECT_EQ(the_factory->catalogue_size(), 0u);
}

TEST_F(CatalogPageTest, EachPageShowsItsKindOnlyAndPlanetarySetsNeither) {
    install_catalogues();
    build_solar_system();
    the_factory->load_catalogues(data.path(), false);
    // A planetary set joins the catalogue once its body is in the system.
    auto vulcan = std::make_unique<nbOrbitalElementsPlanetary>("Vulcan", 0.2, 0.1, 3, 10, 20,
                                                               JD_2014_MAY_23, 2451545.0, 40);
    the_factory->system()->add("Vulcan", vulcan->create_body(JD_2014_MAY_23));
    ASSERT_TRUE(the_factory->adopt_elements(std::move(vulcan)));
    ASSERT_EQ(the_factory->catalogue_size(), 650u + 8u + 1u);

    open_dialog();
    select(OrbitalElementsDialog::COMET_PAGE);
    const wxCheckedListCtrl* asteroids = dialog->GetAsteroidPage()->GetList();
    const wxCheckedListCtrl* comets = dialog->GetCometPage()->GetList();

    ASSERT_EQ(asteroids->GetItemCount(), 650);
    ASSERT_EQ(comets->GetItemCount(), 8);
    const std::vector<std::string> a = row_names(asteroids), c = row_names(comets);
    EXPECT_EQ(std::set<std::string>(a.begin(), a.end()), catalogue_names(2));
    EXPECT_EQ(std::set<std::string>(c.begin(), c.end()), catalogue_names(1));
    for (long row = 0; row < asteroids->GetItemCount(); ++row)
        EXPECT_EQ(set_of(asteroids, row)->type_code(), 2) << row;
    for (long row = 0; row < comets->GetItemCount(); ++row)
        EXPECT_EQ(set_of(comets, row)->type_code(), 1) << row;
    EXPECT_EQ(find_row(asteroids, "Vulcan"), -1);
    EXPECT_EQ(find_row(comets, "Vulcan"), -1);
    EXPECT_GE(find_row(asteroids, "1915_1953_EA"), 0);
    EXPECT_GE(find_row(comets, "1P/Halley"), 0);
    EXPECT_EQ(find_row(comets, "1915_1953_EA"), -1);
}

TEST_F(CatalogPageTest, RowsShowTheSetsValuesWithSixDecimals) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    const wxCheckedListCtrl* list = dialog->GetAsteroidPage()->GetList();
    ASSERT_EQ(list->GetColumnCount(), 5);
    const char* headings[] = {"Object", "Earth distance [AU]", "Eccentricity", "Inclination [deg]",
                              "Perihelion distance [AU]"};
    for (int col = 0; col < 5; ++col) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT);
        ASSERT_TRUE(list->GetColumn(col, column));
        EXPECT_EQ(column.GetText(), headings[col]);
    }
    // 1915 1953 EA of the critical list: e 0.570506, a 2.544736, i 20.3980.
    const long row = find_row(list, "1915_1953_EA");
    ASSERT_GE(row, 0);
    EXPECT_EQ(list->GetItemText(row, 2), "0.570506");
    EXPECT_EQ(list->GetItemText(row, 3), "20.398000");
    EXPECT_EQ(list->GetItemText(row, 4), "1.092949"); // (1 - e) a
    const double distance = set_of(list, row)->earth_distance(JD_2014_MAY_23);
    EXPECT_EQ(list->GetItemText(row, 1), wxString::Format("%f", distance));
    EXPECT_GT(distance, 0.1);
    EXPECT_LT(distance, 6.0);
}

TEST_F(CatalogPageTest, EveryBoxStartsEmptyAlsoForObjectsAlreadySimulated) {
    install_catalogues();
    build_solar_system();
    the_factory->load_catalogues(data.path(), false);
    for (auto it = the_factory->catalogue_begin(); it != the_factory->catalogue_end(); ++it)
        if ((*it)->name() == "2135_1977_HA")
            the_factory->system()->add((*it)->name(), (*it)->create_body(JD_2014_MAY_23));
    ASSERT_NE(the_factory->system()->find("2135_1977_HA"), nullptr);

    open_dialog();
    select(OrbitalElementsDialog::COMET_PAGE);
    for (CatalogPanel* page : {dialog->GetAsteroidPage(), dialog->GetCometPage()}) {
        const wxCheckedListCtrl* list = page->GetList();
        ASSERT_GT(list->GetItemCount(), 0);
        for (long row = 0; row < list->GetItemCount(); ++row)
            EXPECT_FALSE(list->IsChecked(row)) << row;
        EXPECT_EQ(page->GetMessage(), " ");
    }
}

TEST_F(CatalogPageTest, ApplyCreatesTheCheckedObjectsAtTheSystemsCurrentTime) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    CatalogPanel* page = dialog->GetAsteroidPage();
    wxCheckedListCtrl* list = page->GetList();
    const std::vector<std::string> picked = {"1915_1953_EA", "2340_1976_UA", "3753_1986_TO"};
    for (const std::string& name : picked)
        list->Check(find_row(list, name), true);

    // The simulation runs on while the dialog is open.
    nbSystem* system = the_factory->system();
    for (int k = 0; k < 40; ++k)
        system->step(0.26 * 86400);
    const double now = system->time();
    ASSERT_GT(now, JD_2014_MAY_23 + 10);
    const std::size_t before = system->size();

    press_apply();
    EXPECT_EQ(page->GetMessage(), "3 objects created.");
    EXPECT_EQ(system->size(), before + 3);
    for (const std::string& name : picked) {
        SCOPED_TRACE(name);
        const nbBody* body = system->find(name);
        ASSERT_NE(body, nullptr);
        const long row = find_row(list, name);
        const nbOrbitalElements* set = set_of(list, row);
        const vec3d at_now =
            elements_position(set->a(), set->e(), set->i(), set->w(), set->omega(), set->Tp(), now);
        EXPECT_EQ(body->position().x, at_now.x);
        EXPECT_EQ(body->position().y, at_now.y);
        EXPECT_EQ(body->position().z, at_now.z);
        EXPECT_EQ(body->graphics()->colour().red(), 255);
        EXPECT_EQ(body->graphics()->colour().green(), 0);
        EXPECT_TRUE(list->IsChecked(row)) << "Apply leaves the check marks";
    }

    press_apply();
    EXPECT_EQ(page->GetMessage(), "0 objects created.");
    EXPECT_EQ(system->size(), before + 3);
}

// Two sets of the same elements under two names would put two bodies on one
// point, which the force law cannot take: the second stays out, and the
// message names both.
TEST_F(CatalogPageTest, ApplyKeepsOutABodyWithinAMetreOfAnotherAndNamesBoth) {
    const std::string elements =
        "|2014 05 23.000|0.570506  |2.544736| 20.3980|162.9641 |347.8218 | 2000| 81.2615  "
        "|18.97| 0.10|   0.00\n";
    data.write(nbFactory::CRITICAL_FILE, "  1915 1953 EA       " + elements +
                                             "  Twin A             " + elements +
                                             "  Twin B             " + elements);
    build_solar_system();
    open_dialog();
    CatalogPanel* page = dialog->GetAsteroidPage();
    wxCheckedListCtrl* list = page->GetList();
    nbSystem* system = the_factory->system();
    const std::size_t before = system->size();

    list->Check(find_row(list, "Twin_A"), true);
    list->Check(find_row(list, "Twin_B"), true);
    press_apply();
    EXPECT_EQ(system->size(), before + 1);
    // The one made first joins, whichever row order the list has.
    const bool a_in = system->find("Twin_A") != nullptr;
    EXPECT_NE(a_in, system->find("Twin_B") != nullptr) << "exactly one twin joins";
    const std::string in = a_in ? "Twin_A" : "Twin_B", out = a_in ? "Twin_B" : "Twin_A";
    EXPECT_EQ(page->GetMessage(), "1 objects created. 1 would sit within a metre of another body "
                                  "and stayed out (the first, " +
                                      out + ", on " + in + ").");

    // Against a body already simulated as well.
    list->Check(find_row(list, "1915_1953_EA"), true);
    press_apply();
    EXPECT_EQ(system->size(), before + 1);
    EXPECT_TRUE(page->GetMessage().StartsWith("0 objects created. 2 would sit within a metre"))
        << page->GetMessage();
    EXPECT_TRUE(page->GetMessage().EndsWith(" on " + in + ").")) << page->GetMessage();
    for (int k = 0; k < 3; ++k)
        system->step(0.26 * 86400);
    EXPECT_EQ(first_non_finite_body(*system), "");
}

TEST_F(CatalogPageTest, ABoxClickedByTheUserCountsAndCometsGetTheirTails) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    select(OrbitalElementsDialog::COMET_PAGE);
    CatalogPanel* page = dialog->GetCometPage();
    wxCheckedListCtrl* list = page->GetList();
    const long row = find_row(list, "1P/Halley");
    ASSERT_GE(row, 0);
    list->EnsureVisible(row);
    settle();
    wxRect rect;
    ASSERT_TRUE(list->GetItemRect(row, rect));
    // Inside both the drawn box (centred in the row) and the toolkit's hit
    // rectangle of the image (at the top of the row).
    const wxPoint box(rect.x + 8, std::max(rect.y + (rect.height - 16) / 2, rect.y) + 6);
    ASSERT_TRUE(click_at(list, box));
    ASSERT_TRUE(wait_until([&] { return list->IsChecked(row); }));

    press_apply();
    EXPECT_EQ(page->GetMessage(), "1 objects created.");
    const nbBody* halley = the_factory->system()->find("1P/Halley");
    ASSERT_NE(halley, nullptr);
    EXPECT_TRUE(halley->graphics()->has_tail());
}

TEST_F(CatalogPageTest, FirstClickSortsAscendingAndEveryClickFlipsTheDirection) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    wxCheckedListCtrl* list = dialog->GetAsteroidPage()->GetList();
    const double jd = JD_2014_MAY_23;
    struct Step {
        int column;
        bool ascending;
        std::function<double(Elements)> key;
    } steps[] = {
        {2, true, [](Elements s) { return s->e(); }},
        {3, false, [](Elements s) { return s->i(); }},
        {4, true, [](Elements s) { return s->perihelion_distance(); }},
        {1, false, [jd](Elements s) { return s->earth_distance(jd); }},
        {1, true, [jd](Elements s) { return s->earth_distance(jd); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.column);
        click_column(list, step.column);
        EXPECT_TRUE(ordered(keys(list, step.key), step.ascending));
    }

    // By name: byte order, descending after the five clicks above.
    click_column(list, 0);
    const std::vector<std::string> names = row_names(list);
    for (std::size_t k = 1; k < names.size(); ++k)
        EXPECT_GE(names[k - 1], names[k]) << k;
}

TEST_F(CatalogPageTest, AClickOutsideTheColumnsNeitherSortsNorFlips) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    wxCheckedListCtrl* list = dialog->GetAsteroidPage()->GetList();
    const std::vector<std::string> before = row_names(list);

    // A real click on the header, right of the last column.
    wxWindow* header = nullptr;
    for (wxWindow* child : list->GetChildren())
        if (!header || child->GetSize().y < header->GetSize().y)
            header = child;
    ASSERT_NE(header, nullptr);
    int columns_width = 0;
    for (int col = 0; col < list->GetColumnCount(); ++col)
        columns_width += list->GetColumnWidth(col);
    ASSERT_LT(columns_width + 20, header->GetClientSize().x);
    bool clicked = false;
    int clicked_column = 0;
    list->Bind(wxEVT_LIST_COL_CLICK, [&](wxListEvent& event) {
        clicked = true;
        clicked_column = event.GetColumn();
        event.Skip();
    });
    ASSERT_TRUE(click_at(header, wxPoint(columns_width + 15, header->GetClientSize().y / 2)));
    ASSERT_TRUE(wait_until([&] { return clicked; }));
    EXPECT_EQ(clicked_column, -1);
    EXPECT_EQ(row_names(list), before);

    // The direction was not flipped: the next column click sorts ascending.
    click_column(list, 2);
    EXPECT_TRUE(ordered(keys(list, [](Elements s) { return s->e(); }), true));
}

TEST_F(CatalogPageTest, DistanceSortUsesTheTimeOfTheClickWhileTheTextsStay) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    wxCheckedListCtrl* list = dialog->GetAsteroidPage()->GetList();

    // Half a year on: the near-Earth objects are elsewhere.
    const double later = JD_2014_MAY_23 + 180;
    build_solar_system(later);
    click_column(list, 1);
    EXPECT_TRUE(
        ordered(keys(list, [later](Elements s) { return s->earth_distance(later); }), true));
    EXPECT_FALSE(
        ordered(keys(list, [](Elements s) { return s->earth_distance(JD_2014_MAY_23); }), true))
        << "the order must differ from the one of the fill date";
    EXPECT_EQ(catalogue_reference_jd, later);
    for (long row = 0; row < list->GetItemCount(); ++row) {
        const Elements set = set_of(list, row);
        EXPECT_EQ(list->GetItemText(row, 1),
                  wxString::Format("%f", set->earth_distance(JD_2014_MAY_23)))
            << "the texts stay those of the fill, row " << row;
    }
}

TEST_F(CatalogPageTest, TheCometPageFillsOnItsFirstSelectionOnly) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    CatalogPanel* asteroids = dialog->GetAsteroidPage();
    CatalogPanel* comets = dialog->GetCometPage();
    EXPECT_TRUE(asteroids->IsLoaded());
    EXPECT_EQ(asteroids->GetList()->GetItemCount(), 650);
    EXPECT_FALSE(comets->IsLoaded());
    EXPECT_EQ(comets->GetList()->GetItemCount(), 0);
    EXPECT_EQ(comets->GetMessage(), "Message label");

    select(OrbitalElementsDialog::COMET_PAGE);
    EXPECT_TRUE(comets->IsLoaded());
    ASSERT_EQ(comets->GetList()->GetItemCount(), 8);
    comets->GetList()->Check(3, true);
    click_column(comets->GetList(), 0);
    const std::vector<std::string> sorted = row_names(comets->GetList());

    select(OrbitalElementsDialog::ASTEROID_PAGE);
    select(OrbitalElementsDialog::COMET_PAGE);
    EXPECT_EQ(row_names(comets->GetList()), sorted) << "a refill would restore the catalogue order";
    int checked = 0;
    for (long row = 0; row < 8; ++row)
        checked += comets->GetList()->IsChecked(row);
    EXPECT_EQ(checked, 1);
}

TEST_F(CatalogPageTest, AnEmptyCatalogueShowsTheMessageAndAppliesNothing) {
    build_solar_system();
    open_dialog();
    CatalogPanel* page = dialog->GetAsteroidPage();
    EXPECT_EQ(page->GetList()->GetItemCount(), 0);
    EXPECT_EQ(page->GetMessage(), "No catalogue has been downloaded yet.");
    press_apply();
    EXPECT_EQ(page->GetMessage(), "0 objects created.");
    EXPECT_EQ(the_factory->system()->size(), 11u);

    // Files that arrive later are read by the next dialog, the catalogue being empty.
    install_catalogues();
    open_dialog();
    EXPECT_EQ(dialog->GetAsteroidPage()->GetList()->GetItemCount(), 650);
    EXPECT_EQ(dialog->GetAsteroidPage()->GetMessage(), " ");
    EXPECT_FALSE(dialog->GetAsteroidPage()->GetDownloadButton()->IsShown());
}

TEST_F(CatalogPageTest, WithoutASystemApplyCreatesNothing) {
    install_catalogues();
    open_dialog();
    CatalogPanel* page = dialog->GetAsteroidPage();
    ASSERT_EQ(page->GetList()->GetItemCount(), 650);
    page->GetList()->CheckAll(true);
    press_apply();
    EXPECT_EQ(page->GetMessage(), "0 objects created.");
    EXPECT_EQ(the_factory->system(), nullptr);
}

// Thousands of comets share e = 0.99999 (every parabolic or hyperbolic
// orbit). Sorted by the toolkit's own stored rows, a callback that answers
// "less" for equal keys makes std::sort run past the row array; equal keys
// must compare equal in both directions.
TEST_F(CatalogPageTest, EqualKeysSortSafelyInBothDirections) {
    std::string lines;
    for (int k = 0; k < 3000; ++k)
        lines += "C/2000 X" + std::to_string(k) + "|2000|20000101.0|1.0|" +
                 (k % 2 ? "1.0" : "1.2") + "|10.0|20.0|30.0|0|0\n";
    data.write(nbFactory::COMETS_FILE, lines);
    build_solar_system();
    ASSERT_EQ(the_factory->load_catalogues(data.path(), false), 3000u);

    auto* stored = new wxCheckedListCtrl(panel, wxID_ANY, wxDefaultPosition, wxSize(300, 200));
    stored->InsertColumn(0, "Object");
    long row = 0;
    for (auto it = the_factory->catalogue_begin(); it != the_factory->catalogue_end(); ++it) {
        stored->InsertItem(row, (*it)->name());
        stored->SetItemPtrData(row++, reinterpret_cast<wxUIntPtr>(it->get()));
    }
    for (int column : {3, 5}) // e, perihelion distance: all equal
        for (int sign : {-1, 1, -1}) {
            ASSERT_TRUE(stored->SortItems(CatalogPanel::CompareElements, sign * column));
            ASSERT_EQ(stored->GetItemCount(), 3000);
        }
    std::set<wxUIntPtr> rows;
    for (long r = 0; r < stored->GetItemCount(); ++r)
        rows.insert(stored->GetItemData(r));
    EXPECT_EQ(rows.size(), 3000u) << "every set still has its one row";

    const Elements a = reinterpret_cast<Elements>(stored->GetItemData(0));
    const Elements b = reinterpret_cast<Elements>(stored->GetItemData(1));
    for (int s : {3, -3, 5, -5}) {
        EXPECT_EQ(CatalogPanel::CompareElements(reinterpret_cast<wxIntPtr>(a),
                                                reinterpret_cast<wxIntPtr>(b), s),
                  0);
        EXPECT_EQ(CatalogPanel::CompareElements(reinterpret_cast<wxIntPtr>(a),
                                                reinterpret_cast<wxIntPtr>(a), s),
                  0);
    }
    // The pages themselves sort the same sets both ways.
    open_dialog();
    select(OrbitalElementsDialog::COMET_PAGE);
    wxCheckedListCtrl* list = dialog->GetCometPage()->GetList();
    ASSERT_EQ(list->GetItemCount(), 3000);
    click_column(list, 2);
    click_column(list, 2);
    EXPECT_EQ(list->GetItemCount(), 3000);
}

TEST(ListTexts, NamesShowAsUtf8OrElseByteForByte) {
    EXPECT_EQ(name_text("1P/Halley"), "1P/Halley");
    EXPECT_EQ(name_text("\xc4\x8c"
                        "apek"),
              wxString::FromUTF8("\xc4\x8c"
                                 "apek"));
    // A Latin-1 e acute is no UTF-8: shown as that letter, never as nothing.
    EXPECT_EQ(name_text("Andr\xe9"), wxString(L"Andr\u00e9"));
    EXPECT_EQ(name_text(""), "");
    EXPECT_EQ(number_text("%f", -1), "-1.000000");
}

TEST(SortKeys, EqualKeysCompareEqualAndNotANumberGoesLast) {
    const double nan = std::nan("");
    struct Case {
        double a, b;
        int ascending; // the result with sign +1; -1 reverses it
    } cases[] = {
        {1, 2, -1},  {2, 1, 1},    {0.99999, 0.99999, 0}, {-0.0, 0.0, 0},
        {nan, 1, 1}, {1, nan, -1}, {nan, nan, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " vs " << c.b);
        EXPECT_EQ(compare_sort_keys(c.a, c.b, 1), c.ascending);
        EXPECT_EQ(compare_sort_keys(c.a, c.b, -1), -c.ascending);
    }
    EXPECT_EQ(signed_order(-7, 1), -1);
    EXPECT_EQ(signed_order(7, -1), -1);
    EXPECT_EQ(signed_order(0, -1), 0);
}

} // namespace
