#include "gui/widgets/choice_wx.h"

#include <algorithm>

#include <wx/settings.h>

#include "gui/widgets/list_view_combo_popup.h"
#include "gui/widgets/navigate.h"

wxBEGIN_EVENT_TABLE(wxChoiceWx, wxComboCtrl)
    // GTK gives the read-only combo no key-down events, only the char hook
    // that starts at the focused window: the keys are served there, once.
    EVT_CHAR_HOOK(wxChoiceWx::OnKeyDown)
wxEND_EVENT_TABLE()

wxChoiceWx::wxChoiceWx(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                       int n, const wxString choices[], long style, const wxValidator& validator,
                       const wxString& name)
    : wxComboCtrl(parent, id, wxEmptyString, pos, size, style | wxCB_READONLY, validator, name) {
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT));
    popup = new wxListViewComboPopup();
    SetPopupControl(popup);
    for (int i = 0; i < n; ++i)
        Append(choices[i]);
}

wxChoiceWx::~wxChoiceWx() = default;

void wxChoiceWx::Append(const wxString& text) {
    popup->AppendRow(text);
}

void wxChoiceWx::Set(std::vector<wxString> texts) {
    popup->SetRows(std::move(texts));
}

void wxChoiceWx::SetSelection(int index) {
    const wxString text = index >= 0 && index < popup->GetItemCount() ? GetString(index) : "";
    popup->SetStringValue(text);
    SetText(text);
}

int wxChoiceWx::GetSelection() const {
    return static_cast<int>(popup->GetFirstHighlighted());
}

wxString wxChoiceWx::GetString(int index) const {
    if (index < 0 || index >= popup->RowCount())
        return wxString();
    return popup->Row(index);
}

unsigned int wxChoiceWx::GetCount() const {
    return static_cast<unsigned int>(popup->GetItemCount());
}

bool wxChoiceWx::SetStringSelection(const wxString& text) {
    const long row = popup->FindExact(text);
    if (row < 0)
        return false;
    popup->Highlight(row);
    SetText(text);
    return true;
}

void wxChoiceWx::Clear() {
    popup->RemoveAllRows();
}

void wxChoiceWx::SetVisibleRows(int n) {
    popup->SetVisibleRows(n);
}

void wxChoiceWx::Step(int direction) {
    popup->SetStringValue(GetValue());
    const long row = popup->GetFirstHighlighted() + direction;
    if (row < 0 || row >= popup->GetItemCount())
        return;
    popup->Highlight(row);
    const wxString text = GetString(static_cast<int>(row));
    SetText(text);
    SendComboSelected(this, static_cast<int>(row), text);
}

void wxChoiceWx::OnKeyDown(wxKeyEvent& event) {
    // Alt+Down opens the list (the combo's own key).
    if (IsPopupShown() || event.AltDown()) {
        event.Skip();
        return;
    }
    switch (event.GetKeyCode()) {
    case WXK_RIGHT:
    case WXK_DOWN:
    case WXK_NUMPAD2:
    case WXK_NUMPAD_RIGHT:
    case WXK_NUMPAD_DOWN:
        Step(+1);
        break;
    case WXK_LEFT:
    case WXK_UP:
    case WXK_NUMPAD8:
    case WXK_NUMPAD_LEFT:
    case WXK_NUMPAD_UP:
        Step(-1);
        break;
    case WXK_TAB:
        navigate_from(this, !event.ShiftDown());
        break;
    default: {
        // Typing part of a name chooses the first row that holds it: with
        // thousands of bodies, stepping through them is no way to find one.
        const wxChar key = static_cast<wxChar>(event.GetUnicodeKey());
        if (key >= ' ' && !event.ControlDown()) {
            popup->SetStringValue(GetValue());
            const long found = popup->FindContaining(popup->TypeAhead(key),
                                                     std::max(popup->GetFirstHighlighted(), 0L));
            if (found >= 0) {
                popup->Highlight(found);
                const wxString text = GetString(static_cast<int>(found));
                SetText(text);
                SendComboSelected(this, static_cast<int>(found), text);
            }
            break;
        }
        event.Skip();
    }
    }
}
