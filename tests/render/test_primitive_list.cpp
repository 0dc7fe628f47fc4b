// The scene's list held by value paints the very picture the straightforward
// list of heap objects paints: same primitives, farthest first, ties in the
// order of filing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <wx/pen.h>

#include "nbody/system.h"
#include "render/cairo_painter.h"
#include "render/display_list.h"
#include "render/image_canvas.h"
#include "render/scene.h"
#include "render/view_commands.h"

namespace {

const double AU = 1.49598e11;
const int W = 320, H = 240;

// Crossing trails, comets with tails, bodies sharing one point (equal depth
// keys) and labels over discs: every way two primitives can meet.
void fill(nbSystem& system) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> r(0.5, 6), a(0, 6.283), z(-0.4, 0.4);
    for (int k = 0; k < 40; ++k) {
        const std::string name = (k % 5 == 0 ? "C/2020 K" : "body ") + std::to_string(k);
        const double radius = r(rng) * AU, a0 = a(rng), tilt = z(rng);
        auto body = std::make_unique<nbBody>(name, 1e20, 5e8 * (1 + k % 4), vec3d(), vec3d());
        double t = 0;
        for (int p = 0; p < 120; ++p) {
            const double angle = a0 + 0.03 * p;
            body->position() =
                vec3d(radius * std::cos(angle), radius * std::sin(angle), tilt * radius);
            body->advance(1, t);
            t += 100;
        }
        body->graphics()->set_colour(nbColour(40 + 5 * k, 250 - 4 * k, (97 * k) % 256));
        body->graphics()->set_has_tail(k % 5 == 0);
        system.add(name, std::move(body));
    }
    // Twins on one point: their keys tie.
    for (const char* name : {"twin A", "twin B"}) {
        auto body = std::make_unique<nbBody>(name, 1e20, 2e9, vec3d(AU, AU, 0), vec3d());
        body->graphics()->set_colour(name[5] == 'A' ? nbColour(255, 0, 0) : nbColour(0, 0, 255));
        system.add(name, std::move(body));
    }
}

wxImage reference_picture(wxDCDraw& scene, const nbSystem& system) {
    ImageCanvas canvas(W, H);
    scene.draw_sorted_heap_list(canvas.dc(), system);
    return canvas.finish();
}

wxImage scene_picture(wxDCDraw& scene, const nbSystem& system) {
    ImageCanvas canvas(W, H);
    scene.draw(canvas.dc(), &system);
    return canvas.finish();
}

TEST(PrimitiveList, PaintsPixelForPixelWhatTheHeapListPaints) {
    nbSystem system(2451545.0);
    fill(system);
    wxDCDraw scene;
    scene.set_viewport(W, H);
    scene.update();
    view_start(scene, W, H);
    for (int k = 0; k < 3; ++k)
        view_zoom_in(scene, W, H);

    struct Case {
        const char* what;
        void (*view)(dcAdapter&);
        bool names, fade, axes, satellite_names;
    } cases[] = {
        {"north, everything", view_from_north_pole, true, true, true, true},
        {"oblique, no fading", view_from_oblique_viewpoint, true, false, true, false},
        {"equinox, no names", view_from_vernal_equinox, false, true, false, false},
    };
    for (const Case& c : cases) {
        c.view(scene);
        DisplayOptions options;
        options.names = c.names;
        options.fade_orbits = c.fade;
        options.axes = c.axes;
        options.satellite_names = c.satellite_names;
        scene.set_options(options);
        const wxImage expected = reference_picture(scene, system);
        // The second picture draws from the labels' kept layouts.
        scene_picture(scene, system);
        const wxImage painted = scene_picture(scene, system);
        ASSERT_EQ(painted.GetSize(), expected.GetSize());
        long differing = 0, lit = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const bool same = painted.GetRed(x, y) == expected.GetRed(x, y) &&
                                  painted.GetGreen(x, y) == expected.GetGreen(x, y) &&
                                  painted.GetBlue(x, y) == expected.GetBlue(x, y);
                differing += !same;
                lit += expected.GetRed(x, y) + expected.GetGreen(x, y) + expected.GetBlue(x, y) > 0;
            }
        EXPECT_EQ(differing, 0) << c.what;
        EXPECT_GT(lit, 2000) << c.what << ": the scene must show something to compare";
    }
}

