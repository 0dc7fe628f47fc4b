#include <set>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include "manage_objects_test.h"

namespace {

const std::vector<std::string> BUILT_IN = {"Earth", "Jupiter", "Mars", "Mercury", "Moon", "Neptune",
                                           "Pluto", "Saturn",  "Sun",  "Uranus",  "Venus"};

const nbBody* body_of(const wxCheckedListCtrl* list, long row) {
    return reinterpret_cast<const nbBody*>(list->GetItemData(row));
}

std::vector<std::string> system_names() {
    std::vector<std::string> names;
    for (const auto& entry : *the_factory->system())
        names.push_back(entry.first);
    return names;
}

class RemovePageTest : public ManageObjectsTest {
protected:
    DeleteObjectsPanel* open_remove_page() {
        open_dialog();
        select(OrbitalElementsDialog::DELETE_PAGE);
        return dialog->GetDeletePage();
    }
};

TEST_F(RemovePageTest, ListsTheBuiltInBodiesInNameOrderWithTheirValues) {
    build_solar_system();
    DeleteObjectsPanel* page = open_remove_page();
    ASSERT_TRUE(page->IsLoaded());
    const wxCheckedListCtrl* list = page->GetList();
    EXPECT_EQ(row_names(list), BUILT_IN);
    const char* headings[] = {"Object", "Earth distance [AU]", "Mass [Earth mass]",
                              "Ecliptic distance [AU]"};
    ASSERT_EQ(list->GetColumnCount(), 4);
    for (int col = 0; col < 4; ++col) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT);
        ASSERT_TRUE(list->GetColumn(col, column));
        EXPECT_EQ(column.GetText(), headings[col]);
    }
    for (long row = 0; row < list->GetItemCount(); ++row)
        EXPECT_FALSE(list->IsChecked(row)) << row;
    EXPECT_EQ(page->GetMessage(), " ");

    struct Expected {
        const char* name;
        const char* mass;
    } masses[] = {{"Earth", "1"},      {"Moon", "0.0123"},  {"Jupiter", "318"},
                  {"Pluto", "0.0021"}, {"Sun", "3.33e+05"}, {"Mercury", "0.06"}};
    for (const Expected& e : masses)
        EXPECT_EQ(list->GetItemText(find_row(list, e.name), 2), e.mass) << e.name;

    EXPECT_EQ(list->GetItemText(find_row(list, "Earth"), 1), "0.000000");
    // The Moon is some 0.0026 AU from the Earth.
    double moon = 0;
    ASSERT_TRUE(list->GetItemText(find_row(list, "Moon"), 1).ToCDouble(&moon));
    EXPECT_NEAR(moon, 0.00257, 0.0002);
    // The Earth lies in the ecliptic of the date; Pluto far out of it.
    double z = 1;
    ASSERT_TRUE(list->GetItemText(find_row(list, "Earth"), 3).ToCDouble(&z));
    EXPECT_NEAR(z, 0, 1e-4);
    ASSERT_TRUE(list->GetItemText(find_row(list, "Pluto"), 3).ToCDouble(&z));
    EXPECT_GT(std::abs(z), 1.0);
}

TEST_F(RemovePageTest, SmallMassesUseTheExponentForm) {
    build_solar_system();
    nbSystem* system = the_factory->system();
    // 3e10 kg, a catalogue object's mass; and one above 0.001 Earth masses.
    system->add("Comet", std::make_unique<nbBody>("Comet", 3.0e10, 1, vec3d(1e11, 0, 0), vec3d()));
    system->add("Rock", std::make_unique<nbBody>("Rock", 0.002 * DeleteObjectsPanel::EARTH_MASS, 1,
                                                 vec3d(2e11, 0, 0), vec3d()));
    const wxCheckedListCtrl* list = open_remove_page()->GetList();
    const wxString comet = list->GetItemText(find_row(list, "Comet"), 2);
    // Two or three exponent digits, as the C library writes them.
    EXPECT_TRUE(comet == "5.022e-15" || comet == "5.022e-015") << comet;
    EXPECT_EQ(list->GetItemText(find_row(list, "Rock"), 2), "0.002");
}

