#include "gui/widgets/checked_list_ctrl.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <locale>
#include <numeric>

#include <wx/bitmap.h>
#include <wx/image.h>

wxDEFINE_EVENT(ITEM_CHECKED_EVENT, wxListEvent);
wxDEFINE_EVENT(ITEM_UNCHECKED_EVENT, wxListEvent);

namespace {

constexpr int EXTRA_BITS = wxCheckedListCtrl::STATE_CHECKED | wxCheckedListCtrl::STATE_ENABLED;

// The colour behind the transparent border; it appears nowhere in a box.
const unsigned char MASK_R = 255, MASK_G = 0, MASK_B = 255;

void put(wxImage& image, int row, int column, const wxColour& c) {
    image.SetRGB(column, row, c.Red(), c.Green(), c.Blue());
}

// A 16 x 16 box, drawn pixel by pixel so that it looks the same on every
// platform and theme: a two-pixel transparent border, a sunken frame and,
// when checked, a tick.
wxBitmap box_bitmap(bool checked, bool enabled) {
    const wxColour grey(0x80, 0x80, 0x80), light(0xc0, 0xc0, 0xc0), black(0, 0, 0),
        white(0xff, 0xff, 0xff);
    wxImage image(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.SetRGB(x, y, MASK_R, MASK_G, MASK_B);
    image.SetMaskColour(MASK_R, MASK_G, MASK_B);

    for (int i = 2; i <= 13; ++i) {
        put(image, 13, i, light); // bottom edge
        put(image, i, 13, light); // right edge
    }
    for (int i = 2; i <= 12; ++i) {
        put(image, 2, i, grey); // top outer edge
        put(image, i, 2, grey); // left outer edge
    }
    for (int i = 3; i <= 12; ++i) {
        put(image, 3, i, black); // top inner edge
        put(image, i, 3, black); // left inner edge
    }
    for (int y = 4; y <= 12; ++y)
        for (int x = 4; x <= 12; ++x)
            put(image, y, x, enabled ? white : light);

    if (checked) {
        // Each run is (row, first column, last column).
        static const int tick[][3] = {{5, 11, 11}, {6, 10, 11}, {7, 5, 5},  {7, 9, 11}, {8, 5, 6},
                                      {8, 8, 10},  {9, 5, 9},   {10, 6, 8}, {11, 7, 7}};
        for (const auto& run : tick)
            for (int x = run[1]; x <= run[2]; ++x)
                put(image, run[0], x, enabled ? black : grey);
    }
    return wxBitmap(image);
}

} // namespace

wxBEGIN_EVENT_TABLE(wxCheckedListCtrl, wxListCtrl)
    // The list's inner window hands its mouse events to the control first.
    EVT_LEFT_DOWN(wxCheckedListCtrl::OnLeftDown)
wxEND_EVENT_TABLE()

wxCheckedListCtrl::wxCheckedListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                     const wxSize& size, long style, const wxValidator& validator,
                                     const wxString& name)
    : wxListCtrl(parent, id, pos, size, style, validator, name) {
    image_list = new wxImageList(16, 16, true);
    image_list->Add(box_bitmap(false, true));
    image_list->Add(box_bitmap(true, true));
    image_list->Add(box_bitmap(false, false));
    image_list->Add(box_bitmap(true, false));
    AssignImageList(image_list, wxIMAGE_LIST_SMALL);
}

wxCheckedListCtrl::~wxCheckedListCtrl() = default;

int wxCheckedListCtrl::TakeExtraState(long* state, long mask) {
    const int taken = static_cast<int>(*state & mask & EXTRA_BITS);
    *state &= ~static_cast<long>(EXTRA_BITS);
    return taken;
}

int wxCheckedListCtrl::ImageForState(int bits) {
    const bool checked = bits & STATE_CHECKED, enabled = bits & STATE_ENABLED;
    if (checked)
        return enabled ? BOX_CHECKED : BOX_CHECKED_GREY;
    return enabled ? BOX_EMPTY : BOX_EMPTY_GREY;
}

wxColour wxCheckedListCtrl::BackgroundForState(int bits) const {
    if ((bits & STATE_ENABLED) && IsEnabled())
        return *wxWHITE;
    return wxColour(212, 208, 200);
}

