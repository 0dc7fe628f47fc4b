#include "gui/widgets/spin_ctrl_dbl.h"

#include <algorithm>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <vector>

#include <wx/spinctrl.h>
#include <wx/valtext.h>

#include "gui/widgets/navigate.h"

namespace {

// Numbers are shown and read with the C locale's decimal point whatever the
// user's locale: the character filter admits only '.'.
class CNumericLocale {
public:
    CNumericLocale() : previous(uselocale(c_locale())) {}
    ~CNumericLocale() { uselocale(previous); }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    static locale_t c_locale() {
        static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
        return c;
    }
    locale_t previous;
};

wxString format_number(const wxString& format, double x) {
    CNumericLocale c;
    const wxScopedCharBuffer fmt = format.utf8_str();
    const int n = std::snprintf(nullptr, 0, fmt.data(), x);
    if (n < 0)
        return wxString();
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    std::snprintf(buffer.data(), buffer.size(), fmt.data(), x);
    return wxString::FromUTF8(buffer.data());
}

// The number at the start of text (0 if there is none); with whole, true only
// when the number is all of the trimmed text. A separator other than '.' is
// read as a decimal point too.
bool read_number(const wxString& text, double* x, bool whole, wxUniChar separator = '.') {
    wxString trimmed = text;
    trimmed.Trim(true).Trim(false);
    if (separator != '.')
        trimmed.Replace(wxString(separator), ".");
    const wxScopedCharBuffer utf8 = trimmed.utf8_str();
    CNumericLocale c;
    char* end = nullptr;
    const double v = std::strtod(utf8.data(), &end);
    const bool read = end != utf8.data() && (!whole || *end == '\0');
    *x = end != utf8.data() ? v : 0.0;
    return read;
}

// The decimal separator of the user's locale (from the environment, as the
// C library would set it), whatever locale the process runs in.
wxUniChar users_decimal_separator() {
    static const wxUniChar separator = [] {
        const locale_t users = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
        if (!users)
            return wxUniChar('.');
        const wxString radix = wxString::FromUTF8(nl_langinfo_l(RADIXCHAR, users));
        freelocale(users);
        return radix.length() == 1 ? radix[0] : wxUniChar('.');
    }();
    return separator;
}

// Measured once per process from the toolkit's own integer spin control.
wxSize spin_best_size(wxWindow* parent) {
    static wxSize best;
    if (best == wxSize()) {
        auto* probe = new wxSpinCtrl(parent, wxID_ANY);
        best = probe->GetBestSize();
        delete probe;
        if (best.x < 20)
            best.x = 95;
        if (best.y < 10)
            best.y = 22;
    }
    return best;
}

} // namespace

// ---------------------------------------------------------------------------

wxDEFINE_EVENT(wxEVT_SPINCTRLDBL_CORRECTED, wxCommandEvent);

wxBEGIN_EVENT_TABLE(wxSpinCtrlDblTextCtrl, wxTextCtrl)
    EVT_CHAR(wxSpinCtrlDblTextCtrl::OnChar)
    EVT_KILL_FOCUS(wxSpinCtrlDblTextCtrl::OnKillFocus)
wxEND_EVENT_TABLE()

wxSpinCtrlDblTextCtrl::wxSpinCtrlDblTextCtrl(wxSpinCtrlDbl* owner_, wxWindowID id,
                                             const wxString& value, const wxPoint& pos,
                                             const wxSize& size, long style,
                                             const wxValidator& validator, const wxString& name)
    : wxTextCtrl(owner_, id, value, pos, size, style, validator, name), owner(owner_) {}

wxSpinCtrlDblTextCtrl::~wxSpinCtrlDblTextCtrl() {
    if (owner)
        owner->text_ctrl = nullptr;
}

void wxSpinCtrlDblTextCtrl::OnChar(wxKeyEvent& event) {
    if (owner)
        owner->OnChar(event);
    else
        event.Skip();
}

void wxSpinCtrlDblTextCtrl::OnKillFocus(wxFocusEvent& event) {
    if (owner)
        owner->SyncSpinToText(true, true);
    event.Skip();
}

// ---------------------------------------------------------------------------

