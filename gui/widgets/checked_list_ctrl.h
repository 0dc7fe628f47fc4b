// A report-mode list control with a check box image in front of every row and
// a per-row enabled flag.
#pragma once

#include <string>
#include <vector>

#include <wx/imaglist.h>
#include <wx/listctrl.h>

// Posted (not sent) when a click checks or unchecks a row; the event's index
// is the row.
wxDECLARE_EVENT(ITEM_CHECKED_EVENT, wxListEvent);
wxDECLARE_EVENT(ITEM_UNCHECKED_EVENT, wxListEvent);

// With wxLC_VIRTUAL in its style the control keeps the rows itself (texts,
// item data and the extra bits) and the toolkit only draws the rows in view.
// The toolkit measures every text put into a stored row, which makes tens of
// thousands of rows take seconds; kept rows go in and sort in milliseconds.
// Kept rows have no text colour or font of their own.
//
// Kept rows can be filtered: an item is a row as shown (what the toolkit's
// index-based calls name), a row is one of all the rows kept, shown or not.
// Without a filter both count alike. Hidden rows keep their states, data and
// place in the order; a sort orders all of them.
class wxCheckedListCtrl : public wxListCtrl {
public:
    // Extra state bits of a row, kept beside the toolkit's own state.
    static constexpr int STATE_CHECKED = 0x10000;
    static constexpr int STATE_ENABLED = 0x100000;

    // Window style: a click anywhere on a row toggles it, not only on the box.
    // The bit is shared with wxFULL_REPAINT_ON_RESIZE, which does no harm here.
    static constexpr long CHECK_ON_ROW_CLICK = 0x10000;

    // Image numbers of the four boxes in the small-image list.
    enum BoxImage { BOX_EMPTY = 0, BOX_CHECKED = 1, BOX_EMPTY_GREY = 2, BOX_CHECKED_GREY = 3 };

    wxCheckedListCtrl(wxWindow* parent, wxWindowID id = wxID_ANY,
                      const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
                      long style = wxLC_REPORT, const wxValidator& validator = wxDefaultValidator,
                      const wxString& name = wxListCtrlNameStr);
    virtual ~wxCheckedListCtrl();

    long InsertItem(wxListItem& info);
    long InsertItem(long index, const wxString& label);

    bool SetItem(wxListItem& info);
    // The toolkit's image argument is ignored: the box image stays.
    bool SetItem(long index, int column, const wxString& label, int imageId = -1);
    bool GetItem(wxListItem& info) const;

    bool SetItemState(long index, long state, long stateMask);
    // state & stateMask, or -1 if the row cannot be read.
    int GetItemState(long index, long stateMask) const;

    void Check(long index, bool on);
    // Every row, hidden ones too.
    void CheckAll(bool on);
    // The rows shown only.
    void CheckShown(bool on);
    bool IsChecked(long index) const;
    bool IsItemEnabled(long index) const;

    bool DeleteItem(long index);
    bool DeleteAllItems();
    bool ClearAll();
    // Sorting moves the rows' images with them; the extra bits follow. Kept
    // rows sort stably: rows that compare equal keep their order.
    bool SortItems(wxListCtrlCompare fn, wxIntPtr data);

    // The rows are kept by the control (wxLC_VIRTUAL), not by the toolkit.
    bool KeepsRows() const { return HasFlag(wxLC_VIRTUAL); }
    wxString GetItemText(long index, int column = 0) const;
    wxUIntPtr GetItemData(long index) const;
    bool SetItemData(long index, long data) { return SetItemPtrData(index, data); }
    bool SetItemPtrData(long index, wxUIntPtr data);

    // Shows only the kept rows whose first-column text contains text, case
    // and blanks (spaces, tabs, underscores) ignored; an empty text shows all.
    // Sorting keeps the filter; clearing the list drops it, and a row
    // inserted while it is on is shown until the next filtering. False with
    // rows stored by the toolkit, which are never filtered.
    bool SetFilterText(const wxString& text);
    const wxString& GetFilterText() const { return filter_text; }
    // What the filter compares: text folded to lower case without blanks.
    static std::string FilterKey(const wxString& text);

    // All rows, shown or hidden, in their order.
    long GetRowCount() const { return static_cast<long>(state_list.size()); }
    long GetCheckedRowCount() const;
    bool IsRowChecked(long row) const;
    wxUIntPtr GetRowData(long row) const;
    // Deletes a row whether it is shown or not.
    bool DeleteRow(long row);

    static int ImageForState(int bits);
    wxColour BackgroundForState(int bits) const;

protected:
    void OnLeftDown(wxMouseEvent& event);

    // What the toolkit draws of a kept row.
    wxString OnGetItemText(long item, long column) const override;
    int OnGetItemImage(long item) const override;
    wxItemAttr* OnGetItemAttr(long item) const override;

private:
    struct KeptRow {
        std::vector<wxString> texts; // by column; missing ones are empty
        std::string key;             // FilterKey of the first column
        wxUIntPtr data = 0;
        const wxString& text(long column) const;
        void set_text(long column, const wxString& text);
    };
    long InsertKeptRow(const wxListItem& info, int extra);
    void GetKeptItem(wxListItem& info) const;

    // Removes the extra bits from *state and returns those also named in mask.
    static int TakeExtraState(long* state, long mask);
    // Whether index names an item shown, and the row it shows.
    bool IsRow(long index) const { return index >= 0 && index < ShownCount(); }
    long RowOf(long index) const { return filtered ? shown[index] : index; }
    long ShownCount() const {
        return filtered ? static_cast<long>(shown.size()) : static_cast<long>(state_list.size());
    }
    // Recomputes the rows shown from the filter text.
    void Refilter();
    // Selection and focus name items by index: once the items shown change
    // they would point at other rows.
    void DropSelection();

    std::vector<int> state_list;
    std::vector<KeptRow> kept_rows; // with wxLC_VIRTUAL only
    wxString filter_text;
    bool filtered = false;
    std::vector<long> shown;           // the rows shown, in order, while filtered
    mutable wxItemAttr kept_attr;      // handed to the toolkit for one row at a time
    wxImageList* image_list = nullptr; // owned by the list (assigned)

    wxDECLARE_EVENT_TABLE();
};
