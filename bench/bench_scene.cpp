// Cost of one picture of N bodies, each with a full trail, in both drawing
// modes: the program redraws every 55 ms, so this decides how many bodies
// stay smooth. N = 0 measures the picture alone: canvas, clock label, copy.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "nbody/system.h"
#include "render/cairo_painter.h"
#include "render/image_canvas.h"
#include "render/picture.h"
#include "render/raster_canvas.h"
#include "render/scene.h"
#include "render/view_commands.h"

namespace {

const int WIDTH = 1280, HEIGHT = 960;

// N light bodies on circles of 0.3 to 20 AU, each with a full trail of 300 points
// along its circle, the newest at its present position.
void fill_system(nbSystem& system, int n) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> radius(0.3, 20), angle(0, 2 * M_PI), tilt(-0.1, 0.1);
    for (int k = 0; k < n; ++k) {
        const std::string name = "body" + std::to_string(k);
        const double r = radius(rng) * ASTRONOMICAL_UNIT, a0 = angle(rng), z = tilt(rng);
        auto body = std::make_unique<nbBody>(name, 3e10, 1e6, vec3d(), vec3d());
        double t = 0;
        for (int p = 0; p < 300; ++p) {
            const double a = a0 + p * 0.01;
            body->position() = vec3d(r * std::cos(a), r * std::sin(a), r * z * std::sin(a));
            body->advance(1, t);
            t += 100; // more than any recording interval
        }
        body->graphics()->set_colour(nbColour(40 + k % 200, 255 - k % 200, 128));
        system.add(name, std::move(body));
    }
}

// The program's start-up view of 20 AU, turned to the oblique viewpoint.
void oblique_view(wxDCDraw& scene) {
    scene.set_viewport(WIDTH, HEIGHT);
    scene.update();
    view_start(scene, WIDTH, HEIGHT);
    view_from_oblique_viewpoint(scene);
}

enum class Path { DisplayList, Simplified, Raster };

void draw_pictures(benchmark::State& state, Path path) {
    nbSystem system(2451545.0);
    fill_system(system, static_cast<int>(state.range(0)));
    wxDCDraw scene;
    oblique_view(scene);
    // The program's start-up options: orbits, fading and names on.
    DisplayOptions options;
    options.simplified = path == Path::Simplified;
    scene.set_options(options);
    RasterCanvas raster;
    std::size_t labels = 0;
    for (auto _ : state) {
        ImageCanvas canvas(WIDTH, HEIGHT);
        if (path == Path::Raster)
            compose_picture(canvas.dc(), scene, &system, options, "", WIDTH, HEIGHT, &raster);
        else
            scene.draw(canvas.dc(), &system);
        labels = scene.label_boxes().size();
        benchmark::DoNotOptimize(canvas.finish());
    }
    state.counters["labels"] = double(labels);
}

void BM_PictureDisplayList(benchmark::State& state) {
    draw_pictures(state, Path::DisplayList);
}
void BM_PictureSimplified(benchmark::State& state) {
    draw_pictures(state, Path::Simplified);
}
// Display-list mode as the window draws it: the program's scan converter,
// then the labels over it.
void BM_PictureRaster(benchmark::State& state) {
    draw_pictures(state, Path::Raster);
}
// What Cairo's own stroking costs for the segments of the same picture,
// already projected and in one colour: the floor of the trail drawing.
void BM_PictureSegmentsOnly(benchmark::State& state) {
    nbSystem system(2451545.0);
    fill_system(system, static_cast<int>(state.range(0)));
    wxDCDraw scene;
    oblique_view(scene);
    {
        ImageCanvas canvas(WIDTH, HEIGHT);
        scene.draw(canvas.dc(), &system);
    }
    std::vector<wxPoint> ends;
    for (const dcPrimitiveList::Item& item : scene.primitives().items()) {
        if (item.kind != dcPrimitiveList::Kind::Line)
            continue;
        int x1, y1, x2, y2;
        scene.project(item.a, x1, y1);
        scene.project(item.b, x2, y2);
        ends.emplace_back(x1, y1);
        ends.emplace_back(x2, y2);
    }
    for (auto _ : state) {
        ImageCanvas canvas(WIDTH, HEIGHT);
        CairoPainter cairo(canvas.dc());
        for (std::size_t k = 0; k + 1 < ends.size(); k += 2)
            cairo.segment(ends[k].x, ends[k].y, ends[k + 1].x, ends[k + 1].y, dcRgb{0, 200, 80}, 1);
        benchmark::DoNotOptimize(canvas.finish());
    }
    state.counters["segments"] = double(ends.size() / 2);
}

BENCHMARK(BM_PictureDisplayList)->Arg(0)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureSimplified)->Arg(0)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureRaster)
    ->Arg(0)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureDisplayList)
    ->Name("BM_PictureDisplayList/cairo")
    ->Arg(40000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureSegmentsOnly)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
