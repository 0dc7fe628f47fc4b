#include <cmath>
#include <vector>

#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "common/comma_locale.h"
#include "gui/widgets/spin_ctrl_dbl.h"
#include "gui_test.h"

namespace {

struct Notice {
    int integer;
    wxString text;
};

// The main frame's time-step control: built with 0..100 and 0, then given
// the range 0.001..30, the value 0.26 and the increment 0.05.
class SpinCtrlDblTest : public FrameTest {
protected:
    void make(bool frame_settings = true) {
        spin =
            new wxSpinCtrlDbl(panel, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(160, -1));
        after = new wxTextCtrl(panel, wxID_ANY, "after");
        auto* sizer = new wxBoxSizer(wxHORIZONTAL);
        sizer->Add(spin, 0, wxALL, 5);
        sizer->Add(after, 0, wxALL, 5);
        panel->SetSizer(sizer);
        if (frame_settings) {
            spin->SetRange(0.001, 30);
            spin->SetValue(0.26);
            spin->SetIncrement(0.05);
        }
        // The notification travels up to the parent window.
        panel->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent& e) {
            EXPECT_EQ(e.GetEventObject(), spin);
            EXPECT_EQ(e.GetId(), spin->GetId());
            notices.push_back({e.GetInt(), e.GetString()});
        });
        panel->Bind(wxEVT_SPINCTRLDBL_CORRECTED,
                    [this](wxCommandEvent& e) { corrections.push_back(e.GetString()); });
        ASSERT_TRUE(wait_for_layout());
    }
    wxString shown() const { return spin->GetTextCtrl()->GetValue(); }
    // Presses a key in the focused text part and waits for its notification.
    ::testing::AssertionResult press(int key, int modifiers = wxMOD_NONE) {
        const size_t before = notices.size();
        sim.Char(key, modifiers);
        if (wait_until([&] { return notices.size() > before; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "no notification for key " << key;
    }

    wxSpinCtrlDbl* spin = nullptr;
    wxTextCtrl* after = nullptr;
    std::vector<Notice> notices;
    std::vector<wxString> corrections;
};

TEST_F(SpinCtrlDblTest, ConstructionDefaults) {
    make(false);
    EXPECT_EQ(spin->GetValue(), 0);
    EXPECT_EQ(spin->GetMin(), 0);
    EXPECT_EQ(spin->GetMax(), 100);
    EXPECT_EQ(spin->GetIncrement(), 1);
    EXPECT_EQ(spin->GetDigits(), -1);
    EXPECT_EQ(spin->GetFormat(), "%lg");
    EXPECT_EQ(shown(), "0");
    EXPECT_EQ(spin->GetSpinButton()->GetName(), "wxSpinButton");
    EXPECT_EQ(spin->GetTextCtrl()->GetName(), "text");
    EXPECT_EQ(spin->GetTextCtrl()->owner, spin);

    auto* given =
        new wxSpinCtrlDbl(panel, wxID_ANY, "abc", wxDefaultPosition, wxDefaultSize, 0, -5, 5, 3);
    EXPECT_EQ(given->GetTextCtrl()->GetValue(), "abc") << "a value text is shown unchanged";
    EXPECT_EQ(given->GetValue(), 3);
    EXPECT_EQ(given->GetDefaultValue(), 3);
    EXPECT_GT(given->GetSize().x, given->GetSpinButton()->GetSize().x);
}

TEST_F(SpinCtrlDblTest, SetRangeClampsTheValueIntoTheNewRange) {
    make(false);
    spin->SetRange(0.001, 30);
    EXPECT_EQ(shown(), "0.001");
    EXPECT_DOUBLE_EQ(spin->GetValue(), 0.001);
    spin->SetValue(25);
    spin->SetRange(-10, 20);
    EXPECT_EQ(shown(), "20");
    EXPECT_EQ(spin->GetValue(), 20);
    // min > max: no range at all, anything goes.
    spin->SetRange(1, 0);
    EXPECT_FALSE(spin->HasRange());
    spin->SetValue(-1e6);
    EXPECT_EQ(spin->GetValue(), -1e6);
    EXPECT_TRUE(notices.empty()) << "setters never notify";
}

TEST_F(SpinCtrlDblTest, ValuesOutsideTheRangeAreRefused) {
    make();
    for (double x : {30.0001, -1.0, 0.0, 1e9}) {
        spin->SetValue(x);
        EXPECT_DOUBLE_EQ(spin->GetValue(), 0.26) << x;
        EXPECT_EQ(shown(), "0.26") << x;
    }
    spin->SetValue(30);
    EXPECT_EQ(shown(), "30");
}

TEST_F(SpinCtrlDblTest, DigitsChooseTheFormatAndTheValueIsWhatIsShown) {
    make();
    struct Case {
        int digits;
        wxSpinCtrlDbl::FormatKind kind;
        double x;
        const char* format;
        const char* text;
        double value;
    } cases[] = {
        {-1, wxSpinCtrlDbl::FORMAT_GENERAL, 0.26, "%lg", "0.26", 0.26},
        {3, wxSpinCtrlDbl::FORMAT_FIXED, 0.26, "%.3lf", "0.260", 0.26},
        {1, wxSpinCtrlDbl::FORMAT_FIXED, 0.26, "%.1lf", "0.3", 0.3},
        {2, wxSpinCtrlDbl::FORMAT_EXPONENT, 12.345, "%.2le", "1.23e+01", 12.3},
        {2, wxSpinCtrlDbl::FORMAT_GENERAL, 12.345, "%.2lg", "12", 12},
        {4, wxSpinCtrlDbl::FORMAT_GENERAL, 1.0 / 3, "%.4lg", "0.3333", 0.3333},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        spin->SetDigits(c.digits, c.kind);
        spin->SetValue(c.x);
        EXPECT_EQ(spin->GetDigits(), c.digits);
        EXPECT_EQ(spin->GetFormat(), c.format);
        EXPECT_EQ(shown(), c.text);
        EXPECT_DOUBLE_EQ(spin->GetValue(), c.value);
    }
    // A new format reshows the current value at once.
    spin->SetDigits(2, wxSpinCtrlDbl::FORMAT_FIXED);
    EXPECT_EQ(shown(), "0.33");
}

TEST_F(SpinCtrlDblTest, TextSetters) {
    make();
    spin->SetValue(wxString("12.5"), false);
    EXPECT_EQ(spin->GetValue(), 12.5);
    EXPECT_EQ(shown(), "12.5");
    spin->SetValue(wxString("1.5x"), false);
    EXPECT_EQ(shown(), "12.5") << "not all of it is a number";
    spin->SetValue(wxString("99"), true);
    EXPECT_EQ(shown(), "12.5") << "a number outside the range is refused even with force";
    spin->SetValue(wxString("n/a"), true);
    EXPECT_EQ(shown(), "n/a");
    EXPECT_EQ(spin->GetValue(), 12.5);
    EXPECT_FALSE(spin->GetTextCtrl()->IsModified());
    EXPECT_TRUE(notices.empty());

    // The notifying form takes the text as it is, without a range test.
    spin->SetValue(wxString("7.5"));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].integer, 8);
    EXPECT_EQ(notices[0].text, "7.5");
    EXPECT_EQ(spin->GetValue(), 7.5);
    spin->SetValue(wxString("7.5"));
    EXPECT_EQ(notices.size(), 1u) << "the same text again notifies nothing";
    spin->SetValue(wxString("45"));
    EXPECT_EQ(spin->GetValue(), 45);
    spin->SetValue(wxString("junk"));
    EXPECT_EQ(spin->GetValue(), 0);
    EXPECT_EQ(shown(), "junk");
}

