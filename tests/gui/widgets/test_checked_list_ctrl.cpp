#include <iterator>
#include <vector>

#include <wx/image.h>
#include <wx/sizer.h>

#include "gui/widgets/checked_list_ctrl.h"
#include "gui_test.h"

namespace {

using List = wxCheckedListCtrl;

int image_of(List* list, long row) {
    wxListItem info;
    info.SetId(row);
    info.SetMask(wxLIST_MASK_IMAGE);
    if (!list->GetItem(info))
        return -100;
    return info.GetImage();
}

// One list control with two columns and n rows "row0".. in the test frame;
// every case runs with rows stored by the toolkit and with rows kept by the
// control (wxLC_VIRTUAL), which must behave alike.
class CheckedListTest : public FrameTest, public testing::WithParamInterface<long> {
protected:
    void make(long style = wxLC_REPORT, int rows = 5) {
        list = new List(panel, wxID_ANY, wxDefaultPosition, wxSize(400, 300), style | GetParam());
        list->InsertColumn(0, "Object", wxLIST_FORMAT_LEFT, 200);
        list->InsertColumn(1, "Value", wxLIST_FORMAT_LEFT, 150);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(list, 1, wxEXPAND);
        panel->SetSizer(sizer);
        for (int i = 0; i < rows; ++i) {
            list->InsertItem(i, wxString::Format("row%d", i));
            list->SetItem(i, 1, wxString::Format("%d", 10 * i));
        }
        list->Bind(ITEM_CHECKED_EVENT, [this](wxListEvent& e) {
            checked_events.push_back(e.GetIndex());
            EXPECT_EQ(e.GetId(), list->GetId());
        });
        list->Bind(ITEM_UNCHECKED_EVENT,
                   [this](wxListEvent& e) { unchecked_events.push_back(e.GetIndex()); });
        ASSERT_TRUE(wait_for_layout());
    }

    // A point of the row's box, in the list's client coordinates (those of
    // GetItemRect): inside both the drawn image (centred in the row) and the
    // toolkit's hit rectangle (at the top of the row).
    wxPoint box_point(long row) {
        wxRect rect;
        EXPECT_TRUE(list->GetItemRect(row, rect));
        const int top_of_image = rect.y + (rect.height - 16) / 2;
        return wxPoint(rect.x + 8, std::max(top_of_image, rect.y) + 6);
    }
    wxPoint label_point(long row) {
        wxRect rect;
        EXPECT_TRUE(list->GetItemRect(row, rect));
        return wxPoint(rect.x + 60, rect.y + rect.height / 2);
    }
    // HitTest works in the coordinates of the inner window that shows the rows.
    int hit_flags(const wxPoint& p) {
        int flags = 0;
        list->HitTest(p - inner()->GetPosition(), flags);
        return flags;
    }
    // The window that shows the rows (below the header) and gets the clicks.
    wxWindow* inner() {
        wxWindow* rows = nullptr;
        for (wxWindow* child : list->GetChildren())
            if (!rows || child->GetSize().y > rows->GetSize().y)
                rows = child;
        return rows;
    }

