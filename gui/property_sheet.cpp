#include "gui/property_sheet.h"

#include <wx/notebook.h>

wxPropertyPage::wxPropertyPage(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                               const wxSize& size, long style, const wxString& name)
    : wxPanel(parent, id, pos, size, style, name) {}

wxPropertyPage::~wxPropertyPage() = default;

wxBEGIN_EVENT_TABLE(wxPropertySheetDialogEx, wxPropertySheetDialog)
    EVT_BUTTON(wxID_OK, wxPropertySheetDialogEx::OnOkButton)
    EVT_BUTTON(wxID_CANCEL, wxPropertySheetDialogEx::OnCloseButton)
    EVT_CLOSE(wxPropertySheetDialogEx::OnCloseButton)
    EVT_NOTEBOOK_PAGE_CHANGED(wxID_ANY, wxPropertySheetDialogEx::OnPageChanged)
wxEND_EVENT_TABLE()

wxPropertySheetDialogEx::wxPropertySheetDialogEx() = default;

wxPropertySheetDialogEx::~wxPropertySheetDialogEx() = default;

int wxPropertySheetDialogEx::ShowModal() {
    const int result = wxPropertySheetDialog::ShowModal();
    if (result == wxID_OK)
        ApplyCurrentPage();
    else
        CancelCurrentPage();
    return result;
}

void wxPropertySheetDialogEx::LoadCurrentPage() {
    if (wxPropertyPage* page = GetCurrentPropertyPage())
        page->Load();
}

bool wxPropertySheetDialogEx::ApplyCurrentPage() {
    wxPropertyPage* page = GetCurrentPropertyPage();
    return page ? page->Apply() : false;
}

bool wxPropertySheetDialogEx::CancelCurrentPage() {
    wxPropertyPage* page = GetCurrentPropertyPage();
    return page ? page->Cancel() : false;
}

wxPropertyPage* wxPropertySheetDialogEx::GetCurrentPropertyPage() const {
    wxBookCtrlBase* book = GetBookCtrl();
    if (!book)
        return nullptr;
    const int selection = book->GetSelection();
    if (selection == wxNOT_FOUND)
        return nullptr;
    return dynamic_cast<wxPropertyPage*>(book->GetPage(selection));
}

void wxPropertySheetDialogEx::OnOkButton(wxCommandEvent&) {
    ApplyCurrentPage();
    CloseDialog();
}

void wxPropertySheetDialogEx::OnCloseButton(wxCommandEvent&) {
    CancelCurrentPage();
    CloseDialog();
}

void wxPropertySheetDialogEx::OnCloseButton(wxCloseEvent&) {
    // Never destroyed here: the owner still holds the dialog.
    CancelCurrentPage();
    CloseDialog();
}

void wxPropertySheetDialogEx::OnPageChanged(wxBookCtrlEvent& event) {
    event.Skip();
    // Books inside a page report their own changes through here too.
    wxBookCtrlBase* book = GetBookCtrl();
    if (!book || event.GetEventObject() != book)
        return;
    const int selection = event.GetSelection();
    if (selection == wxNOT_FOUND || selection >= static_cast<int>(book->GetPageCount()))
        return;
    auto* page = dynamic_cast<wxPropertyPage*>(book->GetPage(selection));
    if (page && !page->IsLoaded())
        page->Load();
}

void wxPropertySheetDialogEx::CloseDialog() {
    if (IsModal())
        EndModal(wxID_CANCEL);
    else
        Hide();
}