TEST_F(SpinCtrlDblTest, SyncTakesTheTypedNumber) {
    make();
    auto type = [&](const char* text) {
        spin->GetTextCtrl()->ChangeValue(text);
        spin->GetTextCtrl()->SetModified(true);
    };
    type("45");
    spin->SyncSpinToText(false, false);
    EXPECT_DOUBLE_EQ(spin->GetValue(), 0.26) << "out of range without force_valid";
    EXPECT_EQ(shown(), "45");

    spin->SyncSpinToText(true, true);
    EXPECT_EQ(spin->GetValue(), 30) << "clamped";
    EXPECT_EQ(shown(), "30");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].integer, 30);

    type("2.5");
    spin->SyncSpinToText(false, true);
    EXPECT_EQ(spin->GetValue(), 2.5);
    EXPECT_EQ(notices.size(), 1u) << "send_event false";

    type("-");
    spin->SyncSpinToText(true, true);
    EXPECT_EQ(shown(), "2.5") << "text without a number gives way to the value";
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(SpinCtrlDblTest, SendUpdateKeepsTheTextWhateverAHandlerDoes) {
    make();
    spin->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent& e) {
        spin->GetTextCtrl()->ChangeValue("scribbled");
        e.Skip();
    });
    spin->GetTextCtrl()->SetInsertionPoint(2);
    spin->SendUpdate();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text, "0.26");
    EXPECT_EQ(notices[0].integer, 0);
    EXPECT_EQ(shown(), "0.26");
    EXPECT_EQ(spin->GetTextCtrl()->GetInsertionPoint(), 2);
}

