// A spin control for floating-point values: a text control and an arrow
// button, with a range, an increment, a printf format for the shown text,
// keyboard stepping and the toolkit's spin-control-updated notification.
#pragma once

#include <wx/control.h>
#include <wx/spinbutt.h>
#include <wx/spinctrl.h> // wxEVT_SPINCTRL, the notification
#include <wx/textctrl.h>

class wxSpinCtrlDbl;

// Sent when Enter or leaving the text did not take the text as it stood: a
// number outside the range was brought into it, or a text that is no number
// gave way to the last value. The event's string says which, in words.
wxDECLARE_EVENT(wxEVT_SPINCTRLDBL_CORRECTED, wxCommandEvent);

// The text part of a wxSpinCtrlDbl; its keys go to the owner.
class wxSpinCtrlDblTextCtrl : public wxTextCtrl {
public:
    wxSpinCtrlDblTextCtrl(wxSpinCtrlDbl* owner, wxWindowID id, const wxString& value,
                          const wxPoint& pos, const wxSize& size, long style,
                          const wxValidator& validator, const wxString& name);
    virtual ~wxSpinCtrlDblTextCtrl();

    wxSpinCtrlDbl* owner; // not owning

private:
    void OnChar(wxKeyEvent& event);
    void OnKillFocus(wxFocusEvent& event);

    wxDECLARE_EVENT_TABLE();
};

class wxSpinCtrlDbl : public wxControl {
public:
    enum FormatKind { FORMAT_FIXED, FORMAT_EXPONENT, FORMAT_GENERAL };

    wxSpinCtrlDbl();
    wxSpinCtrlDbl(wxWindow* parent, wxWindowID id, const wxString& value = wxEmptyString,
                  const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                  long style = 0, int min = 0, int max = 100, int initial = 0,
                  const wxString& name = "wxSpinCtrlDbl");
    virtual ~wxSpinCtrlDbl();

    bool Create(wxWindow* parent, wxWindowID id, const wxString& value, const wxPoint& pos,
                const wxSize& size, long style, double min, double max, double initial,
                double increment, int digits, const wxString& name);

    double GetValue() const { return value; }
    double GetMin() const { return min_value; }
    double GetMax() const { return max_value; }
    double GetIncrement() const { return increment; }
    double GetDefaultValue() const { return default_value; }
    int GetDigits() const { return digits; }
    const wxString& GetFormat() const { return text_format; }
    wxSpinCtrlDblTextCtrl* GetTextCtrl() const { return text_ctrl; }
    wxSpinButton* GetSpinButton() const { return spin_button; }

    // Shows text if it reads as a number (then as that number), or if force.
    virtual void SetValue(const wxString& text, bool force);
    // The central setter: refuses values outside the range, never notifies.
    virtual void SetValue(double x);
    // Shows text as it is, takes its number and notifies.
    virtual void SetValue(const wxString& text);
    virtual void ResetToDefault();
    virtual bool HasRange() const;
    virtual bool InRange(double x) const;
    // Takes the number from the text, clamping it with force_valid.
    virtual void SyncSpinToText(bool send_event = true, bool force_valid = true);

    // The decimal separator read besides '.': the user's locale's by
    // default. Any other separator makes the text no number, so that "0,5"
    // is never read as 5 or 0.
    void SetDecimalSeparator(wxUniChar separator) { decimal_separator = separator; }
    wxUniChar GetDecimalSeparator() const { return decimal_separator; }

    void SetRange(double min, double max);
    void SetIncrement(double inc);
    void SetDigits(int n, FormatKind kind = FORMAT_GENERAL);
    void SendUpdate();

    bool SetBackgroundColour(const wxColour& colour) override;
    bool SetForegroundColour(const wxColour& colour) override;
    bool SetFont(const wxFont& font) override;

protected:
    wxSize DoGetBestSize() const override;

    void OnSpinUp(wxSpinEvent& event);
    void OnSpinDown(wxSpinEvent& event);
    void OnTextUpdated(wxCommandEvent& event);
    void OnTextEnter(wxCommandEvent& event);
    void OnKillFocus(wxFocusEvent& event);
    void OnSetFocus(wxFocusEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnChar(wxKeyEvent& event);

private:
    friend class wxSpinCtrlDblTextCtrl;

    void DoLayout(const wxSize& size);
    bool Read(const wxString& text, double* x) const;
    void SendCorrected(const wxString& why);
    void Step(double delta);

    wxSpinButton* spin_button = nullptr;
    wxSpinCtrlDblTextCtrl* text_ctrl = nullptr;
    double min_value = 0;
    double max_value = 100;
    double value = 0;
    double default_value = 0;
    double increment = 1;
    int digits = -1;
    wxString text_format;
    wxUniChar decimal_separator = '.';

    wxDECLARE_EVENT_TABLE();
};
