// Cost of a film of the solar system and a thousand main-belt asteroids with
// their trails at 1280 x 720: encoding alone (FilmWriter::add of pictures
// drawn beforehand), and the simulator's --film frame whole (a step, the
// picture, its encoding). A film needs 30 frames per second of wall time
// beside the picture to keep up with a recording.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <wx/image.h>

#include "bench/main_belt.h"
#include "film/film_writer.h"
#include "nbody/factory.h"
#include "nbody/system.h"
#include "render/picture.h"
#include "render/scene.h"
#include "render/view_commands.h"

namespace {

const int WIDTH = 1280, HEIGHT = 720, FPS = 30;
const double JD = 2461041.5;
const double STEP_S = 2 * 86400.0;

// The solar system and a thousand asteroids, stepped until their trails
// are full.
std::unique_ptr<nbSystem> belt_system() {
    auto own = main_belt_system(JD, 1000);
    for (int k = 0; k < 400; ++k)
        own->step(STEP_S);
    return own;
}

struct Film {
    wxDCDraw scene;
    std::unique_ptr<nbSystem> system = belt_system();
    DisplayOptions options; // the program's start: orbits, fading, names
    std::string path = "/tmp/zenorb-bench-film-" + std::to_string(getpid()) + ".mp4";
    FilmWriter writer;

    Film() {
        scene.set_viewport(WIDTH, HEIGHT);
        scene.update();
        view_start(scene, WIDTH, HEIGHT);
        view_from_north_pole(scene);
    }
    ~Film() {
        std::string ignored;
        writer.finish(ignored);
        std::remove(path.c_str());
    }
    wxImage picture() { return draw_picture(scene, system.get(), options, "Sun", WIDTH, HEIGHT); }
    bool open(benchmark::State& state) {
        std::string error;
        if (writer.open(path, WIDTH, HEIGHT, FPS, error))
            return true;
        state.SkipWithError(error.c_str());
        return false;
    }
    bool add(benchmark::State& state, const wxImage& image) {
        const FilmFrame frame{image.GetData(), WIDTH, HEIGHT, WIDTH * 3, PixelLayout::Rgb};
        std::string error;
        if (writer.add(frame, error))
            return true;
        state.SkipWithError(error.c_str());
        return false;
    }
};

void count_frames(benchmark::State& state, const Film& film) {
    state.counters["frames_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetLabel(film.writer.codec());
}

// A second of the film drawn beforehand, each picture a step on: the
// encoder sees motion, as in a recording.
void BM_FilmEncodeOnly(benchmark::State& state) {
    Film film;
    std::vector<wxImage> second;
    for (int k = 0; k < FPS; ++k) {
        film.system->step(STEP_S);
        second.push_back(film.picture());
    }
    if (!film.open(state))
        return;
    std::size_t k = 0;
    for (auto _ : state)
        if (!film.add(state, second[k++ % second.size()]))
            break;
    count_frames(state, film);
}

// The step and the picture alone, for comparison with the whole frame.
void BM_FilmPictureOnly(benchmark::State& state) {
    Film film;
    for (auto _ : state) {
        film.system->step(STEP_S);
        benchmark::DoNotOptimize(film.picture());
    }
    count_frames(state, film);
}

// What zenorb-sim --film does per frame.
void BM_FilmPictureAndEncode(benchmark::State& state) {
    Film film;
    if (!film.open(state))
        return;
    for (auto _ : state) {
        film.system->step(STEP_S);
        if (!film.add(state, film.picture()))
            break;
    }
    count_frames(state, film);
}

} // namespace

BENCHMARK(BM_FilmEncodeOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FilmPictureOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FilmPictureAndEncode)->Unit(benchmark::kMillisecond)->UseRealTime();
