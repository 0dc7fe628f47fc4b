#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datebridge/date_bridge.h"
#include "nbody/system.h"
#include "pixels.h"
#include "render/image_canvas.h"
#include "render/scene.h"
#include "render/view_commands.h"

namespace {

const double AU = 1.49598e11;

// A body whose trail holds exactly `points`, oldest first. Its name decides
// its stride: "Mercury" 1, "Venus" 2, "Earth" 3.
template <class Body = nbBody>
std::unique_ptr<nbBody> body_with_trail(const std::string& name, const std::vector<vec3d>& points,
                                        nbColour colour = nbColour(255, 0, 0)) {
    auto b = std::make_unique<Body>(name, 1e20, 1e6, points.front(), vec3d());
    double t = 0;
    for (const vec3d& p : points) {
        b->position() = p;
        b->advance(1, t);
        t += 1000; // far more than any recording interval
    }
    b->graphics()->set_colour(colour);
    return b;
}

std::vector<vec3d> points_along_x(int n) {
    std::vector<vec3d> p;
    for (int k = 0; k < n; ++k)
        p.emplace_back((0.5 + 0.01 * k) * AU, 0, 0);
    return p;
}

using Kind = dcPrimitiveList::Kind;

struct Segment {
    double from_x, to_x;
};

struct SceneFixture : testing::Test {
    wxDCDraw scene;
    std::unique_ptr<nbSystem> alone;
    SceneFixture() {
        scene.set_viewport(400, 300);
        scene.update();
        view_start(scene, 400, 300); // 1 AU = 20 px, origin at (200, 150)
        scene.set_axes(false);
    }

