// A property-sheet dialog whose pages fill themselves the first time they are
// shown and act on the dialog's Apply: the manage-objects dialog is built on it.
#pragma once

#include <wx/bookctrl.h>
#include <wx/panel.h>
#include <wx/propdlg.h>

// One page of a wxPropertySheetDialogEx.
class wxPropertyPage : public wxPanel {
public:
    wxPropertyPage(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                   const wxSize& size = wxDefaultSize, long style = wxTAB_TRAVERSAL,
                   const wxString& name = wxASCII_STR(wxPanelNameStr));
    virtual ~wxPropertyPage();

    virtual bool IsLoaded() const { return loaded; }
    virtual void SetLoaded(bool on) { loaded = on; }
    // Fills the page's controls; every page ends it with MarkLoaded.
    virtual void Load() = 0;
    // Carries out the page's action.
    virtual bool Apply() = 0;
    // Sizes the page for what it will show once loaded, without filling
    // it, so that the dialog can take its final size before any page but
    // the first is shown. Nothing by default: a page of fixed controls.
    virtual void ReserveSize() {}
    // The page's answer to the dialog being closed; nothing by default.
    virtual bool Cancel() { return false; }

    void MarkLoaded() { SetLoaded(true); }

private:
    bool loaded = false;
};

// Forwards Apply, Cancel and the first showing of a page to the page at the
// book's selection. The dialog is only hidden when closed: its owner destroys
// it after the modal loop.
class wxPropertySheetDialogEx : public wxPropertySheetDialog {
public:
    wxPropertySheetDialogEx();
    virtual ~wxPropertySheetDialogEx();

    // The modal loop; then Apply of the current page if it ended with OK,
    // Cancel of it otherwise.
    int ShowModal() override;

    // Load of the current page, whether or not it is loaded already.
    virtual void LoadCurrentPage();
    virtual bool ApplyCurrentPage();
    virtual bool CancelCurrentPage();
    // The page at the book's selection, or null if there is none or it is
    // not a wxPropertyPage.
    virtual wxPropertyPage* GetCurrentPropertyPage() const;

protected:
    void OnOkButton(wxCommandEvent& event);
    void OnCloseButton(wxCommandEvent& event);
    void OnCloseButton(wxCloseEvent& event);
    void OnPageChanged(wxBookCtrlEvent& event);

private:
    // Hides the dialog, ending a modal loop with a result other than OK.
    void CloseDialog();

    wxDECLARE_EVENT_TABLE();
};
