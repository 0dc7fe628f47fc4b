#include "gui/widgets/navigate.h"

bool navigate_from(wxWindow* win, bool forward, bool window_change) {
    wxWindow* parent = win->GetParent();
    if (!parent)
        return false;
    wxNavigationKeyEvent request;
    request.SetDirection(forward);
    request.SetWindowChange(window_change);
    request.SetFromTab(true);
    request.SetCurrentFocus(win);
    request.SetEventObject(win);
    if (parent->GetEventHandler()->ProcessEvent(request))
        return true;

    const wxWindowList& siblings = parent->GetChildren();
    const int count = static_cast<int>(siblings.size());
    const int here = siblings.IndexOf(win);
    if (here == wxNOT_FOUND)
        return false;
    for (int step = 1; step < count; ++step) {
        const int i = ((forward ? here + step : here - step) % count + count) % count;
        wxWindow* next = siblings[i];
        if (next->IsShown() && next->IsEnabled() && !next->IsTopLevel() &&
            next->CanAcceptFocusFromKeyboard()) {
            next->SetFocus();
            return true;
        }
    }
    return false;
}
