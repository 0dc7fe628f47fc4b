#include "gui/approaches_dialog.h"

#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "gui/list_columns.h"
#include "gui/widgets/checked_list_ctrl.h"
#include "nbody/system.h"
#include "readers/approach_csv.h"
#include "readers/atomic_write.h"

namespace {

// The catalogue pages' list without the boxes: a pass is nothing to check.
class ApproachList : public wxCheckedListCtrl {
public:
    explicit ApproachList(wxWindow* parent)
        : wxCheckedListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                            wxLC_REPORT | wxLC_VIRTUAL, wxDefaultValidator, "approaches") {}

protected:
    int OnGetItemImage(long) const override { return -1; }
};

struct SortOrder {
    const std::vector<nbApproach>* events;
    int column;
    int sign;
};

int wxCALLBACK compare_events(wxIntPtr item1, wxIntPtr item2, wxIntPtr sort_data) {
    const SortOrder& order = *reinterpret_cast<const SortOrder*>(sort_data);
    const nbApproach &a = (*order.events)[item1], &b = (*order.events)[item2];
    switch (order.column) {
    case ApproachesDialog::OBJECT:
        return signed_order(a.object.compare(b.object), order.sign);
    case ApproachesDialog::WITH:
        return signed_order(a.with.compare(b.with), order.sign);
    case ApproachesDialog::DISTANCE_KM:
    case ApproachesDialog::DISTANCE_AU:
        return compare_sort_keys(a.distance, b.distance, order.sign);
    case ApproachesDialog::RADII:
        return compare_sort_keys(a.distance / a.with_radius, b.distance / b.with_radius,
                                 order.sign);
    case ApproachesDialog::SPEED:
        return compare_sort_keys(a.speed, b.speed, order.sign);
    default:
        return compare_sort_keys(a.jd, b.jd, order.sign);
    }
}

} // namespace

