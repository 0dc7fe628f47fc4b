#include <vector>

#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "gui/widgets/choice_wx.h"
#include "gui/widgets/list_view_combo_popup.h"
#include "gui_test.h"

namespace {

struct Notice {
    int id;
    wxObject* object;
    wxString text;
};

class ChoiceWxTest : public FrameTest {
protected:
    void make() {
        const wxString names[] = {"Earth", "Jupiter", "Mars", "Moon", "Sun"};
        choice = new wxChoiceWx(panel, wxID_ANY, wxDefaultPosition, wxSize(160, -1), 5, names);
        after = new wxTextCtrl(panel, wxID_ANY, "after");
        auto* sizer = new wxBoxSizer(wxHORIZONTAL);
        sizer->Add(choice, 0, wxALL, 5);
        sizer->Add(after, 0, wxALL, 5);
        panel->SetSizer(sizer);
        panel->Bind(wxEVT_COMBOBOX, [this](wxCommandEvent& e) {
            notices.push_back({e.GetId(), e.GetEventObject(), e.GetString()});
        });
        ASSERT_TRUE(wait_for_layout());
    }
    wxListViewComboPopup* list() { return choice->GetPopup(); }
    ::testing::AssertionResult open() {
        choice->Popup();
        if (wait_until([this] {
                return choice->IsPopupShown() && list()->IsShownOnScreen() &&
                       list()->GetScreenRect().GetHeight() > 0;
            }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the list never opened";
    }

    wxChoiceWx* choice = nullptr;
    wxTextCtrl* after = nullptr;
    std::vector<Notice> notices;
};

TEST_F(ChoiceWxTest, BuiltReadOnlyWithItsEntries) {
    make();
    EXPECT_TRUE(choice->HasFlag(wxCB_READONLY));
    ASSERT_EQ(choice->GetCount(), 5u);
    EXPECT_EQ(choice->GetString(0), "Earth");
    EXPECT_EQ(choice->GetString(4), "Sun");
    EXPECT_EQ(choice->GetString(5), "");
    EXPECT_EQ(choice->GetSelection(), -1);
    EXPECT_EQ(choice->GetValue(), "");
    EXPECT_EQ(list()->GetName(), "listCtrl");
    EXPECT_EQ(list()->GetVisibleRows(), 10);
}

TEST_F(ChoiceWxTest, SelectionSettersShowTheTextWithoutNotifying) {
    make();
    choice->SetSelection(2);
    EXPECT_EQ(choice->GetSelection(), 2);
    EXPECT_EQ(choice->GetValue(), "Mars");

    EXPECT_TRUE(choice->SetStringSelection("Moon"));
    EXPECT_EQ(choice->GetSelection(), 3);
    EXPECT_EQ(choice->GetValue(), "Moon");

    // Exact text only: no case folding, no prefixes.
    for (const char* missing : {"moon", "Mo", "Pluto", ""}) {
        EXPECT_FALSE(choice->SetStringSelection(missing)) << missing;
        EXPECT_EQ(choice->GetSelection(), 3) << missing;
        EXPECT_EQ(choice->GetValue(), "Moon") << missing;
    }

    // -1 empties the shown text and leaves the highlighted row.
    choice->SetSelection(-1);
    EXPECT_EQ(choice->GetValue(), "");
    EXPECT_EQ(choice->GetSelection(), 3);
    settle();
    EXPECT_TRUE(notices.empty());
}

TEST_F(ChoiceWxTest, ClearKeepsTheShownTextUntilTheNextSelection) {
    make();
    choice->SetStringSelection("Jupiter");
    choice->Clear();
    EXPECT_EQ(choice->GetCount(), 0u);
    EXPECT_EQ(choice->GetSelection(), -1);
    EXPECT_EQ(choice->GetValue(), "Jupiter");
    for (const char* name : {"Venus", "Mercury", "Saturn"})
        choice->Append(name);
    EXPECT_EQ(choice->GetSelection(), -1);
    EXPECT_EQ(choice->GetValue(), "Jupiter");
    choice->SetSelection(1);
    EXPECT_EQ(choice->GetSelection(), 1);
    EXPECT_EQ(choice->GetValue(), "Mercury");
}

TEST_F(ChoiceWxTest, PopupHeightFollowsTheVisibleRows) {
    make();
    const int five = list()->GetAdjustedSize(160, 400, 800).y;
    choice->SetVisibleRows(2);
    const int two = list()->GetAdjustedSize(160, 400, 800).y;
    EXPECT_GT(five, two);
    EXPECT_EQ(list()->GetAdjustedSize(160, 400, 800).x, 160);
    EXPECT_EQ(list()->GetAdjustedSize(160, 400, 30).y, 30) << "never above the room there is";
    EXPECT_EQ(list()->GetAdjustedSize(160, 25, 800).y, 25) << "nor above the preferred height";
    choice->SetVisibleRows(10);
    EXPECT_EQ(list()->GetAdjustedSize(160, 400, 800).y, five) << "no more rows than entries";
}

TEST_F(ChoiceWxTest, DownThenEnterInTheOpenListChoosesOnce) {
    make();
    choice->SetStringSelection("Jupiter");
    ASSERT_TRUE(open());
    EXPECT_EQ(choice->GetSelection(), 1);

    sim.Char(WXK_DOWN);
    ASSERT_TRUE(wait_until([&] { return choice->GetSelection() == 2; }));
    settle();
    EXPECT_EQ(choice->GetSelection(), 2) << "one key press, one step";
    EXPECT_TRUE(choice->IsPopupShown());
    EXPECT_TRUE(notices.empty()) << "moving the highlight chooses nothing";

    sim.Char(WXK_RETURN);
    ASSERT_TRUE(wait_until([&] { return !choice->IsPopupShown() && !notices.empty(); }));
    settle();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].id, choice->GetId());
    EXPECT_EQ(notices[0].object, panel) << "the parent window is the event's object";
    EXPECT_EQ(choice->GetValue(), "Mars");
    EXPECT_EQ(choice->GetSelection(), 2);
    EXPECT_EQ(list()->GetValueIndex(), 2);
}

TEST_F(ChoiceWxTest, EscapeInTheOpenListRestoresTheShownEntry) {
    make();
    choice->SetStringSelection("Earth");
    ASSERT_TRUE(open());
    sim.Char(WXK_DOWN);
    ASSERT_TRUE(wait_until([&] { return choice->GetSelection() == 1; }));
    sim.Char(WXK_ESCAPE);
    ASSERT_TRUE(wait_until([&] { return !choice->IsPopupShown(); }));
    settle();
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(choice->GetValue(), "Earth");
    EXPECT_EQ(choice->GetSelection(), 0);
}

TEST_F(ChoiceWxTest, PointerHighlightsAndClickChooses) {
    make();
    choice->SetStringSelection("Earth");
    ASSERT_TRUE(open());
    wxWindow* rows = list();
    for (wxWindow* child : list()->GetChildren())
        if (child->GetSize().y > rows->GetSize().y / 2)
            rows = child;
    wxRect rect;
    ASSERT_TRUE(list()->GetItemRect(3, rect));
    const wxPoint over_moon(rect.x + 20, rect.y + rect.height / 2);
    ASSERT_TRUE(move_to(list(), over_moon));
    ASSERT_TRUE(wait_until([&] { return choice->GetSelection() == 3; }))
        << "the row under the pointer is highlighted";
    EXPECT_TRUE(notices.empty());

    sim.MouseClick();
    ASSERT_TRUE(wait_until([&] { return !choice->IsPopupShown() && !notices.empty(); }));
    settle();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text, "Moon");
    EXPECT_EQ(choice->GetValue(), "Moon");
}

