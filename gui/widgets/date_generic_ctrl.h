// A date control: a year spin control, a month choice and a day choice side
// by side; the date is read at midnight local time.
#pragma once

#include <wx/datetime.h>
#include <wx/panel.h>
#include <wx/spinctrl.h>

class wxChoiceWx;

class wxDateGenericCtrl : public wxPanel {
public:
    wxDateGenericCtrl(wxWindow* parent, wxWindowID id = wxID_ANY,
                      const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                      long style = wxTAB_TRAVERSAL, const wxString& name = "wxDateGenericCtrl");
    virtual ~wxDateGenericCtrl();

    // Never fails: the day is clamped to the month's length (as the day
    // choice shows once the user has changed any part) and a missing month
    // counts as January.
    wxDateTime GetDate() const;
    void SetDate(const wxDateTime& date);
    // Limits the years only; months and days are free.
    void SetYearRange(const wxDateTime& first, const wxDateTime& last);

    wxSpinCtrl* GetYearSpin() const { return year_spin; }
    wxChoiceWx* GetMonthChoice() const { return month_choice; }
    wxChoiceWx* GetDayChoice() const { return day_choice; }

    // Moves a day beyond the chosen month's end (31 February) to its last
    // day, in the day choice itself.
    void FitDayToMonth();

private:
    wxSpinCtrl* year_spin = nullptr;
    wxChoiceWx* month_choice = nullptr;
    wxChoiceWx* day_choice = nullptr;
};