long wxCheckedListCtrl::InsertItem(wxListItem& info) {
    int extra = TakeExtraState(&info.m_state, info.m_stateMask);
    // A new row is enabled unless the record says otherwise; a record that
    // names only the checked bit still gets a checked, enabled row.
    if (!(info.m_mask & wxLIST_MASK_STATE) || !(info.m_stateMask & STATE_ENABLED))
        extra |= STATE_ENABLED;
    info.m_stateMask &= ~static_cast<long>(EXTRA_BITS);
    if (KeepsRows())
        return InsertKeptRow(info, extra);
    info.SetImage(ImageForState(extra));
    info.SetBackgroundColour(BackgroundForState(extra));

    const long row = wxListCtrl::InsertItem(info);
    // The toolkit may place the row elsewhere (sorted styles): follow it.
    if (row >= 0 && row <= static_cast<long>(state_list.size()))
        state_list.insert(state_list.begin() + row, extra);
    return row;
}

long wxCheckedListCtrl::InsertItem(long index, const wxString& label) {
    wxListItem info;
    info.SetId(index);
    info.SetText(label);
    return InsertItem(info);
}

bool wxCheckedListCtrl::SetItem(wxListItem& info) {
    if (!IsRow(info.m_itemId))
        return false;
    int extra = TakeExtraState(&info.m_state, info.m_stateMask);
    if (KeepsRows()) {
        const long item = info.m_itemId;
        const long row = RowOf(item);
        KeptRow& kept = kept_rows[row];
        if (info.m_mask & wxLIST_MASK_TEXT)
            kept.set_text(info.m_col, info.m_text);
        if (info.m_mask & wxLIST_MASK_DATA)
            kept.data = info.m_data;
        if (info.m_mask & wxLIST_MASK_STATE) {
            for (int bit : {STATE_CHECKED, STATE_ENABLED})
                if (!(info.m_stateMask & bit))
                    extra |= state_list[row] & bit;
            state_list[row] = extra;
            // As the toolkit does for stored rows: its own bits that are set.
            const long own = info.m_state & ~static_cast<long>(EXTRA_BITS);
            if (own)
                wxListCtrl::SetItemState(item, own, own);
        }
        RefreshItem(item);
        return true;
    }
    if (info.m_mask & wxLIST_MASK_STATE) {
        const long row = info.m_itemId;
        for (int bit : {STATE_CHECKED, STATE_ENABLED})
            if (!(info.m_stateMask & bit))
                extra |= state_list[row] & bit;
        info.m_stateMask &= ~static_cast<long>(EXTRA_BITS);
        info.SetImage(ImageForState(extra));
        // Changing the background replaces the row's attributes: keep the rest.
        info.SetTextColour(GetItemTextColour(row));
        info.SetFont(GetItemFont(row));
        info.SetBackgroundColour(BackgroundForState(extra));
        state_list[row] = extra;
    } else {
        // A text change never replaces the box.
        info.m_mask &= ~wxLIST_MASK_IMAGE;
    }
    return wxListCtrl::SetItem(info);
}

bool wxCheckedListCtrl::SetItem(long index, int column, const wxString& label, int) {
    wxListItem info;
    info.SetId(index);
    info.SetColumn(column);
    info.SetText(label);
    return SetItem(info);
}

bool wxCheckedListCtrl::GetItem(wxListItem& info) const {
    if (!IsRow(info.m_itemId))
        return false;
    if (KeepsRows())
        GetKeptItem(info);
    else if (!wxListCtrl::GetItem(info))
        return false;
    if (info.m_mask & wxLIST_MASK_STATE) {
        const int bits = state_list[RowOf(info.m_itemId)];
        for (int bit : {STATE_CHECKED, STATE_ENABLED})
            if (info.m_stateMask & bit) {
                info.m_state = (info.m_state & ~static_cast<long>(bit)) | (bits & bit);
                info.m_stateMask |= bit;
            }
    }
    return true;
}

