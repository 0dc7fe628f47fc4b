// The display list the pictures are painted from: farthest first, ties in
// the order of filing, and the same pixels straight on Cairo as through the
// device context's own calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <wx/pen.h>

#include "nbody/system.h"
#include "pixels.h"
#include "render/cairo_painter.h"
#include "render/image_canvas.h"
#include "render/scene.h"
#include "render/view.h"
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

wxImage scene_picture(wxDCDraw& scene, const nbSystem& system) {
    ImageCanvas canvas(W, H);
    scene.draw(canvas.dc(), &system);
    return canvas.finish();
}

TEST(PrimitiveList, PaintsStraightOnCairoWhatTheDeviceContextPaints) {
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
        scene.set_direct_painting(false);
        const wxImage expected = scene_picture(scene, system);
        scene.set_direct_painting(true);
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

// Simplified mode paints without the list, straight on Cairo too.
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

// A 400 x 300 picture seen from ecliptic north, where larger z is nearer;
// 1 AU = 20 px, the origin at (200, 150). Painted straight on Cairo or
// through the device context.
struct ListPicture {
    dcAdapter view;
    dcPrimitiveList list;
    ListPicture() {
        view.set_viewport(400, 300);
        view.update();
        view_start(view, 400, 300);
        list.reset(view.viewpoint());
    }
    wxImage paint(bool direct) {
        ImageCanvas canvas(400, 300);
        list.draw(canvas.dc(), view, direct);
        return canvas.finish();
    }
};

const dcRgb RED{255, 0, 0}, GREEN{0, 255, 0}, BLUE{0, 0, 255}, YELLOW{255, 255, 0},
    CYAN{0, 255, 255};
const wxColour BLACK(0, 0, 0);

wxColour wx(dcRgb c) {
    return wxColour(c.r, c.g, c.b);
}

TEST(PrimitiveList, FartherItemsComeFirstAndEqualKeysKeepTheOrderOfAdding) {
    for (bool direct : {true, false}) {
        ListPicture pic;
        // Added nearest first: only the depth order puts the far disc under.
        pic.list.add_circle(vec3d(0, 0, AU), 0.25 * AU, YELLOW, -1); // 5 px
        pic.list.add_circle(vec3d(), 0.5 * AU, GREEN, -1);           // 10 px
        pic.list.add_circle(vec3d(), 0.5 * AU, BLUE, -1);            // the same key, later
        pic.list.add_circle(vec3d(0, 0, -AU), 0.75 * AU, RED, -1);   // 15 px
        const wxImage image = pic.paint(direct);
        EXPECT_EQ(pixel(image, 200, 150), wx(YELLOW)) << direct;
        EXPECT_EQ(pixel(image, 207, 150), wx(BLUE)) << direct;
        EXPECT_EQ(pixel(image, 212, 150), wx(RED)) << direct;
        EXPECT_EQ(pixel(image, 220, 150), BLACK) << direct;
    }
}

TEST(PrimitiveList, WithoutAViewpointItemsArePaintedInTheOrderOfAdding) {
    for (bool direct : {true, false}) {
        ListPicture pic;
        pic.list.reset(std::nullopt);
        pic.list.add_circle(vec3d(0, 0, AU), 0.25 * AU, YELLOW, -1);
        pic.list.add_circle(vec3d(0, 0, -AU), 0.75 * AU, RED, -1);
        pic.list.add_circle(vec3d(NAN, 0, 0), AU, GREEN, -1); // nowhere, and harmless
        const wxImage image = pic.paint(direct);
        EXPECT_EQ(pixel(image, 200, 150), wx(RED)) << direct;
        EXPECT_EQ(pixel(image, 212, 150), wx(RED)) << direct;
    }
}

TEST(PrimitiveList, ResetLeavesNothingToPaint) {
    ListPicture pic;
    pic.list.add_circle(vec3d(), AU, RED, 4);
    pic.list.add_line(vec3d(), vec3d(5 * AU, 0, 0), RED, 2);
    pic.list.reset(pic.view.viewpoint());
    EXPECT_EQ(pic.list.size(), 0u);
    EXPECT_TRUE(pic.list.items().empty());
    const wxImage image = pic.paint(true);
    const unsigned char* data = image.GetData();
    EXPECT_EQ(std::count(data, data + 3 * 400 * 300, 0), 3 * 400 * 300);
}

TEST(PrimitiveList, TheNearerOfTwoOverlappingDiscsIsOnTop) {
    for (bool direct : {true, false})
        for (bool near_first : {true, false}) {
            ListPicture pic;
            auto near = [&] { pic.list.add_circle(vec3d(0, 0, AU), AU / 2, BLUE, -1); };
            auto far = [&] { pic.list.add_circle(vec3d(AU / 4, 0, -AU), AU / 2, RED, -1); };
            if (near_first) {
                near();
                far();
            } else {
                far();
                near();
            }
            const wxImage image = pic.paint(direct);
            const std::string what = std::string(direct ? "direct" : "dc") +
                                     (near_first ? ", near first" : ", far first");
            EXPECT_EQ(pixel(image, 203, 150), wx(BLUE)) << what; // overlap
            EXPECT_EQ(pixel(image, 214, 150), wx(RED)) << what;  // far disc only
            EXPECT_EQ(pixel(image, 200, 170), BLACK) << what;    // outside both
        }
}

TEST(PrimitiveList, MinimumRadiusIsReachedByGrowthOfFivePercent) {
    const struct {
        double r;
        int minimum;
        double grown;
    } cases[] = {
        {1.0, 4, std::pow(1.05, 29)},
        {3.9, 4, 3.9 * 1.05},
        {4.0, 4, 4.0},
        {2.5, -1, 2.5},
        {2.5, 0, 2.5},
        {0.0, -1, 0.0},
        // No growth reaches the minimum from zero: the minimum itself is drawn.
        {0.0, 4, 4.0},
        {NAN, 4, 4.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(grown_disc_radius(c.r, c.minimum), c.grown, 1e-12)
            << c.r << " to at least " << c.minimum;
}

TEST(PrimitiveList, TinyDiscIsPaintedAtTheMinimumRadius) {
    for (bool direct : {true, false}) {
        ListPicture pic;
        pic.list.add_circle(vec3d(), 1.0, GREEN, 4); // a metre: far below one pixel
        pic.list.add_circle(vec3d(5 * AU, 0, 0), 0.0, GREEN, 4);
        const wxImage image = pic.paint(direct);
        EXPECT_EQ(pixel(image, 200, 150), wx(GREEN)) << direct;
        EXPECT_EQ(pixel(image, 203, 150), wx(GREEN)) << direct;
        EXPECT_EQ(pixel(image, 206, 150), BLACK) << direct;
        EXPECT_EQ(pixel(image, 302, 150), wx(GREEN)) << direct;
    }
}

TEST(PrimitiveList, LinesArePaintedBetweenTheirProjectedEnds) {
    for (bool direct : {true, false}) {
        ListPicture pic;
        pic.list.add_line(vec3d(), vec3d(5 * AU, 0, 0), CYAN, 1);
        pic.list.add_line(vec3d(0, 2 * AU, 0), vec3d(0, 4 * AU, 0), RED, 1);
        const wxImage image = pic.paint(direct);
        EXPECT_EQ(pixel(image, 250, 150), wx(CYAN)) << direct;
        EXPECT_EQ(pixel(image, 200, 100), wx(RED)) << direct; // 3 AU up
        EXPECT_EQ(pixel(image, 200, 125), BLACK) << direct;   // below the segment's start
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
