// Moves the keyboard focus from a control to its neighbour, for the controls
// that consume Tab themselves.
#pragma once

#include <wx/window.h>

// Asks win's parent to move the focus on (forward or backward, to the next
// window with window_change); where the toolkit keeps the focus chain itself
// and nobody answers (GTK), gives the focus to the next sibling that takes
// it, in creation order, wrapping around. False if there is none.
bool navigate_from(wxWindow* win, bool forward, bool window_change = false);
