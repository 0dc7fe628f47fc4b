#include "gui/go_to_date_dialog.h"

#include <cmath>

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "datebridge/date_bridge.h"
#include "gui/widgets/date_generic_ctrl.h"
#include "nbody/parse_number.h"

bool parse_time_of_day(const wxString& text, int& hour, int& minute, int& second) {
    const wxString trimmed = wxString(text).Trim(true).Trim(false);
    wxArrayString parts = wxSplit(trimmed, ':', '\0');
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    int values[3] = {0, 0, 0};
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const std::string part = parts[k].utf8_string();
        // Two digits at most, no sign: "7" and "07" are both seven.
        if (part.empty() || part.size() > 2 ||
            part.find_first_not_of("0123456789") != std::string::npos ||
            !parse_int(part, values[k]))
            return false;
    }
    hour = values[0];
    minute = values[1];
    second = values[2];
    return hour <= 23 && minute <= 59 && second <= 59;
}

GoToDateDialog::GoToDateDialog(wxWindow* parent, double jd)
    : wxDialog(parent, wxID_ANY, "Go to date", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE, "GoToDate") {
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, 5, 5);
    grid->Add(new wxStaticText(this, wxID_ANY, "Date"), 0, wxALIGN_CENTER_VERTICAL);
    date = new wxDateGenericCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(200, -1));
    date->SetYearRange(wxDateTime(1, wxDateTime::Jan, -2999),
                       wxDateTime(31, wxDateTime::Dec, 2999));
    grid->Add(date);
    grid->Add(new wxStaticText(this, wxID_ANY, "Time (UTC)"), 0, wxALIGN_CENTER_VERTICAL);
    time = new wxTextCtrl(this, wxID_ANY, "00:00:00", wxDefaultPosition, wxDefaultSize, 0,
                          wxDefaultValidator, "time");
    time->SetHint("HH:MM:SS");
    grid->Add(time, 0, wxEXPAND);
    column->Add(grid, 0, wxALL, 10);
    problem = new wxStaticText(this, wxID_ANY, wxEmptyString);
    column->Add(problem, 0, wxLEFT | wxRIGHT | wxEXPAND, 10);
    column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxEXPAND, 10);
    SetSizerAndFit(column);

    // The nearest second, as the clock shows it.
    const wxDateTime at = jd_to_datetime(std::round(jd * 86400.0) / 86400.0);
    if (at.IsValid()) {
        date->SetDate(at);
        time->ChangeValue(at.Format("%H:%M:%S"));
    }
    Bind(wxEVT_BUTTON, &GoToDateDialog::OnOk, this, wxID_OK);
}

bool GoToDateDialog::GetJd(double& jd, wxString& error) const {
    int hour = 0, minute = 0, second = 0;
    if (!parse_time_of_day(time->GetValue(), hour, minute, second)) {
        error = "\"" + time->GetValue() +
                "\" is no time of day: write HH:MM or HH:MM:SS, "
                "from 00:00:00 to 23:59:59.";
        return false;
    }
    // The time of day is added to the day's JD, not set in the toolkit's
    // local time, where a summer-time change could move or drop it.
    jd = datetime_to_jd(date->GetDate()) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    return std::isfinite(jd);
}

void GoToDateDialog::OnOk(wxCommandEvent& event) {
    double jd = 0;
    wxString error;
    if (!GetJd(jd, error)) {
        // The dialog stays open on what was typed, saying why.
        problem->SetLabel(error);
        problem->Wrap(GetClientSize().x - 20);
        Fit();
        return;
    }
    event.Skip();
}