TEST_F(ChoiceWxTest, ClosingWithoutAChoiceKeepsTheSelection) {
    make();
    choice->SetStringSelection("Mars");
    ASSERT_TRUE(open());
    wxRect rect;
    ASSERT_TRUE(list()->GetItemRect(0, rect));
    ASSERT_TRUE(move_to(list(), wxPoint(rect.x + 20, rect.y + rect.height / 2)));
    ASSERT_TRUE(wait_until([&] { return choice->GetSelection() == 0; }));
    choice->Dismiss();
    ASSERT_TRUE(wait_until([&] { return !choice->IsPopupShown(); }));
    EXPECT_EQ(choice->GetValue(), "Mars");
    EXPECT_EQ(choice->GetSelection(), 2);
    EXPECT_TRUE(notices.empty());
}

// Under Xvfb the simulated keys never reach the closed read-only combo, so
// its key handler is fed the toolkit's key events directly.
TEST_F(ChoiceWxTest, ArrowKeysInTheClosedControlStepAndNotify) {
    make();
    choice->SetStringSelection("Jupiter");
    auto key = [&](int code) {
        wxKeyEvent event(wxEVT_CHAR_HOOK);
        event.m_keyCode = code;
        event.SetEventObject(choice);
        choice->GetEventHandler()->ProcessEvent(event);
    };
    struct Case {
        int key;
        const char* shown;
    } cases[] = {
        {WXK_DOWN, "Mars"},    {WXK_RIGHT, "Moon"},   {WXK_NUMPAD2, "Sun"},
        {WXK_DOWN, "Sun"},     {WXK_NUMPAD8, "Moon"}, {WXK_UP, "Mars"},
        {WXK_LEFT, "Jupiter"}, {WXK_LEFT, "Earth"},   {WXK_UP, "Earth"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " to " << c.shown);
        const wxString before = choice->GetValue();
        const size_t notices_before = notices.size();
        key(c.key);
        EXPECT_EQ(choice->GetValue(), c.shown);
        EXPECT_EQ(choice->GetSelection(), choice->GetPopup()->FindExact(c.shown));
        // A step notifies once; no step at either end, no notification.
        EXPECT_EQ(notices.size(), notices_before + (before != c.shown ? 1 : 0));
        if (before != c.shown) {
            EXPECT_EQ(notices.back().text, c.shown);
        }
        EXPECT_FALSE(choice->IsPopupShown());
    }
}

