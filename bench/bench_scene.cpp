// Cost of one picture of N bodies, each with a full trail, in both drawing
// modes: the program redraws every 55 ms, so this decides how many bodies
// stay smooth. N = 0 measures the picture alone: canvas, clock label, copy.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>

#include "nbody/system.h"
#include "render/image_canvas.h"
#include "render/scene.h"
#include "render/view_commands.h"

namespace {

const int WIDTH = 1280, HEIGHT = 960;

// N bodies on circles of 0.3 to 20 AU, each with a full trail of 300 points
// along its circle, the newest at its present position.
void fill_system(nbSystem& system, int n) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> radius(0.3, 20), angle(0, 2 * M_PI), tilt(-0.1, 0.1);
    for (int k = 0; k < n; ++k) {
        const std::string name = "body" + std::to_string(k);
        const double r = radius(rng) * ASTRONOMICAL_UNIT, a0 = angle(rng), z = tilt(rng);
        auto body = std::make_unique<nbBody>(name, 1e20, 1e6, vec3d(), vec3d());
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

void draw_pictures(benchmark::State& state, bool display_list) {
    nbSystem system(2451545.0);
    fill_system(system, static_cast<int>(state.range(0)));
    wxDCDraw scene;
    scene.set_viewport(WIDTH, HEIGHT);
    scene.update();
    view_start(scene, WIDTH, HEIGHT);
    view_from_oblique_viewpoint(scene);
    // The program's start-up options: orbits, fading and names on.
    scene.set_display_list(display_list);
    scene.set_orbits(true);
    scene.set_fade_orbits(true);
    scene.set_names(true);
    for (auto _ : state) {
        ImageCanvas canvas(WIDTH, HEIGHT);
        scene.draw(canvas.dc(), &system);
        benchmark::DoNotOptimize(canvas.finish());
    }
}

void BM_PictureDisplayList(benchmark::State& state) {
    draw_pictures(state, true);
}
void BM_PictureSimplified(benchmark::State& state) {
    draw_pictures(state, false);
}

BENCHMARK(BM_PictureDisplayList)->Arg(0)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureSimplified)->Arg(0)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