ApproachesDialog::ApproachesDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, _("Close approaches"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "approaches_dialog") {
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(new wxStaticText(this, wxID_ANY,
                                 _("Passes of comets and asteroids by the Sun, the planets, "
                                   "the Moon and Pluto, newest first. Click a heading to sort.")),
                0, wxALL | wxEXPAND, 10);
    auto* search = new wxBoxSizer(wxHORIZONTAL);
    search->Add(new wxStaticText(this, wxID_ANY, _("Filter")), 0,
                wxLEFT | wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    filter = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "filter");
    filter->SetHint(_("Part of a name or designation"));
    search->Add(filter, 1, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    column->Add(search, 0, wxLEFT | wxRIGHT | wxEXPAND, 5);

    list = new ApproachList(this);
    list->SetMinSize(wxSize(760, 260));
    insert_columns(list, {{wxTRANSLATE("Object"), wxLIST_FORMAT_LEFT, 150},
                          {wxTRANSLATE("Passed"), wxLIST_FORMAT_LEFT, 70},
                          {wxTRANSLATE("Time (UTC)"), wxLIST_FORMAT_LEFT, 150},
                          {wxTRANSLATE("Distance [km]"), wxLIST_FORMAT_RIGHT, 100},
                          {wxTRANSLATE("Distance [AU]"), wxLIST_FORMAT_RIGHT, 100},
                          {wxTRANSLATE("Radii"), wxLIST_FORMAT_RIGHT, 60},
                          {wxTRANSLATE("Speed [km/s]"), wxLIST_FORMAT_RIGHT, 90}});
    // Headings wider than their columns' widths in this font widen them:
    // the list is as wide as all of them from the start.
    fit_columns(list, LongestTexts());
    column->Add(list, 1, wxALL | wxEXPAND, 10);

    auto* bottom = new wxBoxSizer(wxHORIZONTAL);
    count = new wxStaticText(this, wxID_ANY, wxEmptyString);
    bottom->Add(count, 1, wxLEFT | wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    export_button = new wxButton(this, wxID_ANY, _("Export CSV..."));
    bottom->Add(export_button, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    bottom->Add(new wxButton(this, wxID_CLOSE, _("Close")), 0, wxALIGN_CENTER_VERTICAL);
    column->Add(bottom, 0, wxLEFT | wxRIGHT | wxBOTTOM | wxEXPAND, 10);
    SetSizerAndFit(column);
    SetEscapeId(wxID_CLOSE);

    filter->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
        list->SetFilterText(filter->GetValue());
        ShowCount();
    });
    list->Bind(wxEVT_LIST_COL_CLICK, &ApproachesDialog::OnColumnClick, this);
    export_button->Bind(wxEVT_BUTTON, &ApproachesDialog::OnExport, this);
    ShowCount();
}

void ApproachesDialog::Follow(const nbSystem* system) {
    if (!system) {
        if (!events.empty() || serial != 0) {
            events.clear();
            serial = 0;
            Fill();
        }
        return;
    }
    const nbApproachWatch& watch = system->approaches();
    // Events are only ever added while one watch lasts, though not always
    // at the end: their number tells whether anything came.
    if (watch.serial() == serial && watch.events().size() == events.size())
        return;
    serial = watch.serial();
    events = watch.events();
    Fill();
}

void ApproachesDialog::Fill() {
    list->DeleteAllItems();
    LongestTexts names;
    for (std::size_t k = 0; k < events.size(); ++k) {
        const nbApproach& e = events[k];
        const long row = list->InsertItem(list->GetItemCount(), name_text(e.object));
        list->SetItem(row, WITH, name_text(e.with));
        wxString utc = wxString::FromUTF8(jd_to_utc_text(e.jd));
        utc.Replace("T", " ");
        utc.Replace("Z", "");
        list->SetItem(row, DATE, utc);
        list->SetItem(row, DISTANCE_KM, number_text("%.0f", e.distance / 1000));
        list->SetItem(row, DISTANCE_AU, number_text("%.6f", e.distance / ASTRONOMICAL_UNIT));
        list->SetItem(row, RADII, number_text("%.1f", e.distance / e.with_radius));
        list->SetItem(row, SPEED, number_text("%.2f", e.speed / 1000));
        list->SetItemPtrData(row, k);
        names.offer(name_text(e.object));
    }
    // Clearing the list dropped the filter; the box still holds it.
    list->SetFilterText(filter->GetValue());
    Sort();
    if (!events.empty())
        fit_columns(list, names);
    ShowCount();
}

void ApproachesDialog::SortBy(int column) {
    if (column < 0 || column >= COLUMNS)
        return;
    sort_ascending = column == sort_column ? !sort_ascending : true;
    sort_column = column;
    Sort();
}

void ApproachesDialog::Sort() {
    SortOrder order{&events, sort_column, sort_ascending ? 1 : -1};
    list->SortItems(compare_events, reinterpret_cast<wxIntPtr>(&order));
    list->Refresh();
}

void ApproachesDialog::ShowCount() {
    const long total = list->GetRowCount(), shown = list->GetItemCount();
    count->SetLabel(total == shown ? wxString::Format(_("%s passes"), grouped_count(total))
                                   : wxString::Format(_("%s of %s passes shown"),
                                                      grouped_count(shown), grouped_count(total)));
    export_button->Enable(total > 0);
}

void ApproachesDialog::OnColumnClick(wxListEvent& event) {
    SortBy(event.GetColumn());
}

bool ApproachesDialog::ExportCsv(const wxString& path, wxString& error) const {
    std::string reason;
    if (write_file_atomically(std::string(path.fn_str()), approaches_csv(events), reason))
        return true;
    error = wxString::FromUTF8(reason);
    return false;
}

void ApproachesDialog::OnExport(wxCommandEvent&) {
    wxFileDialog save(this, _("Export close approaches"), wxEmptyString, "approaches.csv",
                      _("CSV files (*.csv)|*.csv|All files|*"), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (save.ShowModal() != wxID_OK)
        return;
    wxString error;
    if (!ExportCsv(save.GetPath(), error))
        wxMessageBox(wxString::Format(_("Cannot write '%s': %s"), save.GetPath(), error),
                     _("Export CSV"), wxOK | wxICON_ERROR, this);
}
