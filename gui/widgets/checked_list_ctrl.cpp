#include "gui/widgets/checked_list_ctrl.h"

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
    if (!IsRow(info.m_itemId) || !wxListCtrl::GetItem(info))
        return false;
    if (info.m_mask & wxLIST_MASK_STATE) {
        const int bits = state_list[info.m_itemId];
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
    for (long row = 0; row < GetItemCount(); ++row)
        Check(row, on);
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
    state_list.erase(state_list.begin() + index);
    return wxListCtrl::DeleteItem(index);
}

bool wxCheckedListCtrl::DeleteAllItems() {
    state_list.clear();
    return wxListCtrl::DeleteAllItems();
}

bool wxCheckedListCtrl::ClearAll() {
    state_list.clear();
    wxListCtrl::ClearAll();
    return true;
}

bool wxCheckedListCtrl::SortItems(wxListCtrlCompare fn, wxIntPtr data) {
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