wxBEGIN_EVENT_TABLE(wxSpinCtrlDbl, wxControl)
    EVT_SPIN_UP(wxID_ANY, wxSpinCtrlDbl::OnSpinUp)
    EVT_SPIN_DOWN(wxID_ANY, wxSpinCtrlDbl::OnSpinDown)
    EVT_TEXT(wxID_ANY, wxSpinCtrlDbl::OnTextUpdated)
    EVT_TEXT_ENTER(wxID_ANY, wxSpinCtrlDbl::OnTextEnter)
    EVT_SET_FOCUS(wxSpinCtrlDbl::OnSetFocus)
    EVT_KILL_FOCUS(wxSpinCtrlDbl::OnKillFocus)
    EVT_SIZE(wxSpinCtrlDbl::OnSize)
wxEND_EVENT_TABLE()

wxSpinCtrlDbl::wxSpinCtrlDbl() = default;

wxSpinCtrlDbl::wxSpinCtrlDbl(wxWindow* parent, wxWindowID id, const wxString& value_text,
                             const wxPoint& pos, const wxSize& size, long style, int min, int max,
                             int initial, const wxString& name) {
    Create(parent, id, value_text, pos, size, style, min, max, initial, 1.0, -1, name);
}

wxSpinCtrlDbl::~wxSpinCtrlDbl() {
    if (text_ctrl) {
        text_ctrl->owner = nullptr;
        delete text_ctrl;
        text_ctrl = nullptr;
    }
}

bool wxSpinCtrlDbl::Create(wxWindow* parent, wxWindowID id, const wxString& value_text,
                           const wxPoint& pos, const wxSize& size, long style, double min,
                           double max, double initial, double inc, int n_digits,
                           const wxString& name) {
    if (!wxControl::Create(parent, id, pos, size, style | wxNO_BORDER, wxDefaultValidator, name))
        return false;
    wxControl::SetBackgroundColour(parent->GetBackgroundColour());
    wxControl::SetForegroundColour(parent->GetForegroundColour());

    wxSize full = size;
    const wxSize best = spin_best_size(parent);
    if (full.x < 0)
        full.x = best.x;
    if (full.y < 0)
        full.y = best.y;

    wxTextValidator filter(wxFILTER_INCLUDE_CHAR_LIST);
    // Both separators pass, so that a comma is read or refused, never lost.
    filter.SetCharIncludes(" 0123456789+-.,eE");

    spin_button = new wxSpinButton(this, id, wxPoint(0, 0), wxSize(-1, full.y),
                                   wxSP_VERTICAL | wxSP_ARROW_KEYS | wxSP_WRAP, "wxSpinButton");
    // GTK tells up from down by the change of the button's position, which a
    // wrap would invert: give it a range no one clicks through.
    spin_button->SetRange(-1000000, 1000000);
    spin_button->SetValue(0);
    // The arrows are for the mouse; the keyboard steps in the text. Tab from
    // the text must reach the next control, not the arrows.
    spin_button->SetCanFocus(false);

    const int arrow_width = spin_button->GetSize().x;
    text_ctrl = new wxSpinCtrlDblTextCtrl(this, wxID_ANY, value_text, wxPoint(0, 0),
                                          wxSize(std::max(full.x - arrow_width, 1), full.y),
                                          wxTE_PROCESS_ENTER | wxTE_NOHIDESEL, filter, "text");

    DoLayout(full);
    SetSize(full);
    CacheBestSize(full);

    decimal_separator = users_decimal_separator();
    min_value = min;
    max_value = max;
    value = default_value = initial;
    increment = inc;
    SetDigits(n_digits, FORMAT_GENERAL);

    text_ctrl->ChangeValue(value_text.empty() ? format_number(text_format, initial) : value_text);
    text_ctrl->SetModified(false);
    return true;
}

wxSize wxSpinCtrlDbl::DoGetBestSize() const {
    return spin_best_size(GetParent());
}

void wxSpinCtrlDbl::DoLayout(const wxSize& size) {
    const wxSize best = spin_best_size(GetParent());
    const int width = size.x < 0 ? best.x : size.x;
    const int height = size.y < 0 ? best.y : size.y;
    const int arrow_width = spin_button ? spin_button->GetSize().x : 15;
    if (text_ctrl)
        text_ctrl->SetSize(0, 0, std::max(width - arrow_width, 1), height);
    if (spin_button)
        spin_button->SetSize(width - arrow_width, 0, arrow_width, height);
}

void wxSpinCtrlDbl::OnSize(wxSizeEvent& event) {
    DoLayout(event.GetSize());
    event.Skip();
}

