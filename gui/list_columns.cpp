#include "gui/list_columns.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/intl.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include "gui/widgets/checked_list_ctrl.h"

namespace {

// Room the list's header and cells leave around a text: the header's
// button padding and sort arrow, a cell's margins.
const int HEADING_MARGIN = 28;
const int CELL_MARGIN = 12;
// The box image in front of every first-column text, and its gap.
const int BOX_WIDTH = 16 + 5;
const std::size_t MEASURED_TEXTS = 8;
const int MINIMUM_LIST_WIDTH = 620;

} // namespace

void insert_columns(wxListCtrl* list, const std::vector<ListColumn>& columns) {
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const wxString heading = wxGetTranslation(columns[k].heading);
        const int width =
            std::max(columns[k].width, list->GetTextExtent(heading).x + HEADING_MARGIN);
        list->InsertColumn(static_cast<long>(k), heading, columns[k].format, width);
    }
}

void LongestTexts::offer(const wxString& text) {
    if (texts_.size() == MEASURED_TEXTS && text.length() <= texts_.back().length())
        return;
    const auto at = std::find_if(texts_.begin(), texts_.end(),
                                 [&](const wxString& t) { return t.length() < text.length(); });
    texts_.insert(at, text);
    if (texts_.size() > MEASURED_TEXTS)
        texts_.pop_back();
}

void fit_columns(wxListCtrl* list, const LongestTexts& names) {
    if (list->GetColumnCount() == 0)
        return;
    int first = list->GetColumnWidth(0);
    for (const wxString& name : names.texts())
        first = std::max(first, list->GetTextExtent(name).x + BOX_WIDTH + CELL_MARGIN);
    list->SetColumnWidth(0, first);

    int total = 0;
    for (int col = 0; col < list->GetColumnCount(); ++col)
        total += list->GetColumnWidth(col);
    // The vertical scroll bar and the frame take their share too.
    const int scroll_bar = std::max(16, wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, list));
    const int needed = std::max(MINIMUM_LIST_WIDTH, total + scroll_bar + 8);
    const wxSize least(needed, list->GetMinSize().y);
    if (least.x <= list->GetMinSize().x)
        return;
    list->SetMinSize(least);
    list->InvalidateBestSize();
    // Grow the window (never shrink it) so that the new least size fits.
    wxWindow* top = wxGetTopLevelParent(list);
    if (top && top->GetSizer()) {
        top->InvalidateBestSize();
        const wxSize best = top->GetBestSize();
        const wxSize now = top->GetSize();
        top->SetMinSize(wxDefaultSize);
        top->GetSizer()->SetSizeHints(top);
        if (best.x > now.x || best.y > now.y)
            top->SetSize(std::max(best.x, now.x), std::max(best.y, now.y));
        top->Layout();
    }
}

wxString grouped_count(long n) {
    const wxString digits = wxString::Format("%ld", n < 0 ? -n : n);
    wxString out;
    for (std::size_t k = 0; k < digits.length(); ++k) {
        if (k > 0 && (digits.length() - k) % 3 == 0)
            out += ',';
        out += digits[k];
    }
    return n < 0 ? "-" + out : out;
}

wxString count_line_text(long shown, long total, long checked) {
    return wxString::Format(_("%s of %s shown %s %s checked"), grouped_count(shown),
                            grouped_count(total), wxString(wxUniChar(0x00B7)),
                            grouped_count(checked));
}

void show_count(const ListPageLayout& layout) {
    const wxCheckedListCtrl* list = layout.list;
    layout.count->SetLabel(
        count_line_text(list->GetItemCount(), list->GetRowCount(), list->GetCheckedRowCount()));
}

ListPageLayout lay_out_list_page(wxWindow* page, const wxString& instruction,
                                 const wxString& message, bool bottom) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    const int under = bottom ? wxBOTTOM : 0;

    auto* top = new wxBoxSizer(wxHORIZONTAL);
    auto* instruction_text = new wxStaticText(page, wxID_ANY, instruction);
    top->Add(instruction_text, 1, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    column->Add(top, 0, wxLEFT | wxRIGHT | wxTOP | wxEXPAND, 5);

    auto* search = new wxBoxSizer(wxHORIZONTAL);
    auto* filter_label = new wxStaticText(page, wxID_ANY, _("Filter"));
    search->Add(filter_label, 0, wxLEFT | wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    auto* filter = new wxTextCtrl(page, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                  0, wxDefaultValidator, "filter");
    filter->SetHint(_("Part of a name or designation"));
    search->Add(filter, 1, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    column->Add(search, 0, wxLEFT | wxRIGHT | wxEXPAND, 5);

    auto* middle = new wxBoxSizer(wxHORIZONTAL);
    auto* list = new wxCheckedListCtrl(page, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                       wxLC_REPORT | wxLC_VIRTUAL);
    list->SetMinSize(wxSize(620, 300));
    middle->Add(list, 1, wxALL | wxEXPAND, 5);
    column->Add(middle, 1, wxLEFT | wxRIGHT | wxEXPAND, 5);

    auto* counts = new wxBoxSizer(wxHORIZONTAL);
    auto* count = new wxStaticText(page, wxID_ANY, count_line_text(0, 0, 0));
    counts->Add(count, 1, wxLEFT | wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    auto* check_shown = new wxButton(page, wxID_ANY, _("Check all shown"));
    counts->Add(check_shown, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    auto* uncheck_all = new wxButton(page, wxID_ANY, _("Uncheck all"));
    counts->Add(uncheck_all, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    column->Add(counts, 0, wxLEFT | wxRIGHT | wxBOTTOM | wxEXPAND, 5);

    auto* message_row = new wxBoxSizer(wxHORIZONTAL);
    auto* message_label = new wxStaticText(page, wxID_ANY, message);
    message_label->SetFont(
        wxFont(10, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD, false, ""));
    message_row->Add(message_label, 1, wxRIGHT | wxALIGN_CENTER_VERTICAL, 5);
    column->Add(message_row, 0, wxLEFT | wxRIGHT | under | wxEXPAND, 5);

    page->SetSizer(column);
    column->Fit(page);
    column->SetSizeHints(page);
    const ListPageLayout layout{instruction_text, filter,      list,          count,
                                check_shown,      uncheck_all, message_label, message_row};

    // Every keystroke filters at once: a pass over the rows' keys takes a
    // few milliseconds even for tens of thousands of rows.
    filter->Bind(wxEVT_TEXT, [layout](wxCommandEvent&) {
        layout.list->SetFilterText(layout.filter->GetValue());
        show_count(layout);
    });
    check_shown->Bind(wxEVT_BUTTON, [layout](wxCommandEvent&) {
        layout.list->CheckShown(true);
        show_count(layout);
    });
    uncheck_all->Bind(wxEVT_BUTTON, [layout](wxCommandEvent&) {
        layout.list->CheckAll(false);
        show_count(layout);
    });
    auto recount = [layout](wxListEvent& event) {
        event.Skip();
        show_count(layout);
    };
    list->Bind(ITEM_CHECKED_EVENT, recount);
    list->Bind(ITEM_UNCHECKED_EVENT, recount);
    // Checks made otherwise (by the program, a refill) show once the toolkit
    // is idle: a count over the rows' bits costs microseconds.
    count->Bind(wxEVT_UPDATE_UI, [layout](wxUpdateUIEvent&) { show_count(layout); });
    return layout;
}
