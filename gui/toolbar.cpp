#include "gui/toolbar.h"

#include "gui/tool_pictures.h"
#include "gui/widgets/choice_wx.h"
#include "gui/widgets/list_view_combo_popup.h"

wxBEGIN_EVENT_TABLE(ZenorbToolbar, wxToolBar)
    EVT_COMBOBOX(ZenorbToolbar::ID_TRACK_CHOICE, ZenorbToolbar::OnTrackChoice)
wxEND_EVENT_TABLE()

ZenorbToolbar::ZenorbToolbar(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                             const wxSize& size, long style, const wxString& name)
    : wxToolBar(parent, id, pos, size, style, name) {
    track_label_ = new wxStaticText(this, wxID_ANY, "Auto Track: ", wxDefaultPosition,
                                    wxDefaultSize, 0, "staticText");
    track_choice_ = new wxChoiceWx(this, ID_TRACK_CHOICE, wxDefaultPosition, wxSize(170, -1), 0,
                                   nullptr, 0, wxDefaultValidator, "Auto Track");
}

void ZenorbToolbar::AddTrackControls() {
    const int p = GetToolPos(ID_ORBITAL_ELEMENTS);
    InsertSeparator(p + 1);
    InsertSeparator(p + 2);
    InsertControl(p + 3, track_label_);
    InsertControl(p + 4, track_choice_);
    InsertSeparator(p + 5);

    const std::pair<int, ToolPicture> pictures[] = {
        {ID_RECENTER_SUN, ToolPicture::RecenterOnSun},
        {ID_ABOVE_NORTH_POLE, ToolPicture::AboveNorthPole},
        {ID_VERNAL_EQUINOX, ToolPicture::VernalEquinox},
        {ID_OBLIQUE_VIEW, ToolPicture::ObliqueView}};
    for (const auto& [tool, picture] : pictures)
        SetToolNormalBitmap(tool, wxBitmap(tool_picture(picture)));
    Realize();
}

void ZenorbToolbar::OnTrackChoice(wxCommandEvent& event) {
    const int index = track_choice_->GetSelection();
    if (index >= 0 && track_choice_->GetString(index) == NO_BODY) {
        track_choice_->SetSelection(-1);
        // SetSelection(-1) only empties the shown text; the highlighted row
        // is the selection the frame reads, so it goes too.
        track_choice_->GetPopup()->SetItemState(index, 0, wxLIST_STATE_SELECTED);
    }
    event.Skip();
}