bool wxCheckedListCtrl::SetItemState(long index, long state, long stateMask) {
    if (!IsRow(index))
        return false;
    bool ok = true;
    if (stateMask & EXTRA_BITS) {
        wxListItem info;
        info.SetId(index);
        info.SetMask(wxLIST_MASK_STATE);
        info.m_state = state & stateMask & EXTRA_BITS;
        info.m_stateMask = stateMask & EXTRA_BITS;
        ok = SetItem(info);
    }
    // The toolkit's own bits (selection, focus) go to the toolkit directly, so
    // that they can be cleared as well as set.
    const long own_mask = stateMask & ~static_cast<long>(EXTRA_BITS);
    if (own_mask)
        ok = wxListCtrl::SetItemState(index, state & own_mask, own_mask) && ok;
    return ok;
}

int wxCheckedListCtrl::GetItemState(long index, long stateMask) const {
    wxListItem info;
    info.SetId(index);
    info.SetMask(wxLIST_MASK_STATE);
    info.m_stateMask = stateMask;
    if (!GetItem(info))
        return -1;
    long state = info.m_state & EXTRA_BITS;
    if (stateMask & ~static_cast<long>(EXTRA_BITS))
        state |= wxListCtrl::GetItemState(index, stateMask & ~static_cast<long>(EXTRA_BITS));
    return static_cast<int>(state & stateMask);
}

void wxCheckedListCtrl::Check(long index, bool on) {
    SetItemState(index, on ? STATE_CHECKED : 0, STATE_CHECKED);
}

void wxCheckedListCtrl::CheckAll(bool on) {
    if (KeepsRows()) {
        // One repaint for all: tens of thousands of rows change at once.
        for (int& bits : state_list)
            bits = on ? bits | STATE_CHECKED : bits & ~STATE_CHECKED;
        Refresh();
        return;
    }
    // Rows already in the wanted state are left alone: a fresh list of
    // thousands of rows is unchecked at no cost.
    for (long row = 0; row < GetItemCount(); ++row)
        if (IsRow(row) && ((state_list[row] & STATE_CHECKED) != 0) != on)
            Check(row, on);
}

void wxCheckedListCtrl::CheckShown(bool on) {
    if (!filtered) {
        CheckAll(on);
        return;
    }
    for (long row : shown)
        state_list[row] = on ? state_list[row] | STATE_CHECKED : state_list[row] & ~STATE_CHECKED;
    Refresh();
}

long wxCheckedListCtrl::GetCheckedRowCount() const {
    return static_cast<long>(std::count_if(state_list.begin(), state_list.end(),
                                           [](int bits) { return bits & STATE_CHECKED; }));
}

bool wxCheckedListCtrl::IsRowChecked(long row) const {
    return row >= 0 && row < GetRowCount() && (state_list[row] & STATE_CHECKED);
}

wxUIntPtr wxCheckedListCtrl::GetRowData(long row) const {
    if (row < 0 || row >= GetRowCount())
        return 0;
    return KeepsRows() ? kept_rows[row].data : wxListCtrl::GetItemData(row);
}

bool wxCheckedListCtrl::DeleteRow(long row) {
    if (row < 0 || row >= GetRowCount())
        return false;
    if (!filtered)
        return DeleteItem(row);
    const auto at = std::lower_bound(shown.begin(), shown.end(), row);
    if (at != shown.end() && *at == row)
        return DeleteItem(static_cast<long>(at - shown.begin()));
    // A hidden row: the items shown stay, only the rows after it move up.
    kept_rows.erase(kept_rows.begin() + row);
    state_list.erase(state_list.begin() + row);
    for (long& r : shown)
        if (r > row)
            --r;
    return true;
}

std::string wxCheckedListCtrl::FilterKey(const wxString& text) {
    // The case of letters beyond ASCII from a Unicode locale, whatever the
    // user's: the program may run in the "C" locale, which folds none.
    static const std::locale unicode = [] {
        try {
            return std::locale("C.UTF-8");
        } catch (const std::exception&) {
            return std::locale::classic();
        }
    }();
    static const auto& folding = std::use_facet<std::ctype<wchar_t>>(unicode);
    std::string key;
    key.reserve(text.length());
    for (const wxUniChar c : text) {
        if (c == ' ' || c == '\t' || c == '_')
            continue;
        if (c.IsAscii())
            key.push_back(static_cast<char>(std::tolower(static_cast<int>(c.GetValue()))));
        else
            key += wxString(wxUniChar(folding.tolower(static_cast<wchar_t>(c.GetValue()))))
                       .utf8_string();
    }
    return key;
}

