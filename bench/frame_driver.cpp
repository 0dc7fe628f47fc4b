// The real main window under load, for the figures no unit test may time:
//   zenorb-frame-bench ticks N SECONDS [--accurate] [--record FILE.mp4]
//                                        ticks per second while running with
//                                        N catalogue asteroids added and
//                                        their trails full, in the "High
//                                        accuracy" mode if asked, recording
//                                        a film of them if asked
//   zenorb-frame-bench memory N          resident memory with N bodies and
//                                        every trail full, after pictures
//   zenorb-frame-bench startup           launch to the first picture drawn
// Needs a display (run it under xvfb-run).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>

#include "bench/main_belt.h"
#include "gui/frame.h"
#include "nbody/factory.h"

namespace {

// Plausible main-belt asteroids at the system's date.
void add_asteroids(int n) {
    add_main_belt(*the_factory, n);
    the_factory->system()->zero_momentum();
}

// Resident and peak resident memory in MB.
std::pair<double, double> memory_mb() {
    std::ifstream status("/proc/self/status");
    double rss = 0, hwm = 0;
    for (std::string line; std::getline(status, line);) {
        std::istringstream in(line.substr(line.find(':') + 1));
        if (line.rfind("VmRSS:", 0) == 0)
            in >> rss;
        if (line.rfind("VmHWM:", 0) == 0)
            in >> hwm;
    }
    return {rss / 1024, hwm / 1024};
}

// Seconds since the process was started by the kernel.
double seconds_since_launch() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long start = 0;
    for (int k = 3; k <= 22 && fields >> field; ++k)
        if (k == 22)
            start = std::stoull(field);
    std::ifstream uptime_file("/proc/uptime");
    double uptime = 0;
    uptime_file >> uptime;
    return uptime - double(start) / sysconf(_SC_CLK_TCK);
}

class DriverApp : public wxApp {
public:
    bool OnInit() override {
        const wxArrayString args = argv.GetArguments();
        mode_ = args.size() > 1 ? args[1].utf8_string() : "";
        if (mode_ == "startup") {
            frame_ = new ZenorbFrame(nullptr);
            frame_->Show();
            // Runs after the first tick has drawn its picture.
            frame_->Bind(wxEVT_TIMER, [this](wxTimerEvent& event) {
                event.Skip();
                if (ticks_++ == 0)
                    CallAfter([this] {
                        std::printf("startup: %.3f s from launch to the first picture\n",
                                    seconds_since_launch());
                        frame_->Close(true);
                    });
            });
            return true;
        }
        long n = 0, seconds = 20;
        if (args.size() < 3 || !args[2].ToLong(&n) || n < 0 ||
            (mode_ == "ticks" && (args.size() < 4 || !args[3].ToLong(&seconds))) ||
            (mode_ != "ticks" && mode_ != "memory")) {
            std::fprintf(stderr, "usage: zenorb-frame-bench ticks N SECONDS [--accurate] "
                                 "[--record FILE.mp4] | memory N | startup\n");
            return false;
        }
        frame_ = new ZenorbFrame(nullptr);
        frame_->Show();
        wxString film;
        for (std::size_t k = 4; mode_ == "ticks" && k < args.size(); ++k) {
            if (args[k] == "--accurate") {
                tick_high_accuracy();
            } else if (args[k] == "--record" && k + 1 < args.size()) {
                film = args[++k];
            } else {
                std::fprintf(stderr, "unknown option %s\n", args[k].utf8_str().data());
                return false;
            }
        }
        wxStopWatch adding;
        add_asteroids(static_cast<int>(n));
        const long added_ms = adding.Time();
        frame_->RefreshBodyLists();
        std::printf("adding: %ld bodies in %ld ms, body lists filled in %ld ms more\n", n, added_ms,
                    adding.Time() - added_ms);
        if (mode_ == "ticks") {
            // What a user sees after a minute: every asteroid's trail full.
            step_until_trails_full();
            wxString error;
            if (!film.empty() && !frame_->StartRecording(film, error)) {
                std::fprintf(stderr, "cannot record: %s\n", error.utf8_str().data());
                return false;
            }
            run_ticks(static_cast<int>(seconds));
        } else {
            fill_trails();
        }
        return true;
    }

private:
    void tick_high_accuracy() {
        auto* box = dynamic_cast<wxCheckBox*>(wxWindow::FindWindowByName("ID_CHECKBOX11", frame_));
        box->SetValue(true);
        wxCommandEvent click(wxEVT_CHECKBOX, box->GetId());
        click.SetEventObject(box);
        click.SetInt(1);
        box->GetEventHandler()->ProcessEvent(click);
    }