// Simplified mode has no heap list to compare with: its direct painting is
// held against the same scene drawn through the device context alone.
TEST(PrimitiveList, SimplifiedModePaintsTheSameStraightOnCairo) {
    nbSystem system(2451545.0);
    fill(system);
    wxDCDraw scene;
    scene.set_viewport(W, H);
    scene.update();
    view_start(scene, W, H);
    view_zoom_in(scene, W, H);
    for (bool axes : {false, true}) {
        DisplayOptions options;
        options.simplified = true;
        options.axes = axes;
        scene.set_options(options);
        scene.set_direct_painting(false);
        const wxImage expected = scene_picture(scene, system);
        scene.set_direct_painting(true);
        const wxImage painted = scene_picture(scene, system);
        EXPECT_EQ(std::memcmp(painted.GetData(), expected.GetData(), 3 * W * H), 0)
            << "axes " << axes;
    }
}

TEST(PrimitiveList, OfTwoDiscsOnOnePointTheOneFiledLastIsOnTop) {
    nbSystem system(2451545.0);
    for (const char* name : {"twin A", "twin B"}) {
        auto body = std::make_unique<nbBody>(name, 1e20, 2e9, vec3d(AU, AU, 0), vec3d());
        body->graphics()->set_colour(name[5] == 'A' ? nbColour(255, 0, 0) : nbColour(0, 0, 255));
        system.add(name, std::move(body));
    }
    wxDCDraw scene;
    scene.set_viewport(W, H);
    scene.update();
    view_start(scene, W, H);
    view_from_oblique_viewpoint(scene);
    const wxImage painted = scene_picture(scene, system);
    int x = 0, y = 0;
    scene.project(vec3d(AU, AU, 0), x, y);
    EXPECT_EQ(painted.GetBlue(x + 1, y + 1), 255);
    EXPECT_EQ(painted.GetRed(x + 1, y + 1), 0);
}

// The direct strokes against the device context's own, for the widths the
// scene uses and lines in every direction, ending on and off the picture.
TEST(CairoPainter, StrokeWhatTheDeviceContextStrokes) {
    std::mt19937_64 rng(11);
    std::uniform_int_distribution<int> x(-40, W + 40), y(-40, H + 40);
    std::vector<wxPoint> points;
    for (int k = 0; k < 60; ++k)
        points.emplace_back(x(rng), y(rng));
    const dcRgb colours[] = {{255, 0, 0}, {10, 200, 90}, {0, 0, 255}};

    auto paint = [&](bool direct) {
        ImageCanvas canvas(W, H);
        CairoPainter cairo(canvas.dc());
        EXPECT_TRUE(cairo.ok()) << "the image canvas draws through Cairo";
        for (int width = 1; width <= 3; ++width) {
            const dcRgb c = colours[width - 1];
            for (std::size_t k = 0; k + 1 < points.size(); k += 2) {
                const wxPoint a = points[k] + wxPoint(width, 0), b = points[k + 1];
                if (direct) {
                    cairo.segment(a.x, a.y, b.x, b.y, c, width);
                } else {
                    canvas.dc().SetPen(wxPen(wxColour(c.r, c.g, c.b), width, wxPENSTYLE_SOLID));
                    canvas.dc().DrawLine(a.x, a.y, b.x, b.y);
                }
            }
        }
        if (direct) {
            cairo.polyline(static_cast<int>(points.size()), points.data(), dcRgb{250, 250, 0}, 1);
        } else {
            canvas.dc().SetPen(wxPen(wxColour(250, 250, 0), 1, wxPENSTYLE_SOLID));
            canvas.dc().DrawLines(static_cast<int>(points.size()), points.data());
        }
        return canvas.finish();
    };
    const wxImage direct = paint(true), expected = paint(false);
    ASSERT_EQ(direct.GetSize(), expected.GetSize());
    EXPECT_EQ(std::memcmp(direct.GetData(), expected.GetData(), 3 * W * H), 0);
    long lit = 0;
    for (int k = 0; k < 3 * W * H; ++k)
        lit += expected.GetData()[k] != 0;
    EXPECT_GT(lit, 5000);
}

} // namespace