    List* list = nullptr;
    std::vector<long> checked_events, unchecked_events;
};

TEST_P(CheckedListTest, RowInsertedByLabelStartsEnabledUncheckedWithEmptyBox) {
    make();
    ASSERT_EQ(list->GetItemCount(), 5);
    for (long row = 0; row < 5; ++row) {
        EXPECT_TRUE(list->IsItemEnabled(row)) << row;
        EXPECT_FALSE(list->IsChecked(row)) << row;
        EXPECT_EQ(image_of(list, row), List::BOX_EMPTY) << row;
        EXPECT_EQ(list->GetItemBackgroundColour(row), *wxWHITE) << row;
    }
}

TEST_P(CheckedListTest, InsertRecordNamingTheBits) {
    make(wxLC_REPORT, 0);
    struct Case {
        long state, mask;
        bool checked, enabled;
        int image;
    } cases[] = {
        {List::STATE_CHECKED | List::STATE_ENABLED, List::STATE_CHECKED | List::STATE_ENABLED, true,
         true, List::BOX_CHECKED},
        {0, List::STATE_ENABLED, false, false, List::BOX_EMPTY_GREY},
        {List::STATE_CHECKED, List::STATE_CHECKED | List::STATE_ENABLED, true, false,
         List::BOX_CHECKED_GREY},
        // The enabled bit not named: the row is enabled.
        {List::STATE_CHECKED, List::STATE_CHECKED, true, true, List::BOX_CHECKED},
        {0, 0, false, true, List::BOX_EMPTY},
    };
    long row = 0;
    for (const Case& c : cases) {
        wxListItem info;
        info.SetId(row);
        info.SetText("x");
        info.SetState(c.state);
        info.SetStateMask(c.mask);
        ASSERT_EQ(list->InsertItem(info), row);
        EXPECT_EQ(list->IsChecked(row), c.checked) << row;
        EXPECT_EQ(list->IsItemEnabled(row), c.enabled) << row;
        EXPECT_EQ(image_of(list, row), c.image) << row;
        EXPECT_EQ(list->GetItemBackgroundColour(row),
                  c.enabled ? *wxWHITE : wxColour(212, 208, 200))
            << row;
        ++row;
    }
}

TEST_P(CheckedListTest, StateChangesPickTheBoxAndBackground) {
    make();
    list->SetItemTextColour(1, *wxRED);
    list->Check(1, true);
    EXPECT_TRUE(list->IsChecked(1));
    EXPECT_EQ(image_of(list, 1), List::BOX_CHECKED);
    // Kept rows have no colours of their own.
    if (!list->KeepsRows()) {
        EXPECT_EQ(list->GetItemTextColour(1), *wxRED) << "a state change keeps the text colour";
    }

    list->SetItemState(1, 0, List::STATE_ENABLED);
    EXPECT_TRUE(list->IsChecked(1)) << "disabling keeps the check";
    EXPECT_FALSE(list->IsItemEnabled(1));
    EXPECT_EQ(image_of(list, 1), List::BOX_CHECKED_GREY);
    EXPECT_EQ(list->GetItemBackgroundColour(1), wxColour(212, 208, 200));

    list->Check(1, false);
    EXPECT_EQ(image_of(list, 1), List::BOX_EMPTY_GREY);
    list->SetItemState(1, List::STATE_ENABLED, List::STATE_ENABLED);
    EXPECT_EQ(image_of(list, 1), List::BOX_EMPTY);
    EXPECT_EQ(list->GetItemBackgroundColour(1), *wxWHITE);

    // The extra bits never disturb the toolkit's own.
    list->SetItemState(2, wxLIST_STATE_SELECTED | List::STATE_CHECKED,
                       wxLIST_STATE_SELECTED | List::STATE_CHECKED);
    EXPECT_EQ(list->GetItemState(2, wxLIST_STATE_SELECTED | List::STATE_CHECKED),
              wxLIST_STATE_SELECTED | List::STATE_CHECKED);
    list->SetItemState(2, 0, wxLIST_STATE_SELECTED);
    EXPECT_EQ(list->GetItemState(2, wxLIST_STATE_SELECTED | List::STATE_CHECKED),
              List::STATE_CHECKED);

    // The other rows are left alone.
    for (long row : {0L, 3L, 4L}) {
        EXPECT_FALSE(list->IsChecked(row)) << row;
        EXPECT_EQ(image_of(list, row), List::BOX_EMPTY) << row;
    }
}

TEST_P(CheckedListTest, SetItemTextKeepsTheBox) {
    make();
    list->Check(2, true);
    ASSERT_TRUE(list->SetItem(2, 0, "renamed", List::BOX_EMPTY_GREY));
    ASSERT_TRUE(list->SetItem(2, 1, "99"));
    EXPECT_EQ(list->GetItemText(2, 0), "renamed");
    EXPECT_EQ(list->GetItemText(2, 1), "99");
    EXPECT_EQ(image_of(list, 2), List::BOX_CHECKED);
    EXPECT_TRUE(list->IsChecked(2));
    EXPECT_TRUE(list->IsItemEnabled(2));
}

TEST_P(CheckedListTest, GetItemReportsTheBitsOnlyWhenAsked) {
    make();
    list->Check(3, true);
    wxListItem info;
    info.SetId(3);
    info.SetMask(wxLIST_MASK_STATE | wxLIST_MASK_TEXT);
    info.SetStateMask(List::STATE_CHECKED);
    ASSERT_TRUE(list->GetItem(info));
    EXPECT_EQ(info.GetText(), "row3");
    EXPECT_EQ(info.m_state & List::STATE_CHECKED, List::STATE_CHECKED);
    EXPECT_EQ(info.m_state & List::STATE_ENABLED, 0) << "not asked for";

    wxListItem missing;
    missing.SetId(5);
    missing.SetMask(wxLIST_MASK_STATE);
    missing.SetStateMask(List::STATE_CHECKED);
    EXPECT_FALSE(list->GetItem(missing));
    EXPECT_EQ(list->GetItemState(5, List::STATE_CHECKED), -1);
    EXPECT_EQ(list->GetItemState(-1, List::STATE_CHECKED), -1);
}

TEST_P(CheckedListTest, DeletingARowKeepsTheOtherRowsStates) {
    make();
    list->Check(1, true);
    list->Check(3, true);
    list->SetItemState(4, 0, List::STATE_ENABLED);
    ASSERT_TRUE(list->DeleteItem(2));
    ASSERT_EQ(list->GetItemCount(), 4);
    const char* labels[] = {"row0", "row1", "row3", "row4"};
    const bool checked[] = {false, true, true, false};
    const bool enabled[] = {true, true, true, false};
    for (long row = 0; row < 4; ++row) {
        EXPECT_EQ(list->GetItemText(row), labels[row]);
        EXPECT_EQ(list->IsChecked(row), checked[row]) << row;
        EXPECT_EQ(list->IsItemEnabled(row), enabled[row]) << row;
    }
    EXPECT_FALSE(list->DeleteItem(4));
    EXPECT_EQ(list->GetItemCount(), 4);
}

TEST_P(CheckedListTest, CheckAllAndEmptyList) {
    make();
    list->CheckAll(true);
    for (long row = 0; row < 5; ++row)
        EXPECT_TRUE(list->IsChecked(row)) << row;
    list->CheckAll(false);
    for (long row = 0; row < 5; ++row)
        EXPECT_FALSE(list->IsChecked(row)) << row;

    ASSERT_TRUE(list->DeleteAllItems());
    list->CheckAll(false);
    EXPECT_EQ(list->GetItemCount(), 0);
    // A row inserted after clearing starts afresh.
    list->InsertItem(0, "again");
    EXPECT_FALSE(list->IsChecked(0));
    EXPECT_TRUE(list->IsItemEnabled(0));
}

int wxCALLBACK by_data_descending(wxIntPtr a, wxIntPtr b, wxIntPtr) {
    return a < b ? 1 : a > b ? -1 : 0;
}

TEST_P(CheckedListTest, SortingCarriesTheStatesWithTheRows) {
    make();
    for (long row = 0; row < 5; ++row)
        list->SetItemData(row, static_cast<wxUIntPtr>(row));
    list->Check(0, true);
    list->Check(3, true);
    list->SetItemState(3, 0, List::STATE_ENABLED);
    ASSERT_TRUE(list->SortItems(by_data_descending, 0));
    for (long row = 0; row < 5; ++row) {
        const wxUIntPtr original = list->GetItemData(row);
        EXPECT_EQ(list->GetItemText(row), wxString::Format("row%d", int(original)));
        EXPECT_EQ(list->IsChecked(row), original == 0 || original == 3) << row;
        EXPECT_EQ(list->IsItemEnabled(row), original != 3) << row;
    }
}

int wxCALLBACK by_data_parity(wxIntPtr a, wxIntPtr b, wxIntPtr) {
    return int(a % 2) - int(b % 2);
}

TEST_P(CheckedListTest, SortingDropsTheSelectionAndKeptRowsSortStably) {
    make(wxLC_REPORT, 6);
    for (long row = 0; row < 6; ++row)
        list->SetItemData(row, static_cast<wxUIntPtr>(row));
    list->SetItemState(4, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                       wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    ASSERT_TRUE(list->SortItems(by_data_parity, 0));
    for (long row = 0; row < 6; ++row) {
        EXPECT_EQ(list->GetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED), 0) << row;
        EXPECT_EQ(list->GetItemData(row) % 2, row < 3 ? 0u : 1u) << row;
    }
    if (!list->KeepsRows())
        return; // the toolkit's own sort promises no order among equals
    const wxUIntPtr expected[] = {0, 2, 4, 1, 3, 5};
    for (long row = 0; row < 6; ++row) {
        EXPECT_EQ(list->GetItemData(row), expected[row]) << row;
        EXPECT_EQ(list->GetItemText(row), wxString::Format("row%d", int(expected[row])));
    }
}

TEST_P(CheckedListTest, BoxImagesArePaintedPixelByPixel) {
    make(wxLC_REPORT, 0);
    wxImageList* images = list->GetImageList(wxIMAGE_LIST_SMALL);
    ASSERT_NE(images, nullptr);
    ASSERT_EQ(images->GetImageCount(), 4);

    const wxColour grey(0x80, 0x80, 0x80), light(0xc0, 0xc0, 0xc0), black(0, 0, 0),
        white(255, 255, 255);
    // Pixels of the tick, as (row, column) of the 16 x 16 picture.
    std::vector<std::pair<int, int>> tick;
    const int runs[][3] = {{5, 11, 11}, {6, 10, 11}, {7, 5, 5},  {7, 9, 11}, {8, 5, 6},
                           {8, 8, 10},  {9, 5, 9},   {10, 6, 8}, {11, 7, 7}};
    for (const auto& r : runs)
        for (int c = r[1]; c <= r[2]; ++c)
            tick.emplace_back(r[0], c);
    auto in_tick = [&](int row, int column) {
        for (const auto& p : tick)
            if (p.first == row && p.second == column)
                return true;
        return false;
    };

    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        const bool checked = index == 1 || index == 3, enabled = index < 2;
        const wxImage image = images->GetBitmap(index).ConvertToImage();
        ASSERT_EQ(image.GetWidth(), 16);
        ASSERT_EQ(image.GetHeight(), 16);
        auto colour = [&](int row, int column) {
            return wxColour(image.GetRed(column, row), image.GetGreen(column, row),
                            image.GetBlue(column, row));
        };
        for (int i = 0; i < 16; ++i)
            for (int border : {0, 1, 14, 15}) {
                EXPECT_TRUE(image.IsTransparent(i, border)) << "column " << i;
                EXPECT_TRUE(image.IsTransparent(border, i)) << "row " << i;
            }
        for (int i = 4; i <= 11; ++i) {
            EXPECT_EQ(colour(2, i), grey) << "top outer edge, column " << i;
            EXPECT_EQ(colour(i, 2), grey) << "left outer edge, row " << i;
            EXPECT_EQ(colour(3, i), black) << "top inner edge, column " << i;
            EXPECT_EQ(colour(i, 3), black) << "left inner edge, row " << i;
            EXPECT_EQ(colour(13, i), light) << "bottom edge, column " << i;
            EXPECT_EQ(colour(i, 13), light) << "right edge, row " << i;
            EXPECT_FALSE(image.IsTransparent(i, 2));
        }
        for (int row = 4; row <= 12; ++row)
            for (int column = 4; column <= 12; ++column) {
                const wxColour expected = checked && in_tick(row, column)
                                              ? (enabled ? black : grey)
                                              : (enabled ? white : light);
                EXPECT_EQ(colour(row, column), expected) << row << "," << column;
            }
    }
}

