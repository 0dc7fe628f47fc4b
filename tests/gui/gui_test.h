// Helpers of the GUI tests: they run inside the application's event loop and
// wait on conditions, yielding to the loop, never on fixed sleeps alone.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/uiaction.h>

// Yields to the event loop until done() holds; false after timeout_ms.
bool wait_until(const std::function<bool()>& done, int timeout_ms = 5000);

// Processes what is already queued, then lets the toolkit catch up briefly;
// used before asserting that something did not happen.
void settle(int ms = 100);

// A fresh, shown, active frame with a panel for each test.
class FrameTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Lays the panel out and waits until it has been drawn since: the toolkit
    // then has placed every child, and clicks land where the layout says.
    ::testing::AssertionResult wait_for_layout();
    // Gives win the keyboard focus and waits until it has it.
    ::testing::AssertionResult focus(wxWindow* win);
    // Moves the pointer to a point of win's client area and waits until the
    // toolkit has seen it there.
    ::testing::AssertionResult move_to(wxWindow* win, const wxPoint& client_point);
    ::testing::AssertionResult click_at(wxWindow* win, const wxPoint& client_point);

    wxFrame* frame = nullptr;
    wxPanel* panel = nullptr;
    wxUIActionSimulator sim;

private:
    int panel_paints = 0;
};
