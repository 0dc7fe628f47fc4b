#include <functional>
#include <string>
#include <vector>

#include <wx/notebook.h>
#include <wx/timer.h>

#include "manage_objects_test.h"

namespace {

using ManageDialogTest = ManageObjectsTest;

// Runs script inside the dialog's modal loop, which script should end. If
// it does not (or a failed assertion cuts it short), the loop is ended here
// with wxID_ABORT: a failed test, never a run that hangs.
int run_modal(wxDialog* dialog, std::function<void()> script) {
    dialog->CallAfter([dialog, script] {
        if (wait_until([dialog] { return dialog->IsShownOnScreen(); }))
            script();
        else
            ADD_FAILURE() << "the dialog never showed";
        if (!wait_until([dialog] { return !dialog->IsModal(); }, 3000))
            dialog->EndModal(wxID_ABORT);
    });
    return dialog->ShowModal();
}

TEST_F(ManageDialogTest, FourPagesInOrderAndTheTwoButtons) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    EXPECT_EQ(dialog->GetTitle(), "Manage Solar system objects");
    EXPECT_EQ(dialog->GetName(), "dialog");
    EXPECT_TRUE(dialog->HasFlag(wxRESIZE_BORDER));
    wxBookCtrlBase* book = dialog->GetBookCtrl();
    ASSERT_NE(dynamic_cast<wxNotebook*>(book), nullptr);
    ASSERT_EQ(book->GetPageCount(), 4u);
    const char* tabs[] = {"Add Asteroids", "Add Comets", "Add Single Object", "Remove Objects"};
    for (size_t k = 0; k < 4; ++k)
        EXPECT_EQ(book->GetPageText(k), tabs[k]) << k;
    EXPECT_EQ(book->GetSelection(), 0);
    EXPECT_EQ(dialog->GetAsteroidPage()->GetObjectKind(), 2);
    EXPECT_EQ(dialog->GetCometPage()->GetObjectKind(), 1);
    EXPECT_NE(dialog->GetDeletePage(), nullptr);
    EXPECT_NE(dialog->GetSingleObjectPage(), nullptr);

    EXPECT_EQ(dialog->GetApplyButton()->GetLabel(), "Apply");
    EXPECT_EQ(dialog->GetCloseButton()->GetLabel(), "Close");
    EXPECT_TRUE(dialog->GetApplyButton()->IsShownOnScreen());
    EXPECT_TRUE(dialog->GetCloseButton()->IsShownOnScreen());
    // Both buttons below the notebook, side by side.
    const wxRect pages = book->GetScreenRect();
    for (wxButton* button : {dialog->GetApplyButton(), dialog->GetCloseButton()})
        EXPECT_GE(button->GetScreenRect().GetTop(), pages.GetBottom());
    EXPECT_FALSE(dialog->GetApplyButton()->GetScreenRect().Intersects(
        dialog->GetCloseButton()->GetScreenRect()));
}

// One size for every page, the widest one's from the start: a dialog whose
// edge jumps from tab to tab moves its buttons under the pointer.
TEST_F(ManageDialogTest, KeepsOneSizeOnEveryPage) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    settle();
    const wxSize first = dialog->GetSize();
    for (auto page : {OrbitalElementsDialog::COMET_PAGE, OrbitalElementsDialog::SINGLE_OBJECT_PAGE,
                      OrbitalElementsDialog::DELETE_PAGE, OrbitalElementsDialog::ASTEROID_PAGE}) {
        SCOPED_TRACE(page);
        select(page);
        settle();
        EXPECT_EQ(dialog->GetSize(), first);
        // Every page whole within it.
        const wxSize need = dialog->GetPage(page)->GetBestSize();
        const wxSize has = dialog->GetPage(page)->GetSize();
        EXPECT_GE(has.x, need.x);
        EXPECT_GE(has.y, need.y);
    }
}

// Whole headings and names, and no sideways scrolling, in every list page.
TEST_F(ManageDialogTest, ListsShowWholeHeadingsAndNames) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    for (auto page : {OrbitalElementsDialog::ASTEROID_PAGE, OrbitalElementsDialog::COMET_PAGE,
                      OrbitalElementsDialog::DELETE_PAGE}) {
        SCOPED_TRACE(page);
        select(page);
        wxCheckedListCtrl* list =
            page == OrbitalElementsDialog::DELETE_PAGE
                ? dialog->GetDeletePage()->GetList()
                : dynamic_cast<CatalogPanel*>(dialog->GetPage(page))->GetList();
        ASSERT_GT(list->GetItemCount(), 0);
        int total = 0;
        for (int col = 0; col < list->GetColumnCount(); ++col) {
            wxListItem column;
            column.SetMask(wxLIST_MASK_TEXT);
            ASSERT_TRUE(list->GetColumn(col, column));
            EXPECT_LT(list->GetTextExtent(column.GetText()).x, list->GetColumnWidth(col))
                << column.GetText();
            total += list->GetColumnWidth(col);
        }
        EXPECT_LE(total, list->GetClientSize().x);
        for (long row = 0; row < list->GetItemCount(); ++row)
            EXPECT_LT(list->GetTextExtent(list->GetItemText(row)).x + 16, list->GetColumnWidth(0))
                << list->GetItemText(row);
    }
}