void wxSpinCtrlDbl::SetDigits(int n, FormatKind kind) {
    digits = n;
    if (n < 0) {
        text_format = kind == FORMAT_FIXED ? "%lf" : kind == FORMAT_EXPONENT ? "%le" : "%lg";
    } else {
        const char* pattern = kind == FORMAT_FIXED      ? "%%.%dlf"
                              : kind == FORMAT_EXPONENT ? "%%.%dle"
                                                        : "%%.%dlg";
        text_format = wxString::Format(pattern, n);
    }
    SetValue(value);
}

bool wxSpinCtrlDbl::HasRange() const {
    return min_value <= max_value;
}

bool wxSpinCtrlDbl::InRange(double x) const {
    return !HasRange() || (min_value <= x && x <= max_value);
}

void wxSpinCtrlDbl::SetValue(double x) {
    if (!text_ctrl || !InRange(x))
        return;
    const wxString shown = format_number(text_format, x);
    if (x != value || shown != text_ctrl->GetValue()) {
        text_ctrl->ChangeValue(shown);
        text_ctrl->SetModified(false);
        value = x;
        // The value is what the user sees, after the format's rounding.
        read_number(shown, &value, false);
    }
}

void wxSpinCtrlDbl::SetValue(const wxString& text, bool force) {
    double x;
    if (read_number(text, &x, true)) {
        SetValue(x);
    } else if (force && text_ctrl) {
        text_ctrl->ChangeValue(text);
        text_ctrl->SetModified(false);
    }
}

void wxSpinCtrlDbl::SetValue(const wxString& text) {
    if (!text_ctrl || text == text_ctrl->GetValue())
        return;
    text_ctrl->ChangeValue(text);
    text_ctrl->SetModified(false);
    read_number(text, &value, false);
    SendUpdate();
}

void wxSpinCtrlDbl::SetRange(double min, double max) {
    min_value = min;
    max_value = max;
    if (HasRange() && value > max_value)
        SetValue(max_value);
    else if (value < min_value)
        SetValue(min_value);
}

void wxSpinCtrlDbl::SetIncrement(double inc) {
    increment = inc;
    SetValue(value);
}

void wxSpinCtrlDbl::ResetToDefault() {
    SetValue(default_value);
}

bool wxSpinCtrlDbl::Read(const wxString& text, double* x) const {
    return read_number(text, x, true, decimal_separator);
}

void wxSpinCtrlDbl::SendCorrected(const wxString& why) {
    wxCommandEvent event(wxEVT_SPINCTRLDBL_CORRECTED, GetId());
    event.SetEventObject(this);
    event.SetString(why);
    GetEventHandler()->ProcessEvent(event);
}

void wxSpinCtrlDbl::SyncSpinToText(bool send_event, bool force_valid) {
    if (!text_ctrl)
        return;
    const wxString typed = text_ctrl->GetValue();
    double x;
    if (Read(typed, &x)) {
        wxString why;
        if (force_valid && HasRange() && !InRange(x)) {
            const double limit = std::clamp(x, min_value, max_value);
            why =
                wxString::Format(x > max_value ? _("%s is above the largest value: %s is taken.")
                                               : _("%s is below the smallest value: %s is taken."),
                                 typed.Strip(wxString::both), format_number(text_format, limit));
            x = limit;
        } else if (!force_valid && !InRange(x)) {
            return;
        }
        if (x != value) {
            SetValue(x);
            if (send_event)
                SendUpdate();
        } else {
            SetValue(value); // the text shows the value in the control's format
        }
        if (!why.empty())
            SendCorrected(why);
    } else if (force_valid) {
        SetValue(value);
        const wxString trimmed = typed.Strip(wxString::both);
        const wxString kept = format_number(text_format, value);
        if (trimmed.empty())
            SendCorrected(wxString::Format(_("An empty field is no number: %s is kept."), kept));
        else
            SendCorrected(wxString::Format(
                _("\"%s\" is not a number (the decimal separator is '%s'): %s is kept."), trimmed,
                wxString(decimal_separator), kept));
    }
}

void wxSpinCtrlDbl::SendUpdate() {
    const long insertion = text_ctrl ? text_ctrl->GetInsertionPoint() : 0;
    const wxString text = text_ctrl ? text_ctrl->GetValue() : wxString();

    double rounded = value + 0.5;
    if (std::isnan(rounded))
        rounded = 0;
    rounded = std::clamp(rounded, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX));
    wxSpinEvent event(wxEVT_SPINCTRL, GetId());
    event.SetEventObject(this);
    event.SetInt(static_cast<int>(rounded));
    event.SetString(text);
    GetEventHandler()->ProcessEvent(event);

    // Whatever a handler did to the text, the control keeps showing its value.
    if (text_ctrl) {
        if (text_ctrl->GetValue() != text)
            text_ctrl->ChangeValue(text);
        if (text_ctrl->GetInsertionPoint() != insertion)
            text_ctrl->SetInsertionPoint(insertion);
    }
}

