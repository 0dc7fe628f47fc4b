// The manage-objects page that lists every body of the running system and
// removes the checked ones.
#pragma once

#include <wx/listctrl.h>
#include <wx/stattext.h>

#include "gui/list_columns.h"
#include "gui/property_sheet.h"
#include "gui/widgets/checked_list_ctrl.h"
#include "nbody/body.h"

class DeleteObjectsPanel : public wxPropertyPage {
public:
    static constexpr double EARTH_MASS = 5.9736e24; // kg

    DeleteObjectsPanel(wxWindow* parent, wxWindowID id);
    ~DeleteObjectsPanel() override;

    void Load() override;
    // The columns as wide as the names need of the bodies there are and of
    // those the catalogue pages may add.
    void ReserveSize() override;
    // Removes the bodies of the checked rows from the system, and the rows,
    // also of rows the filter hides.
    bool Apply() override;

    // Adds a row for body at index row; returns the index for the next row.
    int AddBodyRow(int row, const nbBody* body);
    // The sort callback: item data are bodies; sort data is +-(column + 1),
    // negative for descending.
    static int wxCALLBACK CompareBodies(wxIntPtr item1, wxIntPtr item2, wxIntPtr sort_data);

    wxCheckedListCtrl* GetList() const { return list; }
    wxString GetMessage() const { return message_label->GetLabel(); }
    wxTextCtrl* GetFilter() const { return layout.filter; }
    wxString GetCountLine() const { return layout.count->GetLabel(); }
    wxButton* GetCheckShownButton() const { return layout.check_shown; }
    wxButton* GetUncheckAllButton() const { return layout.uncheck_all; }

protected:
    void OnColumnClick(wxListEvent& event);

private:
    void InsertListColumns();

    // Deletes the rows whose bodies have left the system other than by this
    // page, so that no row leads to a destroyed body.
    void DropVanishedRows();

    ListPageLayout layout;
    wxStaticText* message_label = nullptr;
    wxStaticText* instruction_text = nullptr;
    wxCheckedListCtrl* list = nullptr;
    bool sort_ascending = false;
};
