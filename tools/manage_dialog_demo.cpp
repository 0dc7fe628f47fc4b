// Opens the "Manage Solar system objects" dialog over the solar system of a
// date, with the catalogue files of a data directory, and a timer stepping
// the system as the program's frame does.
//
//   zenorb-manage-demo [--data DIR] [--date YYYY-MM-DD] [--page N]
//                      [--screenshot FILE]
//
// --page opens the dialog on tab N (1 to 4) with two rows checked and
// applied (on the single-object page: the elements of 1 Ceres typed in and
// applied, which writes its element file into the data directory);
// --screenshot then saves the dialog as a PNG and exits.
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/notebook.h>
#include <wx/timer.h>

#include "datebridge/date_bridge.h"
#include "gui/catalog_panel.h"
#include "gui/delete_objects_panel.h"
#include "gui/orbital_elements_dialog.h"
#include "gui/single_object_panel.h"
#include "nbody/factory.h"

namespace {

class DemoApp : public wxApp {
public:
    bool OnInit() override {
        wxInitAllImageHandlers();
        wxDateTime date = wxDateTime::Today();
        for (int k = 1; k + 1 < argc; ++k) {
            if (argv[k] == "--data")
                data = argv[k + 1];
            else if (argv[k] == "--screenshot")
                screenshot = argv[k + 1];
            else if (argv[k] == "--page")
                first_page = wxAtoi(argv[k + 1]) - 1;
            else if (argv[k] == "--date" && !date.ParseISODate(argv[k + 1]))
                return false;
        }
        init_default_graphics();
        the_factory->create_solar_system(datetime_to_jd(date));
        the_factory->system()->zero_momentum();
        ticks.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
            if (nbSystem* system = the_factory->system())
                system->step(0.26 * 86400);
        });
        shot_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnShoot(); });
        SetExitOnFrameDelete(false);
        CallAfter([this] {
            Run();
            ExitMainLoop();
        });
        return true;
    }
    int OnRun() override {
        wxApp::OnRun();
        return failed ? 1 : 0;
    }

private:
    // The frame's part: the dialog runs modally while the timer steps.
    void Run() {
        ticks.Start(55);
        dialog = new OrbitalElementsDialog(nullptr, data);
        if (first_page >= 0 && first_page < 4)
            dialog->CallAfter([this] { ShowPage(first_page); });
        dialog->ShowModal();
        ticks.Stop();
        the_factory->system()->zero_momentum();
        dialog->Destroy();
    }

    // Shows a page with two rows checked and applied; with a screenshot to
    // take, waits for the toolkit to draw it before the copy from the screen.
    void ShowPage(int page) {
        dialog->GetBookCtrl()->SetSelection(page);
        wxCheckedListCtrl* list = nullptr;
        if (page == OrbitalElementsDialog::ASTEROID_PAGE)
            list = dialog->GetAsteroidPage()->GetList();
        else if (page == OrbitalElementsDialog::COMET_PAGE)
            list = dialog->GetCometPage()->GetList();
        else if (page == OrbitalElementsDialog::DELETE_PAGE)
            list = dialog->GetDeletePage()->GetList();
        if (list && list->GetItemCount() > 3) {
            list->Check(1, true);
            list->Check(3, true);
            dialog->ApplyCurrentPage();
        }
        if (page == OrbitalElementsDialog::SINGLE_OBJECT_PAGE) {
            // 1 Ceres, epoch 2019 April 27, as the small-body database lists it.
            SingleObjectPanel* single = dialog->GetSingleObjectPage();
            const std::pair<SingleObjectPanel::Field, const char*> ceres[] = {
                {SingleObjectPanel::NAME, "1 Ceres"},      {SingleObjectPanel::E, "0.0760090265"},
                {SingleObjectPanel::A, "2.769165146"},     {SingleObjectPanel::I, "10.59406704"},
                {SingleObjectPanel::OMEGA, "80.30553157"}, {SingleObjectPanel::W, "73.59769469"},
                {SingleObjectPanel::TP, "2458849.7"},      {SingleObjectPanel::EPOCH, "2458600.5"},
                {SingleObjectPanel::M, "77.37209589"},     {SingleObjectPanel::MASS, "9.39e20"}};
            for (const auto& [field, text] : ceres)
                single->GetField(field)->SetValue(text);
            single->GetTypeChoice()->SetSelection(0);
            dialog->ApplyCurrentPage();
        }
        if (!screenshot.empty())
            shot_timer.StartOnce(1500);
    }

    void OnShoot() {
        const wxRect area(dialog->GetScreenPosition(), dialog->GetSize());
        wxBitmap bitmap(area.width, area.height, 24);
        {
            wxScreenDC screen;
            wxMemoryDC memory(bitmap);
            memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
        }
        if (!bitmap.ConvertToImage().SaveFile(screenshot, wxBITMAP_TYPE_PNG))
            failed = true;
        dialog->EndModal(wxID_CANCEL);
    }

    OrbitalElementsDialog* dialog = nullptr;
    wxString data = ".";
    wxString screenshot;
    int first_page = -1;
    wxTimer ticks, shot_timer;
    bool failed = false;
};

} // namespace

wxIMPLEMENT_APP(DemoApp);