void wxSpinCtrlDbl::OnSpinUp(wxSpinEvent&) {
    if (text_ctrl && text_ctrl->IsModified())
        SyncSpinToText(false, true);
    if (InRange(value + increment)) {
        value += increment;
        SetValue(value);
        SendUpdate();
        if (text_ctrl)
            text_ctrl->SetInsertionPointEnd();
    }
}

void wxSpinCtrlDbl::OnSpinDown(wxSpinEvent&) {
    if (text_ctrl && text_ctrl->IsModified())
        SyncSpinToText(false, true);
    if (InRange(value - increment)) {
        value -= increment;
        SetValue(value);
        SendUpdate();
        if (text_ctrl)
            text_ctrl->SetInsertionPointEnd();
    }
}

void wxSpinCtrlDbl::OnTextUpdated(wxCommandEvent& event) {
    if (text_ctrl && event.GetEventObject() == text_ctrl && text_ctrl->IsModified()) {
        // The value follows the typing wherever the text is a number in the
        // range; a text half typed ("", "-", "1e") or outside the range keeps
        // the last value until Enter brings the text in line.
        double x;
        if (Read(text_ctrl->GetValue(), &x) && InRange(x)) {
            value = x;
            SendUpdate();
        }
    }
    event.Skip();
}

void wxSpinCtrlDbl::OnTextEnter(wxCommandEvent& event) {
    SyncSpinToText(true, true);
    event.Skip();
}

void wxSpinCtrlDbl::OnKillFocus(wxFocusEvent& event) {
    SyncSpinToText(true, true);
    event.Skip();
}

void wxSpinCtrlDbl::OnSetFocus(wxFocusEvent& event) {
    if (text_ctrl)
        text_ctrl->SetFocus();
    event.Skip();
}

void wxSpinCtrlDbl::Step(double delta) {
    // A step that would leave the range is refused by SetValue; the owner
    // still hears about the key.
    SetValue(value + delta);
    SendUpdate();
}

void wxSpinCtrlDbl::OnChar(wxKeyEvent& event) {
    double m = event.ShiftDown() ? 2 : 1;
    if (event.ControlDown())
        m *= 10;
    if (event.AltDown())
        m *= 100;

    const int key = event.GetKeyCode();
    const bool up = key == WXK_UP || key == WXK_NUMPAD_UP;
    const bool down = key == WXK_DOWN || key == WXK_NUMPAD_DOWN;
    const bool page_up = key == WXK_PAGEUP || key == WXK_NUMPAD_PAGEUP;
    const bool page_down = key == WXK_PAGEDOWN || key == WXK_NUMPAD_PAGEDOWN;
    if ((up || down || page_up || page_down) && text_ctrl && text_ctrl->IsModified())
        SyncSpinToText(false, true);

    if (up) {
        Step(increment * m);
    } else if (down) {
        Step(-increment * m);
    } else if (page_up) {
        Step(10 * increment * m);
    } else if (page_down) {
        Step(-10 * increment * m);
    } else if (key == WXK_TAB) {
        navigate_from(this, !event.ShiftDown(), event.ControlDown());
    } else if (key == WXK_ESCAPE) {
        ResetToDefault();
        SendUpdate();
    } else if (key == WXK_SPACE) {
        SetValue(value);
    } else {
        event.Skip();
    }
}

bool wxSpinCtrlDbl::SetBackgroundColour(const wxColour& colour) {
    const bool changed = wxControl::SetBackgroundColour(colour);
    if (text_ctrl) {
        text_ctrl->SetBackgroundColour(colour);
        text_ctrl->Refresh();
    }
    return changed;
}

bool wxSpinCtrlDbl::SetForegroundColour(const wxColour& colour) {
    const bool changed = wxControl::SetForegroundColour(colour);
    if (text_ctrl) {
        text_ctrl->SetForegroundColour(colour);
        text_ctrl->Refresh();
    }
    return changed;
}

bool wxSpinCtrlDbl::SetFont(const wxFont& font) {
    const bool changed = wxControl::SetFont(font);
    if (text_ctrl) {
        text_ctrl->SetFont(font);
        text_ctrl->Refresh();
    }
    return changed;
}