    void press_gravitate() {
        auto* button = dynamic_cast<wxButton*>(wxWindow::FindWindowByName("ID_BUTTON2", frame_));
        wxCommandEvent click(wxEVT_BUTTON, button->GetId());
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }

    void run_ticks(int seconds) {
        // Counted, and ended, by the ticks themselves: a second timer would
        // starve while the ticks overrun their period.
        frame_->Bind(wxEVT_TIMER, [this, seconds](wxTimerEvent& event) {
            event.Skip();
            if (done_)
                return;
            ++ticks_;
            const double elapsed = clock_.Time() / 1000.0;
            if (elapsed < seconds)
                return;
            done_ = true;
            std::printf("ticks: %d bodies%s, %ld ticks in %.1f s = %.2f ticks per second\n",
                        int(the_factory->system()->size()),
                        the_factory->high_accuracy() ? " (high accuracy)" : "", ticks_, elapsed,
                        ticks_ / elapsed);
            if (frame_->GetFilmRecorder().recording()) {
                const long frames = frame_->GetFilmRecorder().frames();
                wxString error;
                const bool saved = frame_->StopRecording(error);
                std::printf("film: %ld frames %s\n", frames,
                            saved ? "saved" : error.utf8_str().data());
            }
            std::fflush(stdout);
            // Idle work waits while ticks overrun their period: stop them first.
            frame_->StopTicks();
            frame_->Close(true);
        });
        press_gravitate();
        clock_.Start();
    }

    // Long steps until the trail of every added asteroid holds all it can
    // (the outer planets' would take centuries); the number of steps.
    int step_until_trails_full() {
        nbSystem* system = the_factory->system();
        auto asteroids_full = [system] {
            for (const auto& entry : *system)
                if (entry.first.front() == '(' &&
                    entry.second->trail_size() < entry.second->trail_capacity())
                    return false;
            return true;
        };
        int steps = 0;
        for (; !asteroids_full() && steps < 20000; ++steps)
            system->step(5 * SECONDS_PER_DAY);
        return steps;
    }

    // Full trails, then pictures, which fill the picture's storage too.
    void fill_trails() {
        nbSystem* system = the_factory->system();
        frame_->StopTicks();
        auto points_held = [system] {
            std::size_t n = 0;
            for (const auto& entry : *system)
                n += entry.second->trail_size();
            return n;
        };
        const int steps = step_until_trails_full();
        const std::size_t points = points_held();
        for (int k = 0; k < 5; ++k)
            frame_->RedrawScene();
        const auto [rss, hwm] = memory_mb();
        std::printf("memory: %zu bodies, %zu trail points after %d steps: resident %.1f MB, "
                    "peak %.1f MB\n",
                    system->size(), points, steps, rss, hwm);
        frame_->Close(true);
    }

    std::string mode_;
    ZenorbFrame* frame_ = nullptr;
    long ticks_ = 0;
    wxStopWatch clock_;
    bool done_ = false;
};

} // namespace

wxIMPLEMENT_APP_NO_MAIN(DriverApp);

int main(int argc, char** argv) {
    return wxEntry(argc, argv);
}
