#include "gui/widgets/date_generic_ctrl.h"

#include <wx/sizer.h>

#include "gui/widgets/choice_wx.h"

wxDateGenericCtrl::wxDateGenericCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                     const wxSize& size, long style, const wxString& name)
    : wxPanel(parent, id, pos, size, style, name) {
    const int third = size.x > 0 ? size.x / 3 : wxDefaultCoord;

    year_spin =
        new wxSpinCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition,
                       wxSize(third, wxDefaultCoord), wxSP_ARROW_KEYS, 0, 5000, 0, "wxSpinCtrl");
    year_spin->SetRange(0, 5000);
    // GTK's spin control draws its two buttons beside the number and cannot
    // be made narrower than they need: the year part may be wider than a third.
    if (third != wxDefaultCoord && year_spin->GetBestSize().x > third)
        year_spin->SetSize(year_spin->GetBestSize().x, wxDefaultCoord);
    year_spin->SetMinSize(year_spin->GetSize());

    static const wxString months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    month_choice = new wxChoiceWx(this, wxID_ANY, wxDefaultPosition, wxSize(third, wxDefaultCoord),
                                  12, months, 0, wxDefaultValidator, "comboBox");
    month_choice->SetVisibleRows(12);
    month_choice->SetSelection(0);

    wxString days[31];
    for (int d = 0; d < 31; ++d)
        days[d] = wxString::Format("%02d", d + 1);
    day_choice = new wxChoiceWx(this, wxID_ANY, wxDefaultPosition, wxSize(third, wxDefaultCoord),
                                31, days, 0, wxDefaultValidator, "comboBox");
    day_choice->SetVisibleRows(35);

    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(year_spin, 0, wxEXPAND, 0);
    sizer->Add(month_choice, 0, wxEXPAND, 0);
    sizer->Add(day_choice, 0, wxEXPAND, 0);

    SetDate(wxDateTime::Now());

    // A day the month has not (31 February) is corrected where the user
    // sees it, as soon as the day, the month or the year makes it so.
    auto fit = [this](wxEvent& event) {
        FitDayToMonth();
        event.Skip();
    };
    // The choices' notices come to their parent, this panel.
    Bind(wxEVT_COMBOBOX, fit, month_choice->GetId());
    Bind(wxEVT_COMBOBOX, fit, day_choice->GetId());
    Bind(wxEVT_SPINCTRL, fit, year_spin->GetId());

    SetSizer(sizer);
    sizer->Fit(this);
    sizer->SetSizeHints(this);
    Layout();
}

wxDateGenericCtrl::~wxDateGenericCtrl() = default;

wxDateTime wxDateGenericCtrl::GetDate() const {
    const int year = year_spin->GetValue();
    int month = month_choice->GetSelection();
    if (month < 0 || month > 11)
        month = 0;
    const auto m = static_cast<wxDateTime::Month>(month);
    // Without a day selection, the first of the month.
    int day = day_choice->GetSelection() + 1;
    if (day < 1)
        day = 1;
    const int length = wxDateTime::GetNumberOfDays(m, year, wxDateTime::Gregorian);
    if (day > length)
        day = length;
    return wxDateTime(static_cast<wxDateTime::wxDateTime_t>(day), m, year, 0, 0, 0, 0);
}

void wxDateGenericCtrl::FitDayToMonth() {
    const int month = month_choice->GetSelection();
    const int day = day_choice->GetSelection() + 1;
    if (month < 0 || month > 11 || day < 1)
        return;
    const int length = wxDateTime::GetNumberOfDays(static_cast<wxDateTime::Month>(month),
                                                   year_spin->GetValue(), wxDateTime::Gregorian);
    if (day > length)
        day_choice->SetSelection(length - 1);
}

void wxDateGenericCtrl::SetDate(const wxDateTime& date) {
    if (!date.IsValid())
        return;
    year_spin->SetValue(date.GetYear());
    month_choice->SetSelection(date.GetMonth());
    day_choice->SetSelection(date.GetDay() - 1);
}

void wxDateGenericCtrl::SetYearRange(const wxDateTime& first, const wxDateTime& last) {
    if (!first.IsValid() || !last.IsValid())
        return;
    year_spin->SetRange(first.GetYear(), last.GetYear());
    // Longer years (a minus sign, more digits) need a wider spin control.
    year_spin->InvalidateBestSize();
    const int needed = year_spin->GetBestSize().x;
    if (needed > year_spin->GetMinSize().x) {
        year_spin->SetMinSize(wxSize(needed, year_spin->GetMinSize().y));
        GetSizer()->SetSizeHints(this);
        Layout();
    }
}
