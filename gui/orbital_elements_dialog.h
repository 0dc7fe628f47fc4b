// The modal "Manage Solar system objects" dialog: add catalogue asteroids and
// comets, a single object, or remove bodies from the running system.
#pragma once

#include <wx/button.h>

#include "gui/property_sheet.h"

class CatalogPanel;
class DeleteObjectsPanel;
class SingleObjectPanel;

class OrbitalElementsDialog : public wxPropertySheetDialogEx {
public:
    // Window identifiers of the pages and buttons.
    enum {
        ID_ASTEROID_PAGE = wxID_HIGHEST + 1,
        ID_COMET_PAGE,
        ID_SINGLE_OBJECT_PAGE,
        ID_DELETE_PAGE,
        ID_CLOSE_BUTTON,
        ID_APPLY_BUTTON
    };
    // The tabs, in notebook order.
    enum Page { ASTEROID_PAGE, COMET_PAGE, SINGLE_OBJECT_PAGE, DELETE_PAGE };

    // The catalogue pages read their files from data_directory, the
    // single-object page writes and restores element files there. The first
    // page is filled before the constructor returns.
    OrbitalElementsDialog(wxWindow* parent, const wxString& data_directory);
    ~OrbitalElementsDialog() override;

    wxPropertyPage* GetPage(Page page) const;
    CatalogPanel* GetAsteroidPage() const;
    CatalogPanel* GetCometPage() const;
    SingleObjectPanel* GetSingleObjectPage() const;
    DeleteObjectsPanel* GetDeletePage() const;
    wxButton* GetApplyButton() const { return apply_button; }
    wxButton* GetCloseButton() const { return close_button; }

private:
    void OnApplyButton(wxCommandEvent& event);

    wxButton* apply_button = nullptr;
    wxButton* close_button = nullptr;
};