TEST_F(ManageDialogTest, ApplyActsOnTheShowingPageOnly) {
    install_catalogues();
    build_solar_system();
    open_dialog();
    wxCheckedListCtrl* asteroids = dialog->GetAsteroidPage()->GetList();
    asteroids->Check(0, true);
    select(OrbitalElementsDialog::DELETE_PAGE);
    wxCheckedListCtrl* bodies = dialog->GetDeletePage()->GetList();
    bodies->Check(find_row(bodies, "Pluto"), true);

    // A real click on Apply.
    ASSERT_TRUE(click_at(dialog->GetApplyButton(), wxPoint(10, 10)));
    ASSERT_TRUE(wait_until([&] { return dialog->GetDeletePage()->GetMessage() != " "; }));
    EXPECT_EQ(dialog->GetDeletePage()->GetMessage(), "1 objects deleted.");
    EXPECT_EQ(the_factory->system()->find("Pluto"), nullptr);
    EXPECT_EQ(the_factory->system()->size(), 10u) << "no asteroid was created";
    EXPECT_EQ(dialog->GetAsteroidPage()->GetMessage(), " ");
    EXPECT_TRUE(dialog->IsShown()) << "Apply never closes the dialog";
}

// The frame's timer goes on stepping the system while the dialog runs
// modally: ticks fall between the dialog's handlers.
TEST_F(ManageDialogTest, RunsModallyWhileATimerStepsTheSystem) {
    install_catalogues();
    build_solar_system();
    nbSystem* system = the_factory->system();
    wxTimer ticks;
    int steps = 0;
    ticks.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (nbSystem* s = the_factory->system()) {
            s->step(0.26 * 86400);
            ++steps;
        }
    });
    ticks.Start(5);

    dialog = new OrbitalElementsDialog(frame, data_directory);
    const auto ticked = [&] {
        const int before = steps;
        return wait_until([&] { return steps >= before + 3; });
    };
    double created_at = 0;
    const int result = run_modal(dialog, [&] {
        ASSERT_TRUE(ticked());
        select(OrbitalElementsDialog::COMET_PAGE);
        wxCheckedListCtrl* comets = dialog->GetCometPage()->GetList();
        comets->Check(find_row(comets, "2P/Encke"), true);
        ASSERT_TRUE(ticked());
        created_at = system->time();
        press_apply();
        ASSERT_TRUE(ticked());
        click_column(comets, 1);
        EXPECT_EQ(catalogue_reference_jd, system->time());
        ASSERT_TRUE(ticked());

        select(OrbitalElementsDialog::DELETE_PAGE);
        wxCheckedListCtrl* bodies = dialog->GetDeletePage()->GetList();
        EXPECT_GE(find_row(bodies, "2P/Encke"), 0) << "filled after the comet was created";
        bodies->Check(find_row(bodies, "Mars"), true);
        ASSERT_TRUE(ticked());
        click_column(bodies, 1);
        ASSERT_TRUE(ticked());
        press_apply();
        ASSERT_TRUE(ticked());
        // Escape closes, as the Close button does.
        ASSERT_TRUE(focus(bodies));
        sim.Char(WXK_ESCAPE);
    });
    ticks.Stop();

    EXPECT_EQ(result, wxID_CANCEL);
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_EQ(dialog->GetCometPage()->GetMessage(), "1 objects created.");
    EXPECT_EQ(dialog->GetDeletePage()->GetMessage(), "1 objects deleted.");
    EXPECT_EQ(system->find("Mars"), nullptr);
    const nbBody* encke = system->find("2P/Encke");
    ASSERT_NE(encke, nullptr);
    EXPECT_GT(created_at, JD_2014_MAY_23);
    EXPECT_GT(system->time(), created_at) << "the system stepped on";
}

TEST_F(ManageDialogTest, TheCloseButtonAndTheCloseBoxEndTheModalLoop) {
    build_solar_system();
    for (bool close_box : {false, true}) {
        SCOPED_TRACE(close_box ? "close box" : "Close button");
        dialog = new OrbitalElementsDialog(frame, data_directory);
        const int result = run_modal(dialog, [&] {
            if (close_box)
                dialog->Close();
            else
                EXPECT_TRUE(click_at(dialog->GetCloseButton(), wxPoint(10, 10)));
        });
        EXPECT_EQ(result, wxID_CANCEL);
        EXPECT_FALSE(dialog->IsShown());
        EXPECT_FALSE(dialog->IsBeingDeleted()) << "the owner destroys the dialog";
        close_dialog();
    }
}

} // namespace
