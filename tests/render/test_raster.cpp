// The window's picture path: the program's scan converter beside Cairo's,
// labels that never overlap, and crowds that stay safe to draw.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "nbody/elements.h"
#include "nbody/factory.h"
#include "nbody/system.h"
#include "pixels.h"
#include "render/image_canvas.h"
#include "render/picture.h"
#include "render/raster_canvas.h"
#include "render/scene.h"
#include "render/view_commands.h"
#include "session/simulation_start.h"

namespace {

const double AU = ASTRONOMICAL_UNIT;
const int W = 640, H = 480;

// The solar system of 2000-01-01 a year on, trails grown, with `asteroids`
// light bodies and one comet with a tail.
nbSystem* start(nbFactory& factory, wxDCDraw& scene) {
    scene.set_viewport(W, H);
    scene.update();
    return start_simulation(factory, scene, 2451545.0, W, H);
}

nbSystem* busy_system(nbFactory& factory, wxDCDraw& scene, int asteroids) {
    nbSystem* system = start(factory, scene);
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> a(0.8, 4.5), e(0, 0.3), i(0, 20), angle(0, 360);
    for (int k = 0; k < asteroids; ++k) {
        const std::string name = "(" + std::to_string(k + 1) + ") Crowd";
        nbOrbitalElementsAsteroid set(name, a(rng), e(rng), i(rng), angle(rng), angle(rng), 0,
                                      system->time(), angle(rng));
        system->add(name, factory.create_body(set, system->time()));
    }
    nbOrbitalElementsComet comet("1P/Test", 0.6, 0.9, 10, 40, 60, system->time() + 30,
                                 system->time());
    if (auto body = factory.create_body(comet, system->time()))
        system->add(comet.name(), std::move(body));
    for (int k = 0; k < 400; ++k)
        system->step(DEFAULT_STEP_DAYS * SECONDS_PER_DAY * 4);
    return system;
}

wxImage raster_picture(wxDCDraw& scene, const nbSystem* system, const DisplayOptions& options) {
    ImageCanvas canvas(W, H);
    RasterCanvas raster;
    compose_picture(canvas.dc(), scene, system, options, "", W, H, &raster);
    return canvas.finish();
}

// Pixels where some channel differs by more than `tolerance`.
long differing_pixels(const wxImage& a, const wxImage& b, int tolerance) {
    long differing = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const wxColour p = pixel(a, x, y), q = pixel(b, x, y);
            differing += std::abs(p.Red() - q.Red()) > tolerance ||
                         std::abs(p.Green() - q.Green()) > tolerance ||
                         std::abs(p.Blue() - q.Blue()) > tolerance;
        }
    return differing;
}

// Share of pixels where some channel differs by more than 32.
double differing_share(const wxImage& a, const wxImage& b) {
    return double(differing_pixels(a, b, 32)) / (W * H);
}

long lit_pixels(const wxImage& image) {
    long lit = 0;
    for (int y = 30; y < H; ++y) // below the clock
        for (int x = 0; x < W; ++x)
            lit += pixel(image, x, y) != *wxBLACK;
    return lit;
}

TEST(RasterPicture, DrawsWhatCairoDrawsOnEveryView) {
    init_default_graphics();
    nbFactory factory;
    wxDCDraw scene;
    nbSystem* system = busy_system(factory, scene, 150);
    DisplayOptions options;
    options.axes = true;
    for (int view = 0; view < 3; ++view) {
        if (view == 1)
            view_from_oblique_viewpoint(scene);
        if (view == 2)
            view_zoom_in(scene, W, H);
        const wxImage cairo = draw_picture(scene, system, options, "", W, H);
        const wxImage raster = raster_picture(scene, system, options);
        ASSERT_TRUE(cairo.IsOk() && raster.IsOk());
        // Something is drawn, and the same something.
        EXPECT_GT(lit_pixels(raster), W * H / 100) << "view " << view;
        EXPECT_LE(differing_share(cairo, raster), 0.01) << "view " << view;
    }
}

TEST(RasterPicture, LabelsNeverOverlapAndThePlanetsAlwaysShow) {
    init_default_graphics();
    nbFactory factory;
    wxDCDraw scene;
    nbSystem* system = busy_system(factory, scene, 2000);
    for (bool simplified : {false, true}) {
        DisplayOptions options;
        options.simplified = simplified;
        raster_picture(scene, system, options);
        const auto& boxes = scene.label_boxes();
        ASSERT_GT(boxes.size(), 11u);
        for (std::size_t a = 0; a < boxes.size(); ++a)
            for (std::size_t b = a + 1; b < boxes.size(); ++b)
                ASSERT_FALSE(boxes[a].overlaps(boxes[b])) << a << " and " << b;
        for (const char* planet : {"Sun", "Mercury", "Venus", "Earth", "Mars", "Jupiter"})
            EXPECT_EQ(scene.labelled_bodies().count(system->find(planet)), 1u) << planet;
        // A crowd of two thousand shows only a share of its names.
        EXPECT_LT(scene.labelled_bodies().size(), system->size() / 2);
    }
}

