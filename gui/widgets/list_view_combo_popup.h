// The drop-down list of a wxChoiceWx: a one-column report list that tracks
// the pointer and chooses on click or Enter. The list is virtual (its texts
// are held here and shown as they scroll into view), so that forty thousand
// rows fill in an instant; typing finds the first row holding the typed text.
#pragma once

#include <vector>

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
    // The first row from `from` on (then from the top) whose text holds
    // part, ignoring case and blanks, or -1.
    long FindContaining(const wxString& part, long from = 0) const;
    // The keys typed within a second of each other, as one search text;
    // a pause starts a new one.
    wxString TypeAhead(wxChar key);

    void AppendRow(const wxString& text);
    // Every row at once, replacing the ones there were.
    void SetRows(std::vector<wxString> rows);
    long RowCount() const { return static_cast<long>(rows.size()); }
    const wxString& Row(long row) const { return rows[static_cast<std::size_t>(row)]; }
    // The first highlighted (selected) row, or -1.
    long GetFirstHighlighted() const;
    void Highlight(long row);
    void RemoveAllRows();

    // Takes the highlighted row as the choice, shows it and closes the list.
    void Choose();

protected:
    wxString OnGetItemText(long item, long column) const override;

private:
    void OnMouseMove(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void OnKey(wxKeyEvent& event);
    int ColumnWidth() const;

    int value_index = -1;
    int visible_rows = 10;
    std::vector<wxString> rows;
    wxString typed;
    wxLongLong typed_at = 0;

    wxDECLARE_EVENT_TABLE();
};
