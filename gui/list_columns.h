// Helpers of the pages that list objects in sortable columns: the cell texts
// and the order of two rows.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <wx/listctrl.h>
#include <wx/string.h>

// A name from the simulation as text for a row: UTF-8 where it is valid,
// otherwise byte for byte as Latin-1, so that no name shows as empty.
inline wxString name_text(const std::string& name) {
    wxString text = wxString::FromUTF8(name.data(), name.size());
    if (text.empty() && !name.empty())
        text = wxString(name.data(), wxConvISO8859_1, name.size());
    return text;
}

// A number put through a printf format for one cell.
inline wxString number_text(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return wxString(buffer);
}

// One column of a page's list, with the least width it gets (pixels).
struct ListColumn {
    const char* heading; // untranslated
    wxListColumnFormat format;
    int width;
};

class wxButton;
class wxCheckedListCtrl;
class wxSizer;
class wxStaticText;
class wxTextCtrl;

// "38,012": the digits in groups of three, whatever the locale, as the
// count line writes them.
wxString grouped_count(long n);
// "1,234 of 38,012 shown · 12 checked".
wxString count_line_text(long shown, long total, long checked);

// The layout of a listing page: an instruction line, the "Filter" box, the
// checked list (keeping its rows itself, for thousands of them), the count
// line with "Check all shown" and "Uncheck all", and the bold message line
// in a row of its own that the page may add to, laid out on page. `bottom`
// adds a border under the list and the message. The filter box, the buttons
// and the rows' boxes are wired to the list and keep the count line
// current, and so does the toolkit's idle time after any other change.
struct ListPageLayout {
    wxStaticText* instruction;
    wxTextCtrl* filter;
    wxCheckedListCtrl* list;
    wxStaticText* count;
    wxButton* check_shown;
    wxButton* uncheck_all;
    wxStaticText* message;
    wxSizer* message_row;
};
ListPageLayout lay_out_list_page(wxWindow* page, const wxString& instruction,
                                 const wxString& message, bool bottom);
// The count line of the list as it stands.
void show_count(const ListPageLayout& layout);

// Inserts the columns, each at least wide enough for its whole heading.
void insert_columns(wxListCtrl* list, const std::vector<ListColumn>& columns);

// The few longest of many texts by length, to measure those alone.
class LongestTexts {
public:
    void offer(const wxString& text);
    const std::vector<wxString>& texts() const { return texts_; }

private:
    std::vector<wxString> texts_; // longest first
};

// Widens the first column for the longest names (box included), then makes
// the list wide enough to show all columns without scrolling sideways,
// growing its window if that is too narrow.
void fit_columns(wxListCtrl* list, const LongestTexts& names);

// The order of two numeric keys for a list sort: -sign if a goes first in
// ascending order, sign if b does, 0 for equal keys. The list sorts with
// std::sort, which needs a strict weak order: a callback that calls equal
// keys "less" (as answering "greater" does once the sign is negative) lets
// its partition run past the ends of the row array. Values that are not
// numbers count as equal to each other and greater than every number, for
// the same reason.
inline int compare_sort_keys(double a, double b, int sign) {
    const bool a_nan = std::isnan(a), b_nan = std::isnan(b);
    if (a_nan || b_nan)
        return a_nan == b_nan ? 0 : (a_nan ? sign : -sign);
    if (a < b)
        return -sign;
    if (b < a)
        return sign;
    return 0;
}

// The same for the result of a three-way comparison (negative, 0, positive).
inline int signed_order(int comparison, int sign) {
    if (comparison < 0)
        return -sign;
    if (comparison > 0)
        return sign;
    return 0;
}
