#include "gui/widgets/list_view_combo_popup.h"

#include <algorithm>

#include <wx/settings.h>

#include "gui/widgets/navigate.h"

void SendComboSelected(wxComboCtrl* combo, int row, const wxString& text) {
    wxWindow* parent = combo->GetParent();
    if (!parent)
        return;
    wxCommandEvent event(wxEVT_COMBOBOX, combo->GetId());
    event.SetEventObject(parent);
    event.SetInt(row);
    event.SetString(text);
    parent->GetEventHandler()->ProcessEvent(event);
}

wxBEGIN_EVENT_TABLE(wxListViewComboPopup, wxListCtrl)
    EVT_MOTION(wxListViewComboPopup::OnMouseMove)
    EVT_LEFT_DOWN(wxListViewComboPopup::OnLeftDown)
    EVT_MOUSEWHEEL(wxListViewComboPopup::OnMouseWheel)
    // GTK delivers both the key-down and the key-up of every key to the open
    // list; serving key-down only makes one press one step.
    EVT_KEY_DOWN(wxListViewComboPopup::OnKey)
wxEND_EVENT_TABLE()

wxListViewComboPopup::~wxListViewComboPopup() = default;

void wxListViewComboPopup::Init() {
    value_index = -1;
}

bool wxListViewComboPopup::Create(wxWindow* parent) {
    if (!wxListCtrl::Create(parent, 1, wxPoint(0, 0), wxDefaultSize,
                            wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_NO_HEADER | wxBORDER_SIMPLE,
                            wxDefaultValidator, "listCtrl"))
        return false;
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX));
    InsertColumn(0, wxEmptyString, wxLIST_FORMAT_LEFT, ColumnWidth());
    return true;
}

int wxListViewComboPopup::ColumnWidth() const {
    // Room for a vertical scroll bar beside the texts.
    const int combo_width = m_combo ? m_combo->GetSize().x : 0;
    return std::max(combo_width - 3 * GetTextExtent("X").x, 1);
}

long wxListViewComboPopup::FindExact(const wxString& text) const {
    for (long row = 0; row < GetItemCount(); ++row)
        if (GetItemText(row) == text)
            return row;
    return -1;
}

long wxListViewComboPopup::GetFirstHighlighted() const {
    return GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

void wxListViewComboPopup::Highlight(long row) {
    if (row >= 0 && row < GetItemCount())
        SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
}

void wxListViewComboPopup::RemoveAllRows() {
    DeleteAllItems();
    value_index = -1;
}

void wxListViewComboPopup::SetStringValue(const wxString& text) {
    Highlight(FindExact(text));
}

wxString wxListViewComboPopup::GetStringValue() const {
    if (value_index < 0 || value_index >= GetItemCount())
        return wxString();
    return GetItemText(value_index);
}

wxSize wxListViewComboPopup::GetAdjustedSize(int minWidth, int prefHeight, int maxHeight) {
    int row_height = GetTextExtent("X").y + 1;
    // The toolkit's rows may be taller than a line of text; measure one.
    wxRect rect;
    if (GetItemCount() > 0 && GetItemRect(0, rect))
        row_height = std::max(row_height, rect.height);
    const int rows = std::min(visible_rows, GetItemCount());
    const int height = std::min({prefHeight, maxHeight, rows * row_height + 3});
    return wxSize(minWidth, height);
}

void wxListViewComboPopup::OnPopup() {
    // The combo may have been resized since the list was made.
    SetColumnWidth(0, ColumnWidth());
    // Closing the list without a choice gives the combo the text of the
    // chosen row: start from the row that is shown now.
    const long shown = m_combo ? FindExact(m_combo->GetValue()) : -1;
    value_index = static_cast<int>(shown);
    Highlight(shown);
    if (shown >= 0)
        EnsureVisible(shown);
}

void wxListViewComboPopup::OnDismiss() {
    // Hot tracking moved the highlight; without a choice it goes back.
    Highlight(value_index);
}

void wxListViewComboPopup::Choose() {
    const long row = GetFirstHighlighted();
    if (row < 0) {
        Dismiss();
        return;
    }
    value_index = static_cast<int>(row);
    SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    EnsureVisible(row);
    const wxString text = GetItemText(row);
    wxComboCtrl* combo = GetComboCtrl();
    combo->SetText(text);
    SendComboSelected(combo, value_index, text);
    Dismiss();
}

void wxListViewComboPopup::OnMouseMove(wxMouseEvent& event) {
    int flags = 0;
    const long row = HitTest(event.GetPosition(), flags);
    if (row >= 0)
        Highlight(row);
    event.Skip();
}

void wxListViewComboPopup::OnLeftDown(wxMouseEvent& event) {
    // A click without a move before it still chooses the row under it.
    int flags = 0;
    const long row = HitTest(event.GetPosition(), flags);
    if (row >= 0)
        Highlight(row);
    Choose();
}

void wxListViewComboPopup::OnMouseWheel(wxMouseEvent& event) {
    int flags = 0;
    const long under = HitTest(event.GetPosition(), flags);
    const int delta = event.GetWheelDelta() ? event.GetWheelDelta() : 120;
    const long row = under - event.GetLinesPerAction() * (event.GetWheelRotation() * 3 / delta);
    if (row >= 0 && row < GetItemCount()) {
        Highlight(row);
        EnsureVisible(row);
    }
}

void wxListViewComboPopup::OnKey(wxKeyEvent& event) {
    const long row = GetFirstHighlighted();
    switch (event.GetKeyCode()) {
    case WXK_TAB: {
        wxComboCtrl* combo = GetComboCtrl();
        Dismiss();
        navigate_from(combo, !event.ShiftDown());
        break;
    }
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        Choose();
        event.Skip();
        break;
    case WXK_ESCAPE:
        Highlight(FindExact(GetComboCtrl()->GetValue()));
        value_index = static_cast<int>(GetFirstHighlighted());
        Dismiss();
        break;
    case WXK_LEFT:
    case WXK_UP:
    case WXK_NUMPAD_LEFT:
    case WXK_NUMPAD_UP:
        if (row > 0) {
            Highlight(row - 1);
            EnsureVisible(row - 1);
        }
        break;
    case WXK_RIGHT:
    case WXK_DOWN:
    case WXK_NUMPAD_RIGHT:
    case WXK_NUMPAD_DOWN:
        // With nothing highlighted, the first row follows.
        if (row + 1 < GetItemCount()) {
            Highlight(row + 1);
            EnsureVisible(row + 1);
        }
        break;
    default:
        event.Skip();
    }
}
