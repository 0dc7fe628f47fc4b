// Filling, sorting and filtering the asteroid catalogue page with tens of
// thousands of element sets, beside the straightforward way of filling and
// sorting. Needs a display (run under xvfb-run): the list control is a real
// window. A keystroke in the filter box is timed from the text's change to
// the list drawn anew, with the count line; last, Apply with every row
// checked.
//
//   zenorb-bench-catalog-page [--rows N] [--repeat R] [--fill-only]
//
// --fill-only stops after the page's own fill (for a profiler).
// The sets are synthetic but plausible main-belt and near-Earth orbits,
// written to a temporary catalogue file and read by the factory's reader.
// Eccentricities and inclinations are rounded as in the published lists, so
// that many rows share a key.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/stopwatch.h>
#include <wx/textctrl.h>

#include "gui/catalog_panel.h"
#include "gui/list_columns.h"
#include "nbody/factory.h"

namespace {

const double JD_2014_MAY_23 = 2456800.5;

// A catalogue line in the asteroid layout: name, date of M, e, a, i, node,
// perihelion, equinox, M, H, G.
std::string asteroid_line(int k, std::mt19937_64& rng) {
    std::uniform_real_distribution<double> unit(0, 1);
    const bool near_earth = k % 10 == 0;
    const double a = near_earth ? 0.8 + 1.6 * unit(rng) : 2.1 + 1.4 * unit(rng);
    const double e = near_earth ? 0.05 + 0.7 * unit(rng) : 0.25 * unit(rng);
    const double i = 30 * unit(rng) * unit(rng);
    char line[160];
    std::snprintf(line, sizeof line,
                  "%6d 20%02d %c%c%d |2014 05 23.000|%.3f|%.6f|%5.1f|%.4f|%.4f| 2000|%.4f|%.2f| "
                  "0.15|   0.00\n",
                  k + 1, k % 100, 'A' + k % 24, 'A' + (k / 24) % 25, k % 200, e, a, i,
                  360 * unit(rng), 360 * unit(rng), 360 * unit(rng), 12 + 8 * unit(rng));
    return line;
}

std::string write_catalogue(int rows) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("zenorb-bench-catalogue-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream out(dir / nbFactory::BRIGHT_FILE, std::ios::binary);
    std::mt19937_64 rng(20140523);
    for (int k = 0; k < rows; ++k)
        out << asteroid_line(k, rng);
    return dir.string();
}

// The fill as first written: rows stored by the toolkit, which measures every
// text put into them, the Earth placed anew for every set, the list drawing
// as it grows, and every row unchecked one by one.
void straightforward_fill(wxCheckedListCtrl* list, int kind, double jd) {
    list->ClearAll();
    list->InsertColumn(0, "Object", wxLIST_FORMAT_LEFT, 150);
    list->InsertColumn(1, "Earth distance [AU]", wxLIST_FORMAT_RIGHT, 110);
    list->InsertColumn(2, "Eccentricity", wxLIST_FORMAT_RIGHT, 80);
    list->InsertColumn(3, "Inclination [deg]", wxLIST_FORMAT_RIGHT, 100);
    list->InsertColumn(4, "Perihelion distance [AU]", wxLIST_FORMAT_RIGHT, 130);
    long row = 0;
    for (auto it = the_factory->catalogue_begin(); it != the_factory->catalogue_end(); ++it) {
        const nbOrbitalElements* set = it->get();
        if (set->type_code() != kind)
            continue;
        list->InsertItem(row, wxString(set->name()));
        list->SetItemPtrData(row, reinterpret_cast<wxUIntPtr>(set));
        list->SetItem(row, 1, wxString::Format("%f", set->earth_distance(jd)));
        list->SetItem(row, 2, wxString::Format("%f", set->e()));
        list->SetItem(row, 3, wxString::Format("%f", set->i()));
        list->SetItem(row, 4, wxString::Format("%f", set->perihelion_distance()));
        ++row;
    }
    for (long r = 0; r < list->GetItemCount(); ++r)
        list->Check(r, false);
}

// The sort callback without the per-sort distance cache: the Earth distance is
// computed at every comparison, twice. (Sorting rows stored by the toolkit.)
int wxCALLBACK straightforward_compare(wxIntPtr item1, wxIntPtr item2, wxIntPtr sort_data) {
    const auto* a = reinterpret_cast<const nbOrbitalElements*>(item1);
    const auto* b = reinterpret_cast<const nbOrbitalElements*>(item2);
    const int sign = sort_data > 0 ? 1 : -1;
    if (std::labs(sort_data) != 2)
        return CatalogPanel::CompareElements(item1, item2, sort_data);
    return compare_sort_keys(a->earth_distance(catalogue_reference_jd),
                             b->earth_distance(catalogue_reference_jd), sign);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Milliseconds of the median of `repeat` runs of work, each after setup.
double time_ms(int repeat, const std::function<void()>& setup, const std::function<void()>& work) {
    std::vector<double> runs;
    for (int r = 0; r < repeat; ++r) {
        setup();
        wxStopWatch clock;
        work();
        runs.push_back(clock.TimeInMicro().ToDouble() / 1000.0);
    }
    return median(runs);
}

void click_column(wxCheckedListCtrl* list, int col) {
    wxListEvent click(wxEVT_LIST_COL_CLICK, list->GetId());
    click.SetEventObject(list);
    click.m_col = col;
    list->GetEventHandler()->ProcessEvent(click);
}

class BenchApp : public wxApp {
public:
    bool OnInit() override {
        for (int k = 1; k + 1 < argc; ++k) {
            if (argv[k] == "--rows")
                rows = std::max(1, wxAtoi(argv[k + 1]));
            else if (argv[k] == "--repeat")
                repeat = std::max(1, wxAtoi(argv[k + 1]));
        }
        for (int k = 1; k < argc; ++k)
            if (argv[k] == "--fill-only")
                fill_only = true;
        SetExitOnFrameDelete(false);
        CallAfter([this] {
            run();
            ExitMainLoop();
        });
        return true;
    }

private:
    void run() {
        const std::string dir = write_catalogue(rows);
        the_factory->create_solar_system(JD_2014_MAY_23);
        the_factory->load_catalogues(dir, true);
        std::printf("%zu asteroid sets read\n", the_factory->catalogue_size());

        auto* frame = new wxFrame(nullptr, wxID_ANY, "catalogue page benchmark", wxPoint(20, 20),
                                  wxSize(800, 600));
        auto* page = new CatalogPanel(frame, wxID_ANY, wxString(dir));
        page->SetObjectKind(2);
        // The straightforward way's list: rows stored by the toolkit.
        auto* stored = new wxCheckedListCtrl(frame, wxID_ANY, wxDefaultPosition, wxSize(620, 300),
                                             wxLC_REPORT);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(page, 1, wxEXPAND);
        sizer->Add(stored, 1, wxEXPAND);
        frame->SetSizer(sizer);
        frame->Show();
        settle();
        wxCheckedListCtrl* list = page->GetList();

        const double jd = JD_2014_MAY_23;
        const auto clear = [&] {
            list->ClearAll();
            stored->ClearAll();
            settle();
        };
        std::printf("fill, %d rows (median of %d):\n", rows, repeat);
        std::printf("  page Load                %8.1f ms\n",
                    time_ms(repeat, clear, [&] { page->Load(); }));
        std::printf("  page Load + first paint  %8.1f ms\n", time_ms(repeat, clear, [&] {
                        page->Load();
                        frame->Update();
                    }));
        if (fill_only) {
            frame->Destroy();
            settle();
            return;
        }
        std::printf("  straightforward fill     %8.1f ms\n",
                    time_ms(repeat, clear, [&] { straightforward_fill(stored, 2, jd); }));

        page->Load();
        straightforward_fill(stored, 2, jd);
        settle();
        static const char* names[] = {"Object", "Earth distance [AU]", "Eccentricity",
                                      "Inclination [deg]", "Perihelion distance [AU]"};
        std::printf("sort by column, each click flips the direction (median of %d):\n", repeat);
        for (int col = 0; col < 5; ++col) {
            std::vector<double> runs;
            for (int r = 0; r < 2 * repeat; ++r) {
                wxStopWatch clock;
                click_column(list, col);
                runs.push_back(clock.TimeInMicro().ToDouble() / 1000.0);
            }
            std::printf("  %-26s %8.1f ms\n", names[col], median(runs));
        }
        for (int col : {1, 2}) {
            std::vector<double> runs;
            for (int r = 0; r < repeat; ++r) {
                wxStopWatch clock;
                stored->SortItems(straightforward_compare, (r % 2 ? -1 : 1) * (col + 1));
                runs.push_back(clock.TimeInMicro().ToDouble() / 1000.0);
            }
            std::printf("  straightforward, %-9s %8.1f ms\n", col == 1 ? "distance" : "e",
                        median(runs));
        }

        // Typing a designation into the filter box and taking it back, one
        // keystroke at a time; each is timed until the list has been drawn.
        const wxString typed = "2014 aa1";
        std::vector<wxString> texts;
        for (std::size_t n = 1; n <= typed.length(); ++n)
            texts.push_back(typed.Left(n));
        for (std::size_t n = typed.length() - 1; n > 0; --n)
            texts.push_back(typed.Left(n));
        texts.push_back("");
        std::vector<double> strokes;
        for (int r = 0; r < repeat; ++r)
            for (const wxString& text : texts) {
                wxStopWatch clock;
                page->GetFilter()->SetValue(text);
                frame->Update();
                strokes.push_back(clock.TimeInMicro().ToDouble() / 1000.0);
            }
        std::printf("filter keystroke, %zu strokes over %d rows:\n", strokes.size(), rows);
        std::printf("  median                   %8.2f ms\n", median(strokes));
        std::printf("  slowest                  %8.2f ms\n",
                    *std::max_element(strokes.begin(), strokes.end()));

        // Apply with every row checked: the bodies made, then added, with
        // the progress dialog past half a second. Once, as it fills the system.
        {
            const std::size_t before = the_factory->system()->size();
            list->CheckAll(true);
            wxStopWatch clock;
            page->Apply();
            std::printf("apply, every row checked  %8.1f ms (%zu bodies added)\n",
                        clock.TimeInMicro().ToDouble() / 1000.0,
                        the_factory->system()->size() - before);
        }

        frame->Destroy();
        settle();
        the_factory->delete_system();
        the_factory->clear_catalogue();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    static void settle() {
        for (int k = 0; k < 5; ++k) {
            wxTheApp->ProcessPendingEvents();
            wxTheApp->Yield(true);
        }
    }

    int rows = 30000;
    int repeat = 3;
    bool fill_only = false;
};

} // namespace

wxIMPLEMENT_APP(BenchApp);
