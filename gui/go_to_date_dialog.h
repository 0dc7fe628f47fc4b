// "Go to date...": a day and a time of day (UTC) at which the system is
// built anew.
#pragma once

#include <wx/dialog.h>

class wxDateGenericCtrl;
class wxStaticText;
class wxTextCtrl;

class GoToDateDialog : public wxDialog {
public:
    // Opens on the day and time of jd.
    GoToDateDialog(wxWindow* parent, double jd);

    wxDateGenericCtrl* GetDateCtrl() const { return date; }
    wxTextCtrl* GetTimeCtrl() const { return time; }
    // The chosen instant as a JD; false with the reason when the time of
    // day is not HH:MM or HH:MM:SS within the day.
    bool GetJd(double& jd, wxString& error) const;

private:
    void OnOk(wxCommandEvent& event);

    wxDateGenericCtrl* date = nullptr;
    wxTextCtrl* time = nullptr;
    wxStaticText* problem = nullptr;
};

// Hours, minutes and seconds of "HH:MM" or "HH:MM:SS" (blanks around
// allowed); false for anything else or a time outside 00:00:00..23:59:59.
bool parse_time_of_day(const wxString& text, int& hour, int& minute, int& second);
