#include "gui/orbital_elements_dialog.h"

#include <wx/notebook.h>
#include <wx/sizer.h>

#include "gui/catalog_panel.h"
#include "gui/delete_objects_panel.h"
#include "gui/single_object_panel.h"

OrbitalElementsDialog::OrbitalElementsDialog(wxWindow* parent, const wxString& data_directory) {
    SetSheetStyle(wxPROPSHEET_NOTEBOOK);
    Create(parent, wxID_ANY, _("Manage Solar system objects"), wxDefaultPosition, wxDefaultSize,
           wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "dialog");

    wxBookCtrlBase* book = GetBookCtrl();
    auto* asteroids = new CatalogPanel(book, ID_ASTEROID_PAGE, data_directory);
    asteroids->SetObjectKind(2);
    auto* comets = new CatalogPanel(book, ID_COMET_PAGE, data_directory);
    comets->SetObjectKind(1);
    auto* single_object = new SingleObjectPanel(book, ID_SINGLE_OBJECT_PAGE, data_directory);
    auto* remove = new DeleteObjectsPanel(book, ID_DELETE_PAGE);

    book->AddPage(asteroids, _("Add Asteroids"), false);
    book->AddPage(comets, _("Add Comets"), false);
    book->AddPage(single_object, _("Add Single Object"), false);
    book->AddPage(remove, _("Remove Objects"), false);
    book->ChangeSelection(ASTEROID_PAGE);
    // The first page must be filled now. Some toolkits select it without a
    // page-changed notification (GTK does), so fill it here if nobody did.
    if (wxPropertyPage* first = GetCurrentPropertyPage())
        if (!first->IsLoaded())
            first->Load();
    // Every page sized now: the dialog takes the widest one's size once,
    // rather than growing on the tab of a wider page.
    for (size_t k = 0; k < book->GetPageCount(); ++k)
        if (auto* page = dynamic_cast<wxPropertyPage*>(book->GetPage(k)))
            if (!page->IsLoaded())
                page->ReserveSize();

    close_button = new wxButton(this, ID_CLOSE_BUTTON, _("Close"));
    apply_button = new wxButton(this, ID_APPLY_BUTTON, _("Apply"));
    auto* buttons = new wxStdDialogButtonSizer();
    buttons->SetAffirmativeButton(apply_button);
    buttons->SetCancelButton(close_button);
    buttons->Realize();
    GetInnerSizer()->Add(buttons, 0, wxEXPAND | wxALL, 2);
    GetInnerSizer()->Add(2, 2);
    // Escape and the window's close box both close, like the Close button.
    SetEscapeId(ID_CLOSE_BUTTON);

    close_button->Bind(wxEVT_BUTTON,
                       static_cast<void (wxPropertySheetDialogEx::*)(wxCommandEvent&)>(
                           &OrbitalElementsDialog::OnCloseButton),
                       this);
    apply_button->Bind(wxEVT_BUTTON, &OrbitalElementsDialog::OnApplyButton, this);

    LayoutDialog(wxBOTH);
}

OrbitalElementsDialog::~OrbitalElementsDialog() = default;

wxPropertyPage* OrbitalElementsDialog::GetPage(Page page) const {
    wxBookCtrlBase* book = GetBookCtrl();
    if (!book || static_cast<size_t>(page) >= book->GetPageCount())
        return nullptr;
    return dynamic_cast<wxPropertyPage*>(book->GetPage(page));
}

CatalogPanel* OrbitalElementsDialog::GetAsteroidPage() const {
    return dynamic_cast<CatalogPanel*>(GetPage(ASTEROID_PAGE));
}

CatalogPanel* OrbitalElementsDialog::GetCometPage() const {
    return dynamic_cast<CatalogPanel*>(GetPage(COMET_PAGE));
}

SingleObjectPanel* OrbitalElementsDialog::GetSingleObjectPage() const {
    return dynamic_cast<SingleObjectPanel*>(GetPage(SINGLE_OBJECT_PAGE));
}

DeleteObjectsPanel* OrbitalElementsDialog::GetDeletePage() const {
    return dynamic_cast<DeleteObjectsPanel*>(GetPage(DELETE_PAGE));
}

void OrbitalElementsDialog::OnApplyButton(wxCommandEvent&) {
    ApplyCurrentPage();
}