TEST_F(RemovePageTest, RemovesExactlyTheCheckedRowsAndTheirBodies) {
    build_solar_system();
    nbSystem* system = the_factory->system();
    for (const char* name : {"Neptune", "Pluto", "Uranus"})
        system->remove(name);
    DeleteObjectsPanel* page = open_remove_page();
    wxCheckedListCtrl* list = page->GetList();
    const std::vector<std::string> eight = {"Earth", "Jupiter", "Mars", "Mercury",
                                            "Moon",  "Saturn",  "Sun",  "Venus"};
    ASSERT_EQ(row_names(list), eight);
    const wxString sun_distance = list->GetItemText(6, 1);
    list->Check(2, true);
    list->Check(5, true);

    press_apply();
    EXPECT_EQ(page->GetMessage(), "2 objects deleted.");
    const std::vector<std::string> six = {"Earth", "Jupiter", "Mercury", "Moon", "Sun", "Venus"};
    EXPECT_EQ(system_names(), six);
    EXPECT_EQ(row_names(list), six) << "the remaining rows keep their order";
    EXPECT_EQ(list->GetItemText(4, 1), sun_distance);
    for (long row = 0; row < list->GetItemCount(); ++row) {
        EXPECT_FALSE(list->IsChecked(row)) << row;
        // Every row still leads to a body of the system.
        EXPECT_EQ(body_of(list, row), system->find(six[row])) << row;
    }

    press_apply();
    EXPECT_EQ(page->GetMessage(), "0 objects deleted.");
    EXPECT_EQ(system_names(), six);
}

TEST_F(RemovePageTest, TheFilterHidesRowsThatStayCheckedAndAreRemoved) {
    build_solar_system();
    DeleteObjectsPanel* page = open_remove_page();
    wxCheckedListCtrl* list = page->GetList();
    EXPECT_EQ(page->GetCountLine(), count_line_text(11, 11, 0));
    page->GetFilter()->SetValue("UR");
    EXPECT_EQ(row_names(list), (std::vector<std::string>{"Mercury", "Saturn", "Uranus"}));
    wxCommandEvent click(wxEVT_BUTTON, page->GetCheckShownButton()->GetId());
    click.SetEventObject(page->GetCheckShownButton());
    page->GetCheckShownButton()->ProcessWindowEvent(click);
    page->GetFilter()->SetValue("mars");
    EXPECT_EQ(page->GetCountLine(), count_line_text(1, 11, 3));
    // A check made by the program shows once the toolkit is idle.
    list->Check(0, true);
    ASSERT_TRUE(wait_until([&] { return page->GetCountLine() == count_line_text(1, 11, 4); }));

    // Pluto leaves the system otherwise while the filter hides its row.
    the_factory->system()->remove("Pluto");
    press_apply();
    EXPECT_EQ(page->GetMessage(), "4 objects deleted.");
    const std::vector<std::string> six = {"Earth", "Jupiter", "Moon", "Neptune", "Sun", "Venus"};
    EXPECT_EQ(system_names(), six);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(page->GetCountLine(), count_line_text(0, 6, 0));
    page->GetFilter()->SetValue("");
    EXPECT_EQ(row_names(list), six);
    for (long row = 0; row < list->GetItemCount(); ++row)
        EXPECT_EQ(body_of(list, row), the_factory->system()->find(six[row])) << row;
}

