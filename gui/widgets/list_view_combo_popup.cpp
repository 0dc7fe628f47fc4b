#include "gui/widgets/list_view_combo_popup.h"

#include <algorithm>

#include <wx/settings.h>
#include <wx/time.h>

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
                            wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL | wxLC_NO_HEADER |
                                wxBORDER_SIMPLE,
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
    for (std::size_t row = 0; row < rows.size(); ++row)
        if (rows[row] == text)
            return static_cast<long>(row);
    return -1;
}

namespace {
// Lower case without blanks: "2004 MN4" and "2004mn4" are one search.
wxString folded(const wxString& text) {
    wxString out;
    out.reserve(text.length());
    for (wxUniChar c : text)
        if (!wxIsspace(c))
            out += wxTolower(c);
    return out;
}
} // namespace

long wxListViewComboPopup::FindContaining(const wxString& part, long from) const {
    const wxString wanted = folded(part);
    if (wanted.empty() || rows.empty())
        return -1;
    const long n = static_cast<long>(rows.size());
    from = std::clamp(from, 0L, n - 1);
    for (long k = 0; k < n; ++k) {
        const long row = (from + k) % n;
        if (folded(rows[static_cast<std::size_t>(row)]).find(wanted) != wxString::npos)
            return row;
    }
    return -1;
}

wxString wxListViewComboPopup::TypeAhead(wxChar key) {
    const wxLongLong now = wxGetLocalTimeMillis();
    if (now - typed_at > 1000)
        typed.clear();
    typed_at = now;
    typed += key;
    return typed;
}

void wxListViewComboPopup::AppendRow(const wxString& text) {
    rows.push_back(text);
    SetItemCount(static_cast<long>(rows.size()));
}

void wxListViewComboPopup::SetRows(std::vector<wxString> texts) {
    // A virtual list keeps its highlight by row number across new rows.
    for (long row = GetFirstHighlighted(); row >= 0; row = GetFirstHighlighted())
        SetItemState(row, 0, wxLIST_STATE_SELECTED);
    rows = std::move(texts);
    value_index = -1;
    SetItemCount(static_cast<long>(rows.size()));
    Refresh();
}

wxString wxListViewComboPopup::OnGetItemText(long item, long) const {
    if (item < 0 || item >= static_cast<long>(rows.size()))
        return wxString();
    return rows[static_cast<std::size_t>(item)];
}

long wxListViewComboPopup::GetFirstHighlighted() const {
    return GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

void wxListViewComboPopup::Highlight(long row) {
    if (row >= 0 && row < GetItemCount())
        SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
}

void wxListViewComboPopup::RemoveAllRows() {
    for (long row = GetFirstHighlighted(); row >= 0; row = GetFirstHighlighted())
        SetItemState(row, 0, wxLIST_STATE_SELECTED);
    rows.clear();
    SetItemCount(0);
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
    default: {
        // Typing a name's part moves to the first row that holds it.
        const wxChar key = static_cast<wxChar>(event.GetUnicodeKey());
        if (key >= ' ' && !event.ControlDown() && !event.AltDown()) {
            const long found = FindContaining(TypeAhead(key), std::max(row, 0L));
            if (found >= 0) {
                Highlight(found);
                EnsureVisible(found);
            }
            break;
        }
        event.Skip();
    }
    }
}
