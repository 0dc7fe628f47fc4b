#include <gtest/gtest.h>

#include <cmath>

#include "render/view.h"
#include "render/view_commands.h"

namespace {

const double AU = 1.49598e11;

void expect_rotation_rows(const dcAdapter& view, const double rows[3][3], double tol) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(view.rotation().at(r, c), rows[r][c], tol) << "row " << r << " col " << c;
}

// A view as the frame has it after start-up on an 800 x 600 panel.
void start_view(dcAdapter& view, int w = 800, int h = 600) {
    view.set_viewport(w, h);
    view.update();
    view_start(view, w, h);
}

TEST(View, ProjectTruncatesTowardZero) {
    dcAdapter view; // identity matrices, 1 x 1 panel
    view.update();
    int x, y;
    view.project(vec3d(-0.7, 0.5, 0), x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    view.project(vec3d(0.7, 0, 0), x, y);
    EXPECT_EQ(x, 0);
    view.project(vec3d(-1.7, 2.5, 0), x, y);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1); // 1 - 2.5 = -1.5
}

TEST(View, ViewportPutsOriginAtMiddleOfLargerSideAndCentreOnMovesIt) {
    dcAdapter view;
    view.set_viewport(800, 600);
    view.update();
    int x, y;
    view.project(vec3d(), x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 200);
    view.centre_on(vec3d(), 400, 300);
    view.update();
    view.project(vec3d(), x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
}

TEST(View, StartViewSpansTwentyAstronomicalUnitsOverTheLargerSide) {
    dcAdapter view;
    start_view(view);
    int x, y;
    view.project(vec3d(), x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
    view.project(vec3d(10 * AU, 0, 0), x, y);
    EXPECT_EQ(x, 800);
    view.project(vec3d(0, 5 * AU, 0), x, y);
    EXPECT_EQ(y, 100); // world +y is up on the screen
    EXPECT_NEAR(view.pixel_length(vec3d(AU, 0, 0)), 40.0, 1e-9);
}

TEST(View, PresetsGiveTheirRotationMatrices) {
    dcAdapter view;
    start_view(view);
    const double s2 = std::sqrt(2.0) / 2, s6 = std::sqrt(6.0) / 4, s3 = std::sqrt(3.0) / 2;
    const double equinox[3][3] = {{0, -1, 0}, {0, 0, 1}, {-1, 0, 0}};
    const double oblique[3][3] = {{s2, -s2, 0}, {s2 / 2, s2 / 2, s3}, {-s6, -s6, 0.5}};
    const double north[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    view_from_vernal_equinox(view);
    expect_rotation_rows(view, equinox, 1e-15);
    view_from_oblique_viewpoint(view);
    expect_rotation_rows(view, oblique, 1e-15);
    view_from_north_pole(view);
    expect_rotation_rows(view, north, 1e-15);
    // Up to rounding only: sin(-2 pi) is not exactly zero.
    EXPECT_NE(view.rotation().at(0, 1), 0.0);
}

TEST(View, ZoomInThenOutLeavesANetShrink) {
    dcAdapter view;
    start_view(view);
    const double before = view.pixel_length(vec3d(AU, 0, 0));
    view_zoom_in(view, 800, 600);
    EXPECT_NEAR(view.pixel_length(vec3d(AU, 0, 0)) / before, std::pow(1.05, 5), 1e-12);
    view_zoom_out(view, 800, 600);
    EXPECT_NEAR(view.pixel_length(vec3d(AU, 0, 0)) / before, std::pow(0.9975, 5), 1e-12);
    // Zooming about the panel centre keeps the centred origin in place.
    int x, y;
    view.project(vec3d(), x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
}

TEST(View, WheelZoomsAboutThePointer) {
    dcAdapter view;
    start_view(view);
    int bx, by;
    const vec3d p(3 * AU, -2 * AU, 0);
    view.project(p, bx, by);
    view_wheel(view, 120, 120, bx, by);
    EXPECT_NEAR(view.pixel_length(vec3d(AU, 0, 0)), 40 * 1.05, 1e-9);
    int x, y;
    view.project(p, x, y);
    EXPECT_NEAR(x, bx, 1);
    EXPECT_NEAR(y, by, 1);
    view_wheel(view, 60, 120, 0, 0); // less than one notch: nothing
    EXPECT_NEAR(view.pixel_length(vec3d(AU, 0, 0)), 40 * 1.05, 1e-9);
    view_wheel(view, -240, 120, bx, by);
    EXPECT_NEAR(view.pixel_length(vec3d(AU, 0, 0)), 40 * 1.05 * 0.95, 1e-9);
}

TEST(View, FirstSizeEventKeepsOriginsRelativePlaceAndRotationButDropsZoom) {
    dcAdapter view;
    view_start(view, 1, 1); // before any size: a 1 x 1 panel
    view.set_viewport(800, 600);
    view.update();
    view.centre_on(vec3d(), 200, 150); // origin a quarter in
    view.update();
    view_from_oblique_viewpoint(view);
    view_zoom_in(view, 800, 600);
    int ox, oy;
    view.project(vec3d(), ox, oy);
    const Matrix4 rotation = view.rotation();
    view_first_size(view, 1000, 400);
    int x, y;
    view.project(vec3d(), x, y);
    EXPECT_EQ(x, static_cast<int>(1000 * (double(ox) / 800)));
    EXPECT_EQ(y, static_cast<int>(400 * (double(oy) / 600)));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(view.rotation().at(r, c), rotation.at(r, c));
    EXPECT_NEAR(view.pixel_length(vec3d(AU, 0, 0)), 1000 / 20.0, 1e-9);
}

TEST(View, DragOutsideTheCircleTurnsAboutTheLineOfSight) {
    dcAdapter view;
    start_view(view);
    view_drag_rotate(view, 800, 600, 750, 300, 750, 310);
    const double theta = std::atan2(10.0, 350.0);
    const double c = std::cos(theta), s = std::sin(theta);
    const double rows[3][3] = {{c, s, 0}, {-s, c, 0}, {0, 0, 1}};
    expect_rotation_rows(view, rows, 1e-12);
    // Moving back up (pointer above the centre line) turns the other way.
    dcAdapter other;
    start_view(other);
    view_drag_rotate(other, 800, 600, 750, 300, 750, 290);
    EXPECT_NEAR(other.rotation().at(0, 1), -s, 1e-12);
}

TEST(View, DragInsideTheCircleTiltsAndTurns) {
    dcAdapter view;
    start_view(view);
    view_drag_rotate(view, 800, 600, 400, 300, 410, 300); // 10 px right
    const double t = 180.0 * 10 / 800 * (4 * std::atan(1.0)) / 180;
    const double turn[3][3] = {
        {std::cos(t), 0, std::sin(t)}, {0, 1, 0}, {-std::sin(t), 0, std::cos(t)}};
    expect_rotation_rows(view, turn, 1e-12);
    view.reset_rotation();
    view_drag_rotate(view, 800, 600, 400, 300, 400, 600); // down by half the height
    // Tilted by -90 degrees about the screen x axis: ecliptic north now points down.
    int x, y;
    view.project(vec3d(0, 0, AU), x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 340);
}

TEST(View, PixelLengthDoesNotDependOnRotation) {
    dcAdapter view;
    start_view(view);
    const double expected = view.pixel_length(vec3d(AU, 0, 0));
    view_from_oblique_viewpoint(view);
    EXPECT_NEAR(view.pixel_length(vec3d(AU, 0, 0)), expected, 1e-9);
    view_drag_rotate(view, 800, 600, 400, 300, 437, 251);
    view_drag_rotate(view, 800, 600, 790, 10, 700, 5);
    EXPECT_NEAR(view.pixel_length(vec3d(AU, 0, 0)), expected, 1e-9);
    EXPECT_NEAR(view.pixel_length(vec3d(0, 0, AU)), expected, 1e-9);
}

TEST(View, ViewpointLiesFarBehindTheSceneOrIsAbsentWhenSingular) {
    dcAdapter view;
    start_view(view);
    view_from_vernal_equinox(view); // the viewer looks from -x
    const auto behind = view.viewpoint();
    ASSERT_TRUE(behind.has_value());
    EXPECT_GT(behind->x, 1e20);
    dcAdapter singular;
    singular.set_viewport(0, 0);
    singular.update();
    EXPECT_FALSE(singular.viewpoint().has_value());
    int x, y;
    singular.project(vec3d(AU, AU, AU), x, y); // must not crash
}

TEST(View, RecentreOnSunWithoutASystemUsesTheOrigin) {
    dcAdapter view;
    start_view(view);
    view.centre_on(vec3d(), 10, 10);
    view.update();
    view_recentre_on_sun(view, nullptr, 800, 600);
    int x, y;
    view.project(vec3d(), x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
}

// A body that lost its finite state must leave the view as it was (its
// translation would outlive the body); a finite one however far off must
// land where it was asked to, not where a clamp to the int range put it.
TEST(View, CentreOnIgnoresNonFinitePointsAndReachesFarOnes) {
    dcAdapter view;
    start_view(view);
    const Matrix4 before = view.combined();
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    for (const vec3d& p : {vec3d(nan, 0, 0), vec3d(0, inf, 0), vec3d(0, 0, -inf)}) {
        view.centre_on(p, 400, 300);
        view.update();
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_EQ(view.combined().at(r, c), before.at(r, c)) << r << c;
    }
    view.set_scale(vec3d(nan, 0, 0), 1e12);
    view.set_scale(vec3d(), nan);
    view.update();
    EXPECT_EQ(view.combined().at(0, 0), before.at(0, 0));

    // 1000 AU at a scale of ten million pixels per AU: far beyond int.
    for (int k = 0; k < 40; ++k)
        view_zoom_in(view, 800, 600);
    view.set_scale(vec3d(), AU / 1e5);
    view.update();
    const vec3d far(1000 * AU, -300 * AU, 0);
    view_track(view, far, 800, 600);
    int x, y;
    view.project(far, x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
}

} // namespace