TEST_F(RemovePageTest, WithoutTheEarthTheDistancesReadMinusOneAtTheNextOpening) {
    build_solar_system();
    DeleteObjectsPanel* page = open_remove_page();
    wxCheckedListCtrl* list = page->GetList();
    const wxString mars = list->GetItemText(find_row(list, "Mars"), 1);
    list->Check(find_row(list, "Earth"), true);
    press_apply();
    EXPECT_EQ(page->GetMessage(), "1 objects deleted.");
    EXPECT_EQ(the_factory->system()->find("Earth"), nullptr);
    EXPECT_EQ(list->GetItemText(find_row(list, "Mars"), 1), mars) << "not recomputed";

    close_dialog();
    page = open_remove_page();
    list = page->GetList();
    ASSERT_EQ(list->GetItemCount(), 10);
    const std::vector<std::string> before = row_names(list);
    for (long row = 0; row < list->GetItemCount(); ++row)
        EXPECT_EQ(list->GetItemText(row, 1), "-1.000000") << row;
    // Without an Earth every pair sorts as equal by distance: nothing moves.
    click_column(list, 1);
    EXPECT_EQ(row_names(list), before);
    click_column(list, 1);
    EXPECT_EQ(row_names(list), before);
}

TEST_F(RemovePageTest, SortingByObjectPutsTheMoonFirstAndClicksFlipTheDirection) {
    build_solar_system();
    wxCheckedListCtrl* list = open_remove_page()->GetList();

    click_column(list, 0);
    std::vector<std::string> ascending = {"Moon"};
    for (const std::string& name : BUILT_IN)
        if (name != "Moon")
            ascending.push_back(name);
    EXPECT_EQ(row_names(list), ascending) << "the Moon's display name is empty";

    click_column(list, 0);
    EXPECT_EQ(row_names(list), std::vector<std::string>(ascending.rbegin(), ascending.rend()));

    // Ascending by mass (a third click), then descending by height.
    click_column(list, 2);
    for (long row = 1; row < list->GetItemCount(); ++row)
        EXPECT_LE(body_of(list, row - 1)->mass(), body_of(list, row)->mass()) << row;
    EXPECT_EQ(list->GetItemText(list->GetItemCount() - 1), "Sun");
    click_column(list, 3);
    for (long row = 1; row < list->GetItemCount(); ++row)
        EXPECT_GE(body_of(list, row - 1)->position().z, body_of(list, row)->position().z) << row;

    // By distance from the Earth, ascending: the Earth, then the Moon.
    click_column(list, 1);
    EXPECT_EQ(list->GetItemText(0), "Earth");
    EXPECT_EQ(list->GetItemText(1), "Moon");

    // Outside the columns: nothing moves, the direction stays.
    const std::vector<std::string> before = row_names(list);
    click_column(list, -1);
    click_column(list, 4);
    EXPECT_EQ(row_names(list), before);
    click_column(list, 1);
    EXPECT_EQ(list->GetItemText(list->GetItemCount() - 1), "Earth") << "descending";
}

TEST_F(RemovePageTest, RowsOfBodiesThatLeftTheSystemOtherwiseAreDropped) {
    build_solar_system();
    DeleteObjectsPanel* page = open_remove_page();
    wxCheckedListCtrl* list = page->GetList();
    list->Check(find_row(list, "Mars"), true);
    list->Check(find_row(list, "Venus"), true);
    // Another road removes two bodies behind the page's back.
    the_factory->system()->remove("Mars");
    the_factory->system()->remove("Jupiter");

    click_column(list, 2);
    EXPECT_EQ(list->GetItemCount(), 9);
    EXPECT_EQ(find_row(list, "Mars"), -1);
    EXPECT_EQ(find_row(list, "Jupiter"), -1);
    press_apply();
    EXPECT_EQ(page->GetMessage(), "1 objects deleted.");
    EXPECT_EQ(the_factory->system()->find("Venus"), nullptr);
    EXPECT_EQ(the_factory->system()->size(), 8u);
    for (long row = 0; row < list->GetItemCount(); ++row)
        EXPECT_EQ(body_of(list, row),
                  the_factory->system()->find(list->GetItemText(row).ToStdString()));
}

TEST_F(RemovePageTest, WithoutASystemTheListIsEmptyAndApplyReportsZero) {
    DeleteObjectsPanel* page = open_remove_page();
    EXPECT_EQ(page->GetList()->GetItemCount(), 0);
    press_apply();
    EXPECT_EQ(page->GetMessage(), "0 objects deleted.");
}

} // namespace
