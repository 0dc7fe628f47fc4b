// Shows the program's own controls in one window: the checked list, the
// floating-point spin control, the read-only choice and the date control.
// With --screenshot FILE it saves the window as a PNG and exits.
#include <wx/app.h>
#include <wx/cmdline.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "gui/widgets/checked_list_ctrl.h"
#include "gui/widgets/choice_wx.h"
#include "gui/widgets/date_generic_ctrl.h"
#include "gui/widgets/spin_ctrl_dbl.h"

namespace {

bool screenshot_failed = false;

class DemoFrame : public wxFrame {
public:
    explicit DemoFrame(const wxString& screenshot)
        : wxFrame(nullptr, wxID_ANY, "Zenorb widgets", wxPoint(40, 40)), screenshot_(screenshot) {
        auto* panel = new wxPanel(this);
        auto* column = new wxBoxSizer(wxVERTICAL);

        list_ = new wxCheckedListCtrl(panel, wxID_ANY, wxDefaultPosition, wxSize(360, 170),
                                      wxLC_REPORT);
        list_->InsertColumn(0, "Object", wxLIST_FORMAT_LEFT, 180);
        list_->InsertColumn(1, "Earth distance [AU]", wxLIST_FORMAT_LEFT, 150);
        const char* names[] = {"1P/Halley", "2P/Encke", "Ceres", "Vesta", "Eros"};
        const char* distances[] = {"34.912", "2.871", "2.054", "1.987", "0.342"};
        for (int row = 0; row < 5; ++row) {
            list_->InsertItem(row, names[row]);
            list_->SetItem(row, 1, distances[row]);
        }
        list_->Check(1, true);
        list_->Check(3, true);
        list_->SetItemState(4, 0, wxCheckedListCtrl::STATE_ENABLED);
        column->Add(list_, 1, wxEXPAND | wxALL, 5);

        auto* grid = new wxFlexGridSizer(2, 5, 5);
        grid->Add(new wxStaticText(panel, wxID_ANY, "Timestep [days]"), 0, wxALIGN_CENTER_VERTICAL);
        auto* spin =
            new wxSpinCtrlDbl(panel, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(130, -1));
        spin->SetRange(0.001, 30);
        spin->SetValue(0.26);
        spin->SetIncrement(0.05);
        grid->Add(spin);

        grid->Add(new wxStaticText(panel, wxID_ANY, "Object A"), 0, wxALIGN_CENTER_VERTICAL);
        const wxString bodies[] = {"Earth", "Jupiter", "Mars", "Moon", "Sun"};
        auto* choice =
            new wxChoiceWx(panel, wxID_ANY, wxDefaultPosition, wxSize(120, -1), 5, bodies);
        choice->SetStringSelection("Jupiter");
        grid->Add(choice);

        grid->Add(new wxStaticText(panel, wxID_ANY, "Start date"), 0, wxALIGN_CENTER_VERTICAL);
        auto* date = new wxDateGenericCtrl(panel, wxID_ANY, wxDefaultPosition, wxSize(240, -1));
        date->SetYearRange(wxDateTime(1, wxDateTime::Jan, -2999),
                           wxDateTime(31, wxDateTime::Dec, 2999));
        date->SetDate(wxDateTime(14, wxDateTime::Mar, 2001));
        grid->Add(date);
        column->Add(grid, 0, wxALL, 5);

        panel->SetSizer(column);
        SetClientSize(column->ComputeFittingClientSize(this));

        if (!screenshot_.empty()) {
            timer_.Bind(wxEVT_TIMER, &DemoFrame::OnShoot, this);
            timer_.StartOnce(1500);
        }
    }

private:
    void OnShoot(wxTimerEvent&) {
        // Copy the frame's area from the screen (the window manager's frame,
        // if any, stays out of it).
        const wxRect area(GetScreenPosition(), GetSize());
        wxBitmap bitmap(area.width, area.height, 24);
        {
            wxScreenDC screen;
            wxMemoryDC memory(bitmap);
            memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
        }
        if (!bitmap.ConvertToImage().SaveFile(screenshot_, wxBITMAP_TYPE_PNG))
            screenshot_failed = true;
        Close(true);
    }

    wxString screenshot_;
    wxCheckedListCtrl* list_ = nullptr;
    wxTimer timer_;
};

class DemoApp : public wxApp {
public:
    bool OnInit() override {
        wxInitAllImageHandlers();
        wxString screenshot;
        for (int i = 1; i + 1 < argc; ++i)
            if (argv[i] == "--screenshot")
                screenshot = argv[i + 1];
        frame_ = new DemoFrame(screenshot);
        frame_->Show();
        return true;
    }
    int OnRun() override {
        wxApp::OnRun();
        return screenshot_failed ? 1 : 0;
    }

private:
    DemoFrame* frame_ = nullptr;
};

} // namespace

wxIMPLEMENT_APP(DemoApp);