    // What a display-list picture of the body alone paints, in the order
    // the scene filed it; the body stays in `alone` until the next call.
    std::vector<dcPrimitiveList::Item> painted(std::unique_ptr<nbBody> body) {
        alone = std::make_unique<nbSystem>(2451545.0);
        const std::string name = body->name();
        EXPECT_TRUE(alone->add(name, std::move(body)));
        ImageCanvas canvas(400, 300);
        scene.draw(canvas.dc(), alone.get());
        return scene.primitives().items();
    }
};

std::vector<dcPrimitiveList::Item> of_kind(const std::vector<dcPrimitiveList::Item>& items,
                                           Kind kind) {
    std::vector<dcPrimitiveList::Item> out;
    for (const auto& item : items)
        if (item.kind == kind)
            out.push_back(item);
    return out;
}

std::vector<Segment> segments(const std::vector<dcPrimitiveList::Item>& items) {
    std::vector<Segment> out;
    for (const auto& line : of_kind(items, Kind::Line))
        out.push_back({line.a.x, line.b.x});
    return out;
}

TEST_F(SceneFixture, TrailVerticesFollowTheStride) {
    scene.set_orbits(true);
    auto from_x = [](const std::vector<Segment>& s) {
        std::vector<double> x;
        for (const Segment& segment : s)
            x.push_back(segment.from_x);
        if (!s.empty())
            x.push_back(s.back().to_x);
        return x;
    };
    {
        // Stride 1, two points: one segment, newest first.
        const auto p = points_along_x(2);
        const auto s = segments(painted(body_with_trail("Mercury", p)));
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(s[0].from_x, p[1].x);
        EXPECT_EQ(s[0].to_x, p[0].x);
    }
    {
        // Stride 2: the newest point, then every second point recorded
        // (the first, third, fifth...), then the oldest; each point once.
        const struct {
            int points;
            std::vector<int> vertices; // indices, oldest 0, newest first
        } cases[] = {
            {5, {4, 2, 0}},
            {6, {5, 4, 2, 0}},
            {7, {6, 4, 2, 0}},
        };
        for (const auto& c : cases) {
            const auto p = points_along_x(c.points);
            auto venus = body_with_trail("Venus", p);
            ASSERT_EQ(venus->trail_stride(), 2);
            const auto s = segments(painted(std::move(venus)));
            std::vector<double> expected;
            for (int v : c.vertices)
                expected.push_back(p[v].x);
            EXPECT_EQ(from_x(s), expected) << c.points << " points";
        }
    }
    {
        // Once the ring is full, the oldest point goes; the sampled
        // vertices stay where they were recorded, whatever comes after.
        auto mars = body_with_trail("Mars", points_along_x(250)); // 210 held, stride 4
        ASSERT_EQ(mars->trail_stride(), 4);
        ASSERT_EQ(mars->trail_size(), 210u);
        const auto x = from_x(segments(painted(std::move(mars))));
        // Points 40 .. 249 are held: vertices 249, 248, 244, ..., 40.
        ASSERT_EQ(x.size(), 2u + (248 - 40) / 4);
        EXPECT_EQ(x.front(), points_along_x(250)[249].x);
        EXPECT_EQ(x[1], points_along_x(250)[248].x);
        EXPECT_EQ(x.back(), points_along_x(250)[40].x);
    }
    {
        // A trail shorter than its stride is drawn point by point.
        EXPECT_EQ(segments(painted(body_with_trail("Earth", points_along_x(2)))).size(), 1u);
        EXPECT_TRUE(segments(painted(body_with_trail("Earth", points_along_x(1)))).empty());
    }
}

TEST_F(SceneFixture, TrailFadesAfterTheElevenNewestSegments) {
    scene.set_orbits(true);
    const auto lines = of_kind(painted(body_with_trail("Mercury", points_along_x(80))), Kind::Line);
    ASSERT_EQ(lines.size(), 79u); // a segment between each two of the 80 points
    const dcRgb full{255, 0, 0};
    for (int k = 0; k < 11; ++k)
        EXPECT_EQ(lines[k].colour, full) << "segment " << k + 1;
    EXPECT_EQ(lines[11].colour, (dcRgb{253, 0, 0})); // level 0.02
    EXPECT_EQ(lines[35].colour, (dcRgb{212, 0, 0})); // level 0.5
    for (std::size_t k = 60; k < lines.size(); ++k)
        EXPECT_EQ(lines[k].colour, (dcRgb{170, 0, 0})) << "segment " << k + 1;

    scene.set_fade_orbits(false);
    const auto plain = of_kind(painted(body_with_trail("Mercury", points_along_x(80))), Kind::Line);
    ASSERT_EQ(plain.size(), 79u);
    for (const auto& line : plain)
        EXPECT_EQ(line.colour, full);
}

TEST(FadedColour, TakesTheMeanIntensityTimesTheLevelOffEveryChannel) {
    struct Case {
        wxColour in;
        double level;
        wxColour out;
    };
    const Case cases[] = {
        {wxColour(255, 0, 0), 1.0, wxColour(170, 0, 0, 170)},
        {wxColour(255, 255, 255), 1.0, wxColour(0, 0, 0, 0)},
        {wxColour(100, 100, 100), 1.0, wxColour(0, 0, 0, 155)},
        {wxColour(100, 80, 255), 0.5, wxColour(27, 7, 182, 182)},
        {wxColour(100, 80, 255), 0.0, wxColour(100, 80, 255, 255)},
        {wxColour(100, 80, 255), -1.0, wxColour(100, 80, 255, 255)},
    };
    for (const Case& c : cases) {
        const wxColour got = faded_colour(c.in, c.level);
        EXPECT_EQ(got, c.out) << c.level;
        EXPECT_EQ(got.Alpha(), c.out.Alpha()) << c.level;
    }
}

// Labels are chosen for the picture and painted over it: the bodies
// labelled are the ones whose names show.
TEST_F(SceneFixture, SunOptionRemovesOnlyTheSunsDisc) {
    scene.set_orbits(true);
    scene.set_names(true);
    scene.set_sun(false);
    const auto sun = painted(body_with_trail("Sun", points_along_x(3)));
    EXPECT_TRUE(of_kind(sun, Kind::Circle).empty());
    EXPECT_FALSE(of_kind(sun, Kind::Line).empty());
    ASSERT_EQ(scene.labelled_bodies().size(), 1u);
    EXPECT_EQ(scene.labelled_bodies().begin()->first->name(), "Sun");

    EXPECT_EQ(of_kind(painted(body_with_trail("Earth", points_along_x(3))), Kind::Circle).size(),
              1u);
}

TEST_F(SceneFixture, SatelliteIsNamedOnlyWithBothNameOptions) {
    auto moon = [] { return body_with_trail<nbBodySatellite>("Moon", points_along_x(3)); };
    scene.set_orbits(true);
    scene.set_names(true);
    const auto names_only = painted(moon());
    EXPECT_TRUE(scene.labelled_bodies().empty());
    EXPECT_TRUE(of_kind(names_only, Kind::Line).empty()); // a satellite's trail is never drawn
    EXPECT_EQ(of_kind(names_only, Kind::Circle).size(), 1u);

    scene.set_satellite_names(true);
    painted(moon());
    ASSERT_EQ(scene.labelled_bodies().size(), 1u);
    EXPECT_EQ(scene.labelled_bodies().begin()->first->name(), "Moon");

    scene.set_names(false);
    painted(moon());
    EXPECT_TRUE(scene.labelled_bodies().empty());
}

TEST_F(SceneFixture, CometTailPointsAwayFromTheOriginWithLengthOneOverDistance) {
    auto comet = [](const vec3d& at) {
        auto c = std::make_unique<nbBody>("C/1995 O1", 3e10, 6371, at, vec3d());
        c->graphics()->set_has_tail(true);
        return c;
    };
    const auto lines = of_kind(painted(comet(vec3d(0, 2 * AU, 0))), Kind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0].b.y - lines[0].a.y, 0.5 * AU, 1e-3);
    EXPECT_EQ(lines[0].b.x, 0);
    EXPECT_EQ(lines[0].size, 3);

