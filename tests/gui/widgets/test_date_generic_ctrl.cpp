#include <wx/sizer.h>

#include "gui/widgets/choice_wx.h"
#include "gui/widgets/date_generic_ctrl.h"
#include "gui/widgets/list_view_combo_popup.h"
#include "gui_test.h"

namespace {

class DateGenericCtrlTest : public FrameTest {
protected:
    void make() {
        date = new wxDateGenericCtrl(panel, wxID_ANY, wxDefaultPosition, wxSize(240, -1));
        auto* sizer = new wxBoxSizer(wxHORIZONTAL);
        sizer->Add(date, 0, wxALL, 5);
        panel->SetSizer(sizer);
        ASSERT_TRUE(wait_for_layout());
    }
    void show(int year, int month, int day_index) {
        date->GetYearSpin()->SetValue(year);
        date->GetMonthChoice()->SetSelection(month);
        date->GetDayChoice()->SetSelection(day_index);
    }

    wxDateGenericCtrl* date = nullptr;
};

TEST_F(DateGenericCtrlTest, PartsAndTheirEntries) {
    const wxDateTime before = wxDateTime::Today();
    make();
    const wxDateTime after = wxDateTime::Today();
    const wxDateTime shown = date->GetDate();
    EXPECT_TRUE(shown == before || shown == after) << "starts at today";

    EXPECT_EQ(date->GetYearSpin()->GetName(), "wxSpinCtrl");
    EXPECT_EQ(date->GetYearSpin()->GetMin(), 0);
    EXPECT_EQ(date->GetYearSpin()->GetMax(), 5000);
    wxChoiceWx* month = date->GetMonthChoice();
    wxChoiceWx* day = date->GetDayChoice();
    EXPECT_EQ(month->GetName(), "comboBox");
    EXPECT_EQ(day->GetName(), "comboBox");
    ASSERT_EQ(month->GetCount(), 12u);
    EXPECT_EQ(month->GetString(0), "Jan");
    EXPECT_EQ(month->GetString(11), "Dec");
    ASSERT_EQ(day->GetCount(), 31u);
    EXPECT_EQ(day->GetString(0), "01");
    EXPECT_EQ(day->GetString(30), "31");
    // Year, month and day from left to right.
    EXPECT_LT(date->GetYearSpin()->GetPosition().x, month->GetPosition().x);
    EXPECT_LT(month->GetPosition().x, day->GetPosition().x);
}

TEST_F(DateGenericCtrlTest, DayIsClampedToTheLengthOfTheMonth) {
    make();
    struct Case {
        int year, month, day_index;
        int expected_day;
    } cases[] = {
        {2001, 1, 30, 28},                     // 31 Feb 2001
        {2001, 1, 28, 28},                     // 29 Feb in a common year
        {2000, 1, 28, 29},                     // 2000 is a leap year
        {1900, 1, 28, 28},                     // 1900 is not
        {2004, 1, 30, 29},  {2001, 3, 30, 30}, // 31 Apr
        {2001, 11, 30, 31}, {2001, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << "-" << c.month + 1 << " #" << c.day_index);
        show(c.year, c.month, c.day_index);
        const wxDateTime d = date->GetDate();
        ASSERT_TRUE(d.IsValid());
        EXPECT_EQ(d.GetYear(), c.year);
        EXPECT_EQ(d.GetMonth(), c.month);
        EXPECT_EQ(d.GetDay(), c.expected_day);
        EXPECT_EQ(d.GetHour(), 0);
        EXPECT_EQ(d.GetMinute(), 0);
        EXPECT_EQ(d.GetSecond(), 0);
        EXPECT_EQ(d.GetMillisecond(), 0);
    }
    show(2001, 1, 30);
    EXPECT_EQ(date->GetDate(), wxDateTime(28, wxDateTime::Feb, 2001));
}

// What the user picks is what the choice shows: a day beyond the month's end
// moves to its last day in the day choice itself, whichever part made it so.
TEST_F(DateGenericCtrlTest, ADayTheMonthHasNotIsCorrectedWhereTheUserSeesIt) {
    make();
    wxChoiceWx* month = date->GetMonthChoice();
    wxChoiceWx* day = date->GetDayChoice();
    auto shown_day = [day] { return day->GetString(day->GetSelection()); };
    auto pick = [](wxChoiceWx* choice, int index) {
        ASSERT_TRUE(choice->SetStringSelection(choice->GetString(index)));
        SendComboSelected(choice, index, choice->GetString(index));
    };

    date->SetDate(wxDateTime(31, wxDateTime::Jan, 2001));
    pick(month, 1); // February of a common year
    EXPECT_EQ(shown_day(), "28");
    EXPECT_EQ(date->GetDate(), wxDateTime(28, wxDateTime::Feb, 2001));

    pick(day, 30); // 31 February, picked as such
    EXPECT_EQ(shown_day(), "28");

    date->SetDate(wxDateTime(29, wxDateTime::Feb, 2004));
    date->GetYearSpin()->SetValue(2003);
    wxSpinEvent year_changed(wxEVT_SPINCTRL, date->GetYearSpin()->GetId());
    year_changed.SetEventObject(date->GetYearSpin());
    date->GetYearSpin()->GetEventHandler()->ProcessEvent(year_changed);
    EXPECT_EQ(shown_day(), "28") << "29 February of a common year";

    pick(month, 3); // April keeps the 28th
    EXPECT_EQ(shown_day(), "28");
}

TEST_F(DateGenericCtrlTest, SetDateShowsItsParts) {
    make();
    date->SetDate(wxDateTime(7, wxDateTime::Oct, 1987, 15, 30));
    EXPECT_EQ(date->GetYearSpin()->GetValue(), 1987);
    EXPECT_EQ(date->GetMonthChoice()->GetValue(), "Oct");
    EXPECT_EQ(date->GetDayChoice()->GetValue(), "07");
    EXPECT_EQ(date->GetDate(), wxDateTime(7, wxDateTime::Oct, 1987));
}

TEST_F(DateGenericCtrlTest, YearRangeLimitsTheYearOnly) {
    make();
    date->SetYearRange(wxDateTime(1, wxDateTime::Jan, -2999),
                       wxDateTime(31, wxDateTime::Dec, 2999));
    wxSpinCtrl* year = date->GetYearSpin();
    EXPECT_EQ(year->GetMin(), -2999);
    EXPECT_EQ(year->GetMax(), 2999);
    year->SetValue(-2999);
    EXPECT_EQ(year->GetValue(), -2999);
    year->SetValue(-5000);
    EXPECT_EQ(year->GetValue(), -2999) << "years before the range cannot be entered";
    year->SetValue(4000);
    EXPECT_EQ(year->GetValue(), 2999);

    date->SetDate(wxDateTime(15, wxDateTime::Mar, -1000));
    const wxDateTime d = date->GetDate();
    EXPECT_EQ(d.GetYear(), -1000);
    EXPECT_EQ(d.GetMonth(), wxDateTime::Mar);
    EXPECT_EQ(d.GetDay(), 15);
}

} // namespace