TEST_P(CheckedListTest, ClickOnTheBoxTogglesAndPostsOneEvent) {
    make();
    const wxPoint box = box_point(2);
    ASSERT_TRUE(hit_flags(box) & wxLIST_HITTEST_ONITEMICON);

    ASSERT_TRUE(click_at(list, box));
    ASSERT_TRUE(wait_until([&] { return !checked_events.empty(); }));
    settle();
    EXPECT_EQ(checked_events, std::vector<long>{2});
    EXPECT_TRUE(unchecked_events.empty());
    EXPECT_TRUE(list->IsChecked(2));
    EXPECT_EQ(image_of(list, 2), List::BOX_CHECKED);

    // Far enough in time from the first click not to make a double click.
    settle(600);
    ASSERT_TRUE(click_at(list, box));
    ASSERT_TRUE(wait_until([&] { return !unchecked_events.empty(); }));
    settle();
    EXPECT_EQ(unchecked_events, std::vector<long>{2});
    EXPECT_EQ(checked_events.size(), 1u);
    EXPECT_FALSE(list->IsChecked(2));
    for (long row : {0L, 1L, 3L, 4L})
        EXPECT_FALSE(list->IsChecked(row)) << row;
}

TEST_P(CheckedListTest, ClickOnTheLabelSelectsButTogglesNothing) {
    make();
    const wxPoint label = label_point(1);
    ASSERT_TRUE(hit_flags(label) & wxLIST_HITTEST_ONITEMLABEL);
    ASSERT_TRUE(click_at(list, label));
    // The click reached the list: it selected the row.
    ASSERT_TRUE(wait_until([&] { return list->GetItemState(1, wxLIST_STATE_SELECTED) != 0; }));
    settle();
    EXPECT_FALSE(list->IsChecked(1));
    EXPECT_TRUE(checked_events.empty());
    EXPECT_TRUE(unchecked_events.empty());
}

