// The manage-objects pages that list the catalogue's asteroids or comets and
// turn the checked ones into bodies of the running system.
#pragma once

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "gui/list_columns.h"
#include "gui/property_sheet.h"
#include "gui/widgets/checked_list_ctrl.h"
#include "nbody/elements.h"
#include "nbody/vec3d.h"

// The date (JD) at which both catalogue pages compute and sort the "Earth
// distance [AU]" column; set by every fill and every column click.
extern double catalogue_reference_jd;

class CatalogPanel : public wxPropertyPage {
public:
    // The catalogue files are read from data_directory on the first fill.
    CatalogPanel(wxWindow* parent, wxWindowID id, const wxString& data_directory);
    ~CatalogPanel() override;

    // Element type code of the sets shown: 1 comets, 2 asteroids, 0 all.
    void SetObjectKind(int kind) { object_kind = kind; }
    int GetObjectKind() const { return object_kind; }

    // Fills the page; rows checked before a refill stay checked, and the
    // filter box's text filters the new rows.
    void Load() override;
    // The columns, as wide as the names of this kind in the catalogue need.
    void ReserveSize() override;
    // Creates a body for every checked set whose name the system lacks,
    // shown or hidden by the filter. Past the progress delay a progress
    // dialog shows; cancelled there, nothing joins the system.
    bool Apply() override;

    // How long Apply works before it shows its progress dialog.
    static constexpr long PROGRESS_DELAY_MS = 500;
    void SetProgressDelay(long ms) { progress_delay_ms = ms; }

    // Adds a row for set at index row if the set is of this page's kind;
    // returns the index for the next row.
    int AddElementsRow(int row, const nbOrbitalElements* set, double jd);
    // The sort callback: item data are element sets; sort data is
    // +-(column + 1), negative for descending.
    static int wxCALLBACK CompareElements(wxIntPtr item1, wxIntPtr item2, wxIntPtr sort_data);

    wxCheckedListCtrl* GetList() const { return list; }
    wxString GetMessage() const { return message_label->GetLabel(); }
    wxTextCtrl* GetFilter() const { return layout.filter; }
    wxString GetCountLine() const { return layout.count->GetLabel(); }
    wxButton* GetCheckShownButton() const { return layout.check_shown; }
    wxButton* GetUncheckAllButton() const { return layout.uncheck_all; }
    // "Download catalogues...", shown while the page has no sets.
    wxButton* GetDownloadButton() const { return download_button; }

protected:
    void OnColumnClick(wxListEvent& event);
    // Opens the download dialog; the lists that arrive fill the page.
    void OnDownloadButton(wxCommandEvent& event);

private:
    // The Earth's position at jd, placed once for all rows of that date.
    const vec3d& EarthAt(double jd);
    // The list's columns anew, without rows.
    void InsertListColumns();

    ListPageLayout layout;
    wxStaticText* message_label = nullptr;
    wxStaticText* instruction_text = nullptr;
    wxCheckedListCtrl* list = nullptr;
    wxButton* download_button = nullptr;
    long progress_delay_ms = PROGRESS_DELAY_MS;
    bool sort_ascending = false;
    int object_kind = 0;
    wxString data_directory;
    LongestTexts longest_names;
    double earth_jd;
    vec3d earth_position;
};
