// The main frame's toolbar: the download, manage-objects and view tools
// (added by the frame) and the auto-track choice of the body the view follows.
#pragma once

#include <wx/stattext.h>
#include <wx/toolbar.h>

class wxChoiceWx;

class ZenorbToolbar : public wxToolBar {
public:
    // The first entry of every body list: following, or measuring, nothing.
    static constexpr const char* NO_BODY = "--None--";

    // The tool identifiers, shared with the frame's menu items.
    enum {
        ID_DOWNLOAD = wxID_HIGHEST + 1,
        ID_ORBITAL_ELEMENTS,
        ID_RECENTER_SUN,
        ID_ABOVE_NORTH_POLE,
        ID_VERNAL_EQUINOX,
        ID_OBLIQUE_VIEW,
        ID_TRACK_CHOICE,
        ID_APPROACHES,
        ID_LAST_TOOL
    };

    ZenorbToolbar(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                  const wxSize& size = wxDefaultSize, long style = wxTB_HORIZONTAL | wxNO_BORDER,
                  const wxString& name = "ID_TOOLBAR1");

    wxChoiceWx* track_choice() const { return track_choice_; }

    // Run once, after the frame has added the tools and installed the
    // toolbar: places the auto-track label and choice after "Orbital
    // Elements" and gives the view tools their pictures.
    void AddTrackControls();

private:
    void OnTrackChoice(wxCommandEvent& event);

    wxStaticText* track_label_ = nullptr;
    wxChoiceWx* track_choice_ = nullptr;

    wxDECLARE_EVENT_TABLE();
};