bool wxCheckedListCtrl::SetFilterText(const wxString& text) {
    if (!KeepsRows())
        return false;
    filter_text = text;
    DropSelection();
    Refilter();
    SetItemCount(ShownCount());
    Refresh();
    return true;
}

void wxCheckedListCtrl::Refilter() {
    const std::string key = FilterKey(filter_text);
    filtered = !key.empty();
    shown.clear();
    if (!filtered)
        return;
    for (long row = 0; row < GetRowCount(); ++row)
        if (kept_rows[row].key.find(key) != std::string::npos)
            shown.push_back(row);
}

void wxCheckedListCtrl::DropSelection() {
    if (GetItemCount() > 0)
        wxListCtrl::SetItemState(-1, 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
}

bool wxCheckedListCtrl::IsChecked(long index) const {
    return GetItemState(index, STATE_CHECKED) != 0;
}

bool wxCheckedListCtrl::IsItemEnabled(long index) const {
    return GetItemState(index, STATE_ENABLED) != 0;
}

bool wxCheckedListCtrl::DeleteItem(long index) {
    if (!IsRow(index))
        return false;
    if (KeepsRows()) {
        // The toolkit reads the row while deleting it (and tells listeners):
        // the row goes after.
        const long row = RowOf(index);
        const bool ok = wxListCtrl::DeleteItem(index);
        kept_rows.erase(kept_rows.begin() + row);
        state_list.erase(state_list.begin() + row);
        if (filtered) {
            shown.erase(shown.begin() + index);
            for (long& r : shown)
                if (r > row)
                    --r;
        }
        return ok;
    }
    state_list.erase(state_list.begin() + index);
    return wxListCtrl::DeleteItem(index);
}

bool wxCheckedListCtrl::DeleteAllItems() {
    const bool ok = wxListCtrl::DeleteAllItems();
    state_list.clear();
    kept_rows.clear();
    filter_text.clear();
    filtered = false;
    shown.clear();
    return ok;
}

bool wxCheckedListCtrl::ClearAll() {
    wxListCtrl::ClearAll();
    state_list.clear();
    kept_rows.clear();
    filter_text.clear();
    filtered = false;
    shown.clear();
    return true;
}

bool wxCheckedListCtrl::SortItems(wxListCtrlCompare fn, wxIntPtr data) {
    if (KeepsRows()) {
        std::vector<std::size_t> order(kept_rows.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return fn(kept_rows[a].data, kept_rows[b].data, data) < 0;
        });
        std::vector<KeptRow> rows;
        std::vector<int> states;
        rows.reserve(order.size());
        states.reserve(order.size());
        for (std::size_t k : order) {
            rows.push_back(std::move(kept_rows[k]));
            states.push_back(state_list[k]);
        }
        kept_rows.swap(rows);
        state_list.swap(states);
        // The toolkit's own sort drops the selection too.
        DropSelection();
        if (filtered) {
            Refilter();
            SetItemCount(ShownCount());
        }
        Refresh();
        return true;
    }
    const bool ok = wxListCtrl::SortItems(fn, data);
    // The image number tells both bits, and the image travels with its row.
    for (long row = 0; row < static_cast<long>(state_list.size()); ++row) {
        wxListItem info;
        info.SetId(row);
        info.SetMask(wxLIST_MASK_IMAGE);
        if (!wxListCtrl::GetItem(info))
            continue;
        switch (info.GetImage()) {
        case BOX_EMPTY:
            state_list[row] = STATE_ENABLED;
            break;
        case BOX_CHECKED:
            state_list[row] = STATE_ENABLED | STATE_CHECKED;
            break;
        case BOX_EMPTY_GREY:
            state_list[row] = 0;
            break;
        case BOX_CHECKED_GREY:
            state_list[row] = STATE_CHECKED;
            break;
        }
    }
    return ok;
}

wxString wxCheckedListCtrl::GetItemText(long index, int column) const {
    if (!KeepsRows())
        return wxListCtrl::GetItemText(index, column);
    return IsRow(index) ? kept_rows[RowOf(index)].text(column) : wxString();
}

