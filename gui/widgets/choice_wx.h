// A read-only choice: a combo control whose drop-down is a list of texts.
#pragma once

#include <vector>

#include <wx/combo.h>

class wxListViewComboPopup;

class wxChoiceWx : public wxComboCtrl {
public:
    wxChoiceWx(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
               const wxSize& size = wxDefaultSize, int n = 0, const wxString choices[] = nullptr,
               long style = 0, const wxValidator& validator = wxDefaultValidator,
               const wxString& name = wxComboBoxNameStr);
    virtual ~wxChoiceWx();

    void Append(const wxString& text);
    // Every row at once, replacing the ones there were: what a list of
    // thousands of names needs.
    void Set(std::vector<wxString> texts);
    // Shows the text of row index (nothing for -1) without notifying.
    using wxComboCtrl::SetSelection;
    void SetSelection(int index);
    // The first highlighted row, or -1.
    using wxComboCtrl::GetSelection;
    int GetSelection() const;
    wxString GetString(int index) const;
    unsigned int GetCount() const;
    bool SetStringSelection(const wxString& text);
    // Removes every row; the shown text stays until the next selection.
    void Clear() override;
    void SetVisibleRows(int n);

    wxListViewComboPopup* GetPopup() const { return popup; }

private:
    void OnKeyDown(wxKeyEvent& event);
    void Step(int direction);

    wxListViewComboPopup* popup = nullptr; // owned by the combo control

    wxDECLARE_EVENT_TABLE();
};