// Forty thousand names, as with the whole catalogue: typing part of one,
// in any case and without its blanks, chooses it; a pause starts a new
// search, and the next match of the same text follows the current one.
TEST_F(ChoiceWxTest, TypingPartOfANameAmongFortyThousandChoosesIt) {
    make();
    std::vector<wxString> names{"-"};
    for (int k = 1; k <= 40000; ++k)
        names.push_back(wxString::Format("(%d) Rock %d", k, k));
    names[20000] = "99942 Apophis (2004 MN4)";
    names[30000] = "1P/Halley";
    choice->Set(names);
    ASSERT_EQ(choice->GetCount(), 40001u);
    auto type = [&](const wxString& text) {
        for (wxUniChar c : text) {
            wxKeyEvent event(wxEVT_CHAR_HOOK);
            event.m_keyCode = int(c.GetValue());
            event.m_uniChar = wxChar(c.GetValue());
            event.SetEventObject(choice);
            choice->GetEventHandler()->ProcessEvent(event);
        }
    };
    type("apoph");
    EXPECT_EQ(choice->GetValue(), "99942 Apophis (2004 MN4)");
    EXPECT_EQ(choice->GetSelection(), 20000);
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.back().text, "99942 Apophis (2004 MN4)");
    EXPECT_EQ(list()->FindContaining("2004mn4"), 20000) << "blanks do not count";
    EXPECT_EQ(list()->FindContaining("1P"), 30000);
    EXPECT_EQ(list()->FindContaining("no such body"), -1);
    EXPECT_EQ(list()->FindContaining("Rock 3", 4), 30) << "from the given row on";
    // The rows are shown from the held texts.
    EXPECT_EQ(choice->GetString(30000), "1P/Halley");
    choice->Set({"-", "Earth"});
    EXPECT_EQ(choice->GetCount(), 2u);
    EXPECT_EQ(choice->GetSelection(), -1) << "new rows, no highlight left from the old ones";
}

} // namespace