    EXPECT_TRUE(of_kind(painted(comet(vec3d())), Kind::Line).empty());
}

TEST(ClockLabel, ShowsTheCalendarFieldsOfTheJulianDate) {
    EXPECT_EQ(clock_label(2451545.0), "2000-01-01 12:00:00 UTC");
    EXPECT_EQ(clock_label(2451544.5 + 59.4 / 86400), "2000-01-01 00:00:59 UTC");
    EXPECT_EQ(clock_label(2451544.5 + 59.9999 / 86400), "2000-01-01 00:01:00 UTC");
    // Whole days of steps of 0.26 days read midnight, not a second before.
    double jd = datetime_to_jd(wxDateTime(1, wxDateTime::Jan, 2027));
    for (int k = 0; k < 50; ++k)
        jd = jd + 0.26 * 86400 / 86400;
    ASSERT_LT(jd, datetime_to_jd(wxDateTime(14, wxDateTime::Jan, 2027))) << "a millisecond short";
    EXPECT_EQ(clock_label(jd), "2027-01-14 00:00:00 UTC");
}

// Pictures of a small system, probed at the bodies' projected centres.
struct PictureFixture : SceneFixture {
    nbSystem system{2451545.0};
    void add(const std::string& name, vec3d p, nbColour colour, double radius = 1e9) {
        auto b = std::make_unique<nbBody>(name, 1e20, radius, p, vec3d());
        b->graphics()->set_colour(colour);
        system.add(name, std::move(b));
    }
    wxImage picture() {
        ImageCanvas canvas(400, 300);
        scene.draw(canvas.dc(), &system);
        return canvas.finish();
    }
};