TEST_P(CheckedListTest, ClickOnADisabledRowsBoxTogglesNothing) {
    make();
    list->SetItemState(3, 0, List::STATE_ENABLED);
    ASSERT_TRUE(click_at(list, box_point(3)));
    ASSERT_TRUE(wait_until([&] { return list->GetItemState(3, wxLIST_STATE_SELECTED) != 0; }));
    settle();
    EXPECT_FALSE(list->IsChecked(3));
    EXPECT_TRUE(checked_events.empty());
}

TEST_P(CheckedListTest, RowClickStyleTogglesFromTheLabel) {
    make(wxLC_REPORT | List::CHECK_ON_ROW_CLICK);
    ASSERT_TRUE(click_at(list, label_point(4)));
    ASSERT_TRUE(wait_until([&] { return !checked_events.empty(); }));
    settle();
    EXPECT_EQ(checked_events, std::vector<long>{4});
    EXPECT_TRUE(list->IsChecked(4));
}

// Kept rows under a filter: items are the rows shown, rows all of them.
class FilteredListTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        list = new List(panel, wxID_ANY, wxDefaultPosition, wxSize(400, 300),
                        wxLC_REPORT | wxLC_VIRTUAL);
        list->InsertColumn(0, "Object", wxLIST_FORMAT_LEFT, 200);
        for (std::size_t k = 0; k < std::size(NAMES); ++k) {
            list->InsertItem(static_cast<long>(k), wxString::FromUTF8(NAMES[k]));
            list->SetItemPtrData(static_cast<long>(k), k);
        }
    }
    // The data (original positions) of the items shown, in order.
    std::vector<wxUIntPtr> shown() const {
        std::vector<wxUIntPtr> out;
        for (long item = 0; item < list->GetItemCount(); ++item)
            out.push_back(list->GetItemData(item));
        return out;
    }

    static constexpr const char* NAMES[] = {"1P/Halley",
                                            "99942_Apophis",
                                            "2004_MN4",
                                            "C/2019_Q4_(Borisov)",
                                            "1_Ceres",
                                            "\xc4\x8c"
                                            "apek"};
    List* list = nullptr;
};

