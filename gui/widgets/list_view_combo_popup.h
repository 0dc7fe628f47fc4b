// The drop-down list of a wxChoiceWx: a one-column report list that tracks
// the pointer and chooses on click or Enter.
#pragma once

#include <wx/combo.h>
#include <wx/listctrl.h>

// Tells the combo's parent window that the user chose an entry.
void SendComboSelected(wxComboCtrl* combo, int row, const wxString& text);

class wxListViewComboPopup : public wxListCtrl, public wxComboPopup {
public:
    wxListViewComboPopup() = default;
    virtual ~wxListViewComboPopup();

    // wxComboPopup
    void Init() override;
    bool Create(wxWindow* parent) override;
    wxWindow* GetControl() override { return this; }
    void SetStringValue(const wxString& text) override;
    wxString GetStringValue() const override;
    wxSize GetAdjustedSize(int minWidth, int prefHeight, int maxHeight) override;
    void OnPopup() override;
    void OnDismiss() override;

    int GetValueIndex() const { return value_index; }
    int GetVisibleRows() const { return visible_rows; }
    void SetVisibleRows(int n) { visible_rows = n; }

    // The row whose text equals text exactly, or -1.
    long FindExact(const wxString& text) const;
    // The first highlighted (selected) row, or -1.
    long GetFirstHighlighted() const;
    void Highlight(long row);
    void RemoveAllRows();

    // Takes the highlighted row as the choice, shows it and closes the list.
    void Choose();

private:
    void OnMouseMove(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void OnKey(wxKeyEvent& event);
    int ColumnWidth() const;

    int value_index = -1;
    int visible_rows = 10;

    wxDECLARE_EVENT_TABLE();
};