wxUIntPtr wxCheckedListCtrl::GetItemData(long index) const {
    if (!KeepsRows())
        return wxListCtrl::GetItemData(index);
    return IsRow(index) ? kept_rows[RowOf(index)].data : 0;
}

bool wxCheckedListCtrl::SetItemPtrData(long index, wxUIntPtr data) {
    if (!KeepsRows())
        return wxListCtrl::SetItemPtrData(index, data);
    if (!IsRow(index))
        return false;
    kept_rows[RowOf(index)].data = data;
    return true;
}

const wxString& wxCheckedListCtrl::KeptRow::text(long column) const {
    static const wxString empty;
    return column >= 0 && column < static_cast<long>(texts.size()) ? texts[column] : empty;
}

void wxCheckedListCtrl::KeptRow::set_text(long column, const wxString& text) {
    if (column < 0)
        return;
    if (column >= static_cast<long>(texts.size()))
        texts.resize(column + 1);
    texts[column] = text;
    if (column == 0)
        key = FilterKey(text);
}

long wxCheckedListCtrl::InsertKeptRow(const wxListItem& info, int extra) {
    if (info.m_itemId < 0)
        return -1;
    const long item = std::min(info.m_itemId, ShownCount());
    long row = item;
    if (filtered)
        row = item < ShownCount() ? shown[item] : GetRowCount();
    KeptRow kept;
    if (info.m_mask & wxLIST_MASK_TEXT)
        kept.set_text(info.m_col, info.m_text);
    if (info.m_mask & wxLIST_MASK_DATA)
        kept.data = info.m_data;
    kept_rows.insert(kept_rows.begin() + row, std::move(kept));
    state_list.insert(state_list.begin() + row, extra);
    if (filtered) {
        for (long& r : shown)
            if (r >= row)
                ++r;
        shown.insert(shown.begin() + item, row);
    }
    SetItemCount(ShownCount());
    return item;
}

void wxCheckedListCtrl::GetKeptItem(wxListItem& info) const {
    const long item = info.m_itemId;
    const long row = RowOf(item);
    const KeptRow& kept = kept_rows[row];
    if (info.m_mask & wxLIST_MASK_TEXT)
        info.m_text = kept.text(info.m_col);
    if (info.m_mask & wxLIST_MASK_IMAGE)
        info.m_image = info.m_col == 0 ? ImageForState(state_list[row]) : -1;
    if (info.m_mask & wxLIST_MASK_DATA)
        info.m_data = kept.data;
    if (info.m_mask & wxLIST_MASK_STATE)
        info.m_state = wxListCtrl::GetItemState(item, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    info.SetBackgroundColour(BackgroundForState(state_list[row]));
}

wxString wxCheckedListCtrl::OnGetItemText(long item, long column) const {
    return IsRow(item) ? kept_rows[RowOf(item)].text(column) : wxString();
}

int wxCheckedListCtrl::OnGetItemImage(long item) const {
    return IsRow(item) ? ImageForState(state_list[RowOf(item)]) : -1;
}

wxItemAttr* wxCheckedListCtrl::OnGetItemAttr(long item) const {
    if (!IsRow(item))
        return nullptr;
    kept_attr.SetBackgroundColour(BackgroundForState(state_list[RowOf(item)]));
    return &kept_attr;
}

void wxCheckedListCtrl::OnLeftDown(wxMouseEvent& event) {
    if (event.GetEventType() == wxEVT_LEFT_DOWN) {
        int flags = 0;
        const long row = HitTest(event.GetPosition(), flags);
        if (row >= 0 && IsItemEnabled(row)) {
            const bool toggles = (flags & wxLIST_HITTEST_ONITEMICON) ||
                                 (HasFlag(CHECK_ON_ROW_CLICK) && (flags & wxLIST_HITTEST_ONITEM));
            if (toggles) {
                const bool was_checked = IsChecked(row);
                Check(row, !was_checked);
                wxListEvent notice(was_checked ? ITEM_UNCHECKED_EVENT : ITEM_CHECKED_EVENT,
                                   GetId());
                notice.SetEventObject(this);
                notice.SetIndex(row);
                wxPostEvent(GetEventHandler(), notice);
            }
        }
    }
    // Selection and focus work as usual.
    event.Skip();
}