TEST(RasterPicture, TheTrackedBodyIsNamedBeforeTheCrowd) {
    init_default_graphics();
    nbFactory factory;
    wxDCDraw scene;
    nbSystem* system = busy_system(factory, scene, 3000);
    // A crowd member whose name is blocked without priority.
    const nbBody* hidden = nullptr;
    raster_picture(scene, system, DisplayOptions());
    for (const nbBody* body : system->bodies())
        if (!scene.labelled_bodies().count(body) &&
            body->name().find("Crowd") != std::string::npos) {
            int x, y;
            scene.project(body->position(), x, y);
            if (x > 0 && y > 40 && x < W - 100 && y < H - 20) {
                hidden = body;
                break;
            }
        }
    ASSERT_NE(hidden, nullptr);
    scene.set_label_priority({hidden->name()});
    raster_picture(scene, system, DisplayOptions());
    EXPECT_EQ(scene.labelled_bodies().count(hidden), 1u);
}

// Labels of bodies added and removed over a long session are dropped
// between pictures, never while a picture still holds them.
TEST(RasterPicture, FiveThousandLabelledBodiesDrawSafelyAgainAndAgain) {
    init_default_graphics();
    nbFactory factory;
    wxDCDraw scene;
    nbSystem* system = start(factory, scene);
    DisplayOptions options;
    options.satellite_names = true;
    for (int round = 0; round < 3; ++round) {
        for (int k = 0; k < 5000; ++k) {
            const std::string name =
                "Round " + std::to_string(round) + " body " + std::to_string(k);
            const double r = (0.5 + 4.0 * k / 5000) * AU, a = k * 0.37;
            system->add(name, std::make_unique<nbBody>(name, 3e10, 1,
                                                       vec3d(r * std::cos(a), r * std::sin(a), 0),
                                                       vec3d()));
        }
        const wxImage cairo = draw_picture(scene, system, options, "", W, H);
        const std::size_t labels = scene.labelled_bodies().size();
        // Pictures of the same crowd show the same names.
        EXPECT_GT(labels, 20u);
        const wxImage raster = raster_picture(scene, system, options);
        EXPECT_GT(lit_pixels(cairo), 0);
        EXPECT_LE(differing_share(cairo, raster), 0.01);
        for (int k = 0; k < 5000; ++k)
            system->remove("Round " + std::to_string(round) + " body " + std::to_string(k));
    }
}

TEST(RasterPicture, TwoThreadsPaintThePixelsOfOne) {
    init_default_graphics();
    nbFactory factory;
    wxDCDraw scene;
    nbSystem* system = busy_system(factory, scene, 1500);
    DisplayOptions options;
    options.axes = true;
    view_from_oblique_viewpoint(scene);
    const wxImage two = raster_picture(scene, system, options);
    scene.set_parallel(false);
    const wxImage one = raster_picture(scene, system, options);
    ASSERT_TRUE(one.IsOk() && two.IsOk());
    EXPECT_EQ(differing_pixels(one, two, 0), 0);
    EXPECT_GT(lit_pixels(one), W * H / 20);
}

TEST(RasterCanvas, SegmentsIncludeBothEndsAndClipFarOffEnds) {
    RasterCanvas canvas;
    canvas.reset(20, 10);
    canvas.set_colour(dcRgb{255, 0, 0});
    canvas.segment(2, 3, 9, 3);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(canvas.pixel(x, 3) != 0, x >= 2 && x <= 9) << x;
    // A segment from far outside crosses the canvas on its line only, and
    // at once (no stepping over a billion pixels).
    canvas.reset(20, 10);
    canvas.segment(-1000000000, 5, 1000000000, 5);
    for (int x = 0; x < 20; ++x)
        EXPECT_NE(canvas.pixel(x, 5), 0u) << x;
    EXPECT_EQ(canvas.pixel(3, 4), 0u);
    canvas.reset(20, 10);
    canvas.segment(-50, -50, -10, 200);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(canvas.pixel(x, y), 0u);
}

TEST(RasterCanvas, DiscsAreRoundAndWideSegmentsWide) {
    RasterCanvas canvas;
    canvas.reset(40, 40);
    canvas.set_colour(dcRgb{0, 0, 255});
    canvas.disc(20, 20, 5);
    EXPECT_EQ(canvas.pixel(20, 20), 0xffu);
    EXPECT_EQ(canvas.pixel(25, 20), 0xffu);
    EXPECT_EQ(canvas.pixel(20, 15), 0xffu);
    EXPECT_EQ(canvas.pixel(26, 20), 0u);
    EXPECT_EQ(canvas.pixel(25, 25), 0u) << "a disc, not a square";
    canvas.reset(40, 40);
    canvas.segment(5, 10, 30, 10, 3);
    EXPECT_NE(canvas.pixel(15, 9), 0u);
    EXPECT_NE(canvas.pixel(15, 11), 0u);
    EXPECT_EQ(canvas.pixel(15, 12), 0u);
}

} // namespace
