#include "gui_test.h"

#include <wx/app.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

bool wait_until(const std::function<bool()>& done, int timeout_ms) {
    wxStopWatch clock;
    while (!done()) {
        if (clock.Time() > timeout_ms)
            return false;
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        wxMilliSleep(2);
    }
    return true;
}

void settle(int ms) {
    wxStopWatch clock;
    while (clock.Time() < ms) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        wxMilliSleep(2);
    }
}

void FrameTest::SetUp() {
    frame = new wxFrame(nullptr, wxID_ANY, "widget test", wxPoint(40, 40), wxSize(640, 480));
    panel = new wxPanel(frame);
    panel->Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
        ++panel_paints;
        event.Skip();
    });
    frame->Show();
    frame->Raise();
    ASSERT_TRUE(wait_until([this] { return frame->IsShownOnScreen() && frame->IsActive(); }))
        << "the test frame never became the active window";
}

void FrameTest::TearDown() {
    if (frame) {
        frame->Destroy();
        wait_until([] { return wxTopLevelWindows.IsEmpty(); });
    }
}

::testing::AssertionResult FrameTest::wait_for_layout() {
    const int before = panel_paints;
    panel->Layout();
    panel->Refresh();
    if (wait_until([this, before] { return panel_paints > before; }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the panel was never drawn";
}

::testing::AssertionResult FrameTest::focus(wxWindow* win) {
    win->SetFocus();
    if (wait_until([win] { return wxWindow::FindFocus() == win; }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "window never got the focus";
}

::testing::AssertionResult FrameTest::move_to(wxWindow* win, const wxPoint& client_point) {
    const wxPoint target = win->ClientToScreen(client_point);
    sim.MouseMove(target);
    if (wait_until([target] { return wxGetMousePosition() == target; }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pointer never reached " << target.x << "," << target.y;
}

::testing::AssertionResult FrameTest::click_at(wxWindow* win, const wxPoint& client_point) {
    auto moved = move_to(win, client_point);
    if (!moved)
        return moved;
    sim.MouseClick();
    return ::testing::AssertionSuccess();
}
