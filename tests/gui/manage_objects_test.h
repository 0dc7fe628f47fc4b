// The fixture of the manage-objects tests: the solar system at a fixed date,
// catalogue files from the test data in a temporary data directory, and the
// dialog on top of the test frame. Each test starts and ends without a
// system and with an empty catalogue, the state of the program before its
// first build; the catalogue reference date and the directory are restored.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "gui/catalog_panel.h"
#include "gui/delete_objects_panel.h"
#include "gui/orbital_elements_dialog.h"
#include "gui_test.h"
#include "nbody/factory.h"

// 2014 May 23, 0h: the date of the critical list's mean anomalies.
constexpr double JD_2014_MAY_23 = 2456800.5;

class ManageObjectsTest : public FrameTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The real critical list and the comet sample as the local files.
    void install_catalogues();
    void build_solar_system(double jd = JD_2014_MAY_23);
    // A new dialog over the test frame, shown without a modal loop (the
    // modal tests run their own); waits until it is on screen.
    OrbitalElementsDialog* open_dialog();
    void close_dialog();
    // Selects a tab as a click on it does, with the page-changed notices.
    void select(OrbitalElementsDialog::Page page);
    void press_apply();

    TempDir data;
    wxString data_directory;
    OrbitalElementsDialog* dialog = nullptr;

private:
    double saved_reference_jd = 0;
};

// The first-column texts of every row, in row order.
std::vector<std::string> row_names(const wxCheckedListCtrl* list);
// The row whose first column reads name, or -1.
long find_row(const wxCheckedListCtrl* list, const std::string& name);
// A column click as the header sends it.
void click_column(wxCheckedListCtrl* list, int column);