TEST_F(SpinCtrlDblTest, ArrowAndPageKeysStepWithModifiers) {
    make();
    ASSERT_TRUE(focus(spin->GetTextCtrl()));
    struct Case {
        int key, modifiers;
        double delta;
    } cases[] = {
        {WXK_UP, wxMOD_NONE, 0.05},
        {WXK_UP, wxMOD_CONTROL, 0.5},
        {WXK_UP, wxMOD_SHIFT | wxMOD_CONTROL, 1.0},
        {WXK_UP, wxMOD_SHIFT, 0.1},
        {WXK_DOWN, wxMOD_NONE, -0.05},
        {WXK_DOWN, wxMOD_CONTROL, -0.5},
        {WXK_PAGEUP, wxMOD_NONE, 0.5},
        {WXK_PAGEDOWN, wxMOD_SHIFT, -1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " modifiers " << c.modifiers);
        spin->SetValue(10);
        ASSERT_TRUE(press(c.key, c.modifiers));
        EXPECT_NEAR(spin->GetValue(), 10 + c.delta, 1e-12);
        EXPECT_EQ(shown(), wxString::Format("%g", 10 + c.delta));
        EXPECT_EQ(notices.back().text, shown());
    }
}

TEST_F(SpinCtrlDblTest, KeyStepLeavingTheRangeChangesNothingButNotifies) {
    make();
    spin->SetValue(29.97);
    ASSERT_TRUE(focus(spin->GetTextCtrl()));
    ASSERT_TRUE(press(WXK_UP));
    EXPECT_DOUBLE_EQ(spin->GetValue(), 29.97);
    EXPECT_EQ(shown(), "29.97");
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(SpinCtrlDblTest, EscapeReturnsToTheDefaultOnlyInsideTheRange) {
    make();
    ASSERT_TRUE(focus(spin->GetTextCtrl()));
    // The default (0, from construction) lies outside 0.001..30.
    ASSERT_TRUE(press(WXK_ESCAPE));
    EXPECT_DOUBLE_EQ(spin->GetValue(), 0.26);
    EXPECT_EQ(shown(), "0.26");
    EXPECT_EQ(notices.size(), 1u) << "the notification is sent all the same";

    spin->SetRange(0, 30);
    ASSERT_TRUE(press(WXK_ESCAPE));
    EXPECT_EQ(spin->GetValue(), 0);
    EXPECT_EQ(shown(), "0");
}

TEST_F(SpinCtrlDblTest, TypingIsFilteredAndTakenAtOnce) {
    make();
    spin->SetDecimalSeparator('.');
    ASSERT_TRUE(focus(spin->GetTextCtrl()));
    spin->GetTextCtrl()->SelectAll();
    sim.Text("1x2");
    // Letters do not pass the filter; the value follows every keystroke.
    ASSERT_TRUE(wait_until([&] { return shown() == "12"; })) << shown();
    EXPECT_EQ(spin->GetValue(), 12);
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.back().text, "12");

    // Erased, the text is no number: the value stays what it was.
    spin->GetTextCtrl()->SelectAll();
    sim.Char(WXK_BACK);
    ASSERT_TRUE(wait_until([&] { return shown().empty(); })) << shown();
    EXPECT_EQ(spin->GetValue(), 12) << "a blank field stopped the clock";

    // Outside the range the value waits for Enter, which brings it in.
    sim.Text("125");
    ASSERT_TRUE(wait_until([&] { return shown() == "125"; })) << shown();
    EXPECT_EQ(spin->GetValue(), 12);
    sim.Char(WXK_RETURN);
    ASSERT_TRUE(wait_until([&] { return shown() == "30"; })) << shown();
    EXPECT_EQ(spin->GetValue(), 30);
    EXPECT_EQ(notices.back().integer, 30);
    ASSERT_FALSE(corrections.empty());
    EXPECT_TRUE(corrections.back().Contains("125 is above the largest value"))
        << corrections.back();

    // A comma is read or refused, never dropped ("0,5" was once 05).
    spin->GetTextCtrl()->SelectAll();
    sim.Text("0,5");
    ASSERT_TRUE(wait_until([&] { return shown() == "0,5"; })) << shown();
    EXPECT_EQ(spin->GetValue(), 30);

    // Space reshows the value in the control's format.
    spin->GetTextCtrl()->SelectAll();
    sim.Text("7.50");
    ASSERT_TRUE(wait_until([&] { return shown() == "7.50"; })) << shown();
    sim.Char(WXK_SPACE);
    ASSERT_TRUE(wait_until([&] { return shown() == "7.5"; })) << shown();
}

