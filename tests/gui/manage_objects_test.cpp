#include "manage_objects_test.h"

#include <wx/listctrl.h>

namespace {
const std::string DATA = ZENORB_TEST_DATA;
} // namespace

void ManageObjectsTest::SetUp() {
    FrameTest::SetUp();
    // Every test starts from the state of the program before its first
    // build (other tests may leave their system), and leaves that state.
    the_factory->delete_system();
    the_factory->clear_catalogue();
    saved_reference_jd = catalogue_reference_jd;
    data_directory = wxString::FromUTF8(data.path());
}

void ManageObjectsTest::TearDown() {
    close_dialog();
    the_factory->delete_system();
    the_factory->clear_catalogue();
    catalogue_reference_jd = saved_reference_jd;
    FrameTest::TearDown();
}

void ManageObjectsTest::install_catalogues() {
    data.copy_from(DATA + "/mpc/Soft06CritList-2014-05-23.txt", nbFactory::CRITICAL_FILE);
    data.copy_from(DATA + "/mpc/comets_sample.txt", nbFactory::COMETS_FILE);
}

void ManageObjectsTest::build_solar_system(double jd) {
    the_factory->create_solar_system(jd);
    the_factory->system()->zero_momentum();
}

OrbitalElementsDialog* ManageObjectsTest::open_dialog() {
    close_dialog();
    dialog = new OrbitalElementsDialog(frame, data_directory);
    dialog->Show();
    EXPECT_TRUE(wait_until([this] { return dialog->IsShownOnScreen(); }));
    settle();
    return dialog;
}

void ManageObjectsTest::close_dialog() {
    if (!dialog)
        return;
    dialog->Destroy();
    dialog = nullptr;
    settle(20);
}

void ManageObjectsTest::select(OrbitalElementsDialog::Page page) {
    dialog->GetBookCtrl()->SetSelection(page);
    settle(20);
}

void ManageObjectsTest::press_apply() {
    wxCommandEvent click(wxEVT_BUTTON, dialog->GetApplyButton()->GetId());
    click.SetEventObject(dialog->GetApplyButton());
    dialog->GetApplyButton()->GetEventHandler()->ProcessEvent(click);
}

std::vector<std::string> row_names(const wxCheckedListCtrl* list) {
    std::vector<std::string> names;
    for (long row = 0; row < list->GetItemCount(); ++row)
        names.push_back(list->GetItemText(row).ToStdString());
    return names;
}

long find_row(const wxCheckedListCtrl* list, const std::string& name) {
    for (long row = 0; row < list->GetItemCount(); ++row)
        if (list->GetItemText(row).ToStdString() == name)
            return row;
    return -1;
}

void click_column(wxCheckedListCtrl* list, int column) {
    wxListEvent click(wxEVT_LIST_COL_CLICK, list->GetId());
    click.SetEventObject(list);
    click.m_col = column;
    list->GetEventHandler()->ProcessEvent(click);
}