TEST_F(FilteredListTest, MatchesAnyPartIgnoringCaseAndBlanks) {
    const struct {
        const char* text;
        std::vector<wxUIntPtr> rows;
    } cases[] = {
        {"apophis", {1}},
        {"2004 mn4", {2}},
        {"2004MN4", {2}},
        {"1p", {0}},
        {"HALLEY", {0}},
        {"q4 (b", {3}},
        {"c", {3, 4}},
        {"\xc4\x8d"
         "ap",
         {5}}, // a lower-case letter beyond ASCII finds its capital
        {"zzz", {}},
        {"  ", {0, 1, 2, 3, 4, 5}},
        {"", {0, 1, 2, 3, 4, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(list->SetFilterText(wxString::FromUTF8(c.text)));
        EXPECT_EQ(shown(), c.rows);
        EXPECT_EQ(list->GetRowCount(), 6);
    }
}

TEST_F(FilteredListTest, ItemsNameTheRowsShown) {
    list->SetFilterText("s");
    ASSERT_EQ(shown(), (std::vector<wxUIntPtr>{1, 3, 4}));
    EXPECT_EQ(list->GetItemText(2), "1_Ceres");
    list->Check(2, true);
    EXPECT_TRUE(list->IsRowChecked(4));
    EXPECT_EQ(list->GetCheckedRowCount(), 1);

    // A hidden row goes without moving the items shown; a shown one goes
    // from the items and the rows.
    ASSERT_TRUE(list->DeleteRow(0));
    EXPECT_EQ(list->GetRowCount(), 5);
    EXPECT_EQ(shown(), (std::vector<wxUIntPtr>{1, 3, 4}));
    EXPECT_TRUE(list->IsChecked(2));
    ASSERT_TRUE(list->DeleteItem(0));
    EXPECT_EQ(shown(), (std::vector<wxUIntPtr>{3, 4}));
    EXPECT_TRUE(list->IsChecked(1));
    EXPECT_FALSE(list->DeleteItem(2));

    // A row inserted under the filter shows where it went in.
    list->InsertItem(1, "inserted");
    list->SetItemPtrData(1, 9);
    EXPECT_EQ(shown(), (std::vector<wxUIntPtr>{3, 9, 4}));
    EXPECT_EQ(list->GetRowCount(), 5);
    list->SetFilterText("");
    EXPECT_EQ(shown(), (std::vector<wxUIntPtr>{2, 3, 9, 4, 5}));
}

TEST_F(FilteredListTest, ChecksStayThroughFilteringAndSorting) {
    list->Check(0, true); // Halley, hidden below
    list->SetFilterText("s");
    list->CheckShown(true);
    EXPECT_EQ(list->GetCheckedRowCount(), 4);
    EXPECT_TRUE(list->IsRowChecked(0)) << "hidden, and still checked";

    // The sort orders every row; the filter stays on.
    ASSERT_TRUE(list->SortItems(by_data_descending, 0));
    EXPECT_EQ(list->GetFilterText(), "s");
    EXPECT_EQ(shown(), (std::vector<wxUIntPtr>{4, 3, 1}));
    list->SetFilterText("");
    EXPECT_EQ(shown(), (std::vector<wxUIntPtr>{5, 4, 3, 2, 1, 0}));
    const bool checked[] = {false, true, true, false, true, true};
    for (long item = 0; item < 6; ++item)
        EXPECT_EQ(list->IsChecked(item), checked[item]) << item;

    // "Uncheck all" reaches the hidden rows too.
    list->SetFilterText("halley");
    list->CheckShown(true);
    list->CheckAll(false);
    list->SetFilterText("");
    EXPECT_EQ(list->GetCheckedRowCount(), 0);
}

TEST_F(FilteredListTest, ClearingDropsTheFilterAndStoredRowsAreNeverFiltered) {
    list->SetFilterText("halley");
    ASSERT_EQ(list->GetItemCount(), 1);
    list->ClearAll();
    EXPECT_EQ(list->GetFilterText(), "");
    list->InsertColumn(0, "Object");
    list->InsertItem(0, "Vesta");
    EXPECT_EQ(list->GetItemCount(), 1);

    auto* stored = new List(panel, wxID_ANY, wxDefaultPosition, wxSize(200, 100));
    stored->InsertColumn(0, "Object");
    stored->InsertItem(0, "Vesta");
    EXPECT_FALSE(stored->SetFilterText("ceres"));
    EXPECT_EQ(stored->GetItemCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(StoredAndKeptRows, CheckedListTest, testing::Values(0L, wxLC_VIRTUAL),
                         [](const testing::TestParamInfo<long>& info) {
                             return info.param ? "KeptRows" : "StoredRows";
                         });

} // namespace