TEST_F(PictureFixture, DiscsShowTheirColoursAndTheNearerOneIsOnTop) {
    for (bool simplified : {false, true}) {
        system.remove("far");
        system.remove("near");
        system.remove("blue");
        scene.set_display_list(!simplified);
        // Seen from ecliptic north, larger z is nearer; "far" sorts after
        // "blue" and "near" by name, so only depth can put "near" on top.
        add("far", vec3d(2 * AU, 0, -AU), nbColour(255, 0, 0), 0.5 * AU / 30);
        add("near", vec3d(2 * AU, 0, AU), nbColour(0, 255, 0), 0.1 * AU / 30);
        add("blue", vec3d(-3 * AU, 2 * AU, 0), nbColour(0, 0, 255));
        const wxImage image = picture();
        EXPECT_EQ(pixel(image, 240, 150), wxColour(0, 255, 0)) << simplified;
        EXPECT_EQ(pixel(image, 247, 150), wxColour(255, 0, 0)) << simplified;
        EXPECT_EQ(pixel(image, 140, 110), wxColour(0, 0, 255)) << simplified;
    }
}

TEST_F(PictureFixture, EqualDistancesDrawBothBodiesInBothModes) {
    for (bool simplified : {false, true}) {
        system.remove("a");
        system.remove("b");
        scene.set_display_list(!simplified);
        add("a", vec3d(3 * AU, 0, 0), nbColour(255, 255, 0));
        add("b", vec3d(-3 * AU, 0, 0), nbColour(0, 255, 255));
        const wxImage image = picture();
        EXPECT_EQ(pixel(image, 260, 150), wxColour(255, 255, 0)) << simplified;
        EXPECT_EQ(pixel(image, 140, 150), wxColour(0, 255, 255)) << simplified;
    }
}

TEST_F(PictureFixture, FadedTrailIsDarkerThanItsNewestSegments) {
    scene.set_orbits(true);
    // Stride 1, points 0.25 AU apart on a vertical line at x = 5 AU.
    std::vector<vec3d> p;
    for (int k = 0; k < 70; ++k)
        p.emplace_back(5 * AU, (-8 + 0.25 * k) * AU, 0);
    auto mercury = body_with_trail("Mercury", p, nbColour(255, 0, 0));
    system.add("Mercury", std::move(mercury));
    const wxImage image = picture();
    // Newest points are at the top; the oldest twenty segments are fully faded.
    EXPECT_EQ(pixel(image, 300, 150 - 7 * 20), wxColour(255, 0, 0));
    EXPECT_EQ(pixel(image, 300, 150 + 7 * 20), wxColour(170, 0, 0));
}

TEST_F(PictureFixture, NoSystemDrawsNothingNotEvenTheClock) {
    add("a", vec3d(), nbColour(255, 255, 255));
    ImageCanvas canvas(400, 300);
    scene.draw(canvas.dc(), nullptr);
    const wxImage image = canvas.finish();
    const unsigned char* data = image.GetData();
    for (int k = 0; k < 400 * 300 * 3; ++k)
        ASSERT_EQ(data[k], 0);
}

TEST_F(PictureFixture, ClockAndAxesAreDrawn) {
    scene.set_axes(true);
    const wxImage image = picture();
    int white = 0;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 200; ++x)
            white += pixel(image, x, y) == wxColour(255, 255, 255);
    EXPECT_GT(white, 20); // the label's glyphs
    // Seen from the north the cyan axis runs to -x and the green one to -y.
    EXPECT_EQ(pixel(image, 180, 150), wxColour(0, 255, 255));
    EXPECT_EQ(pixel(image, 200, 180), wxColour(0, 255, 0));
}

TEST_F(PictureFixture, SingularViewStillDrawsWithoutDepthOrder) {
    add("a", vec3d(AU, 0, 0), nbColour(255, 255, 0));
    scene.set_viewport(0, 0);
    scene.update();
    for (bool simplified : {false, true}) {
        scene.set_display_list(!simplified);
        const wxImage image = picture(); // must not crash or hang
        EXPECT_TRUE(image.IsOk());
    }
}

} // namespace