// Enter (or leaving the field) takes a number in the range as it stands;
// any other text is corrected where the user sees it, and says why.
TEST_F(SpinCtrlDblTest, EnterTakesANumberInTheRangeAndSaysWhyOtherTextIsNot) {
    make();
    struct Case {
        wxUniChar separator;
        const char* typed;
        const char* shown;
        const char* why; // empty: taken as typed
    } cases[] = {
        {'.', "2.5", "2.5", ""},
        {',', "0,5", "0.5", ""},
        {',', "0.75", "0.75", ""},
        {'.', "0,5", "0.26",
         "\"0,5\" is not a number (the decimal separator is '.'): 0.26 is kept."},
        {'.', "", "0.26", "An empty field is no number: 0.26 is kept."},
        {'.', " - ", "0.26", "is not a number"},
        {'.', "45", "30", "45 is above the largest value: 30 is taken."},
        {'.', "0", "0.001", "0 is below the smallest value: 0.001 is taken."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "'" << c.typed << "' with '" << char(c.separator) << "'");
        spin->SetDecimalSeparator(c.separator);
        spin->SetValue(0.26);
        corrections.clear();
        spin->GetTextCtrl()->ChangeValue(c.typed);
        spin->GetTextCtrl()->SetModified(true);
        spin->SyncSpinToText(true, true);
        EXPECT_EQ(shown(), c.shown);
        double value = 0;
        ASSERT_TRUE(wxString(c.shown).ToCDouble(&value));
        EXPECT_DOUBLE_EQ(spin->GetValue(), value);
        if (*c.why) {
            ASSERT_EQ(corrections.size(), 1u);
            EXPECT_TRUE(corrections[0].Contains(c.why)) << corrections[0];
        } else {
            EXPECT_TRUE(corrections.empty()) << corrections[0];
        }
    }
}

TEST_F(SpinCtrlDblTest, LeavingTheTextTakesTheTypedNumber) {
    make();
    ASSERT_TRUE(focus(spin->GetTextCtrl()));
    spin->GetTextCtrl()->SelectAll();
    sim.Text("-4");
    ASSERT_TRUE(wait_until([&] { return shown() == "-4"; })) << shown();
    sim.Char(WXK_TAB);
    ASSERT_TRUE(wait_until([&] { return wxWindow::FindFocus() == after; }))
        << "Tab moves on to the next control";
    EXPECT_DOUBLE_EQ(spin->GetValue(), 0.001);
    EXPECT_EQ(shown(), "0.001");
}

TEST_F(SpinCtrlDblTest, ArrowButtonStepsAndIsRefusedAtTheTop) {
    make();
    wxSpinButton* arrows = spin->GetSpinButton();
    const wxSize size = arrows->GetSize();
    // GTK draws the two buttons side by side, "up" on the right.
    const wxPoint up(size.x - 6, size.y / 2);

    auto click_up = [&]() -> ::testing::AssertionResult {
        const int position = arrows->GetValue();
        auto clicked = click_at(arrows, up);
        if (!clicked)
            return clicked;
        // The button's own position moves with every accepted press.
        if (wait_until([&] { return arrows->GetValue() != position; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the arrow button did not react";
    };

    ASSERT_TRUE(click_up());
    EXPECT_DOUBLE_EQ(spin->GetValue(), 0.31);
    EXPECT_EQ(shown(), "0.31");
    ASSERT_EQ(notices.size(), 1u);

    spin->SetValue(29.96);
    settle(600);
    ASSERT_TRUE(click_up());
    settle();
    EXPECT_DOUBLE_EQ(spin->GetValue(), 29.96) << "one more increment would leave the range";
    EXPECT_EQ(shown(), "29.96");
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(SpinCtrlDblTest, DestroyingTheTextPartFirstLeavesTheOwnerSafe) {
    make();
    delete spin->GetTextCtrl();
    EXPECT_EQ(spin->GetTextCtrl(), nullptr);
    spin->SetValue(5);
    spin->SyncSpinToText();
    EXPECT_DOUBLE_EQ(spin->GetValue(), 0.26);
}

TEST_F(SpinCtrlDblTest, ShowsAndReadsAPointUnderADecimalCommaLocale) {
    CommaLocale comma;
    ASSERT_TRUE(comma.active()) << "the test locale de_DE.UTF-8 is missing (LOCPATH)";
    make();
    spin->SetValue(2.75);
    EXPECT_EQ(shown(), "2.75");
    EXPECT_EQ(spin->GetValue(), 2.75);
    spin->SetValue(wxString("1.5"), false);
    EXPECT_EQ(spin->GetValue(), 1.5);
    EXPECT_EQ(shown(), "1.5");
}

} // namespace
