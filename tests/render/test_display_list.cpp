#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pixels.h"
#include "render/display_list.h"
#include "render/image_canvas.h"
#include "render/view.h"
#include "render/view_commands.h"

namespace {

const double AU = 1.49598e11;

// Records the order in which the list paints its items.
class Recorder : public dcObject {
public:
    Recorder(const vec3d& at, std::string tag, std::vector<std::string>& log)
        : at_(at), tag_(std::move(tag)), log_(log) {}
    const vec3d& position() const override { return at_; }
    void draw(wxDC&) override { log_.push_back(tag_); }

private:
    vec3d at_;
    std::string tag_;
    std::vector<std::string>& log_;
};

struct Picture {
    dcAdapter view;
    ImageCanvas canvas{400, 300};
    Picture() {
        view.set_viewport(400, 300);
        view.update();
        view_start(view, 400, 300); // 1 AU = 20 px, origin at (200, 150)
    }
};

TEST(DisplayList, EqualKeysKeepTheOrderOfAddingAndFartherItemsComeFirst) {
    Picture pic;
    std::vector<std::string> log;
    // The viewer looks down from ecliptic north: larger z is nearer.
    dcDisplayListSorted list(pic.view.viewpoint());
    list.add(std::make_unique<Recorder>(vec3d(0, 0, AU), "near", log));
    list.add(std::make_unique<Recorder>(vec3d(1, 2, 0), "disc", log));
    list.add(std::make_unique<Recorder>(vec3d(1, 2, 0), "label", log));
    list.add(std::make_unique<Recorder>(vec3d(0, 0, -AU), "far", log));
    list.draw(pic.canvas.dc());
    EXPECT_EQ(log, (std::vector<std::string>{"far", "disc", "label", "near"}));
}

TEST(DisplayList, WithoutAViewpointItemsAreDrawnInTheOrderOfAdding) {
    std::vector<std::string> log;
    dcAdapter view;
    ImageCanvas canvas(10, 10);
    dcDisplayListSorted list(std::nullopt);
    list.add(std::make_unique<Recorder>(vec3d(0, 0, AU), "first", log));
    list.add(std::make_unique<Recorder>(vec3d(0, 0, -AU), "second", log));
    list.add(std::make_unique<Recorder>(vec3d(NAN, 0, 0), "third", log));
    list.draw(canvas.dc());
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "third"}));
}

TEST(DisplayList, ClearLeavesNothingToPaint) {
    Picture pic;
    std::vector<std::string> log;
    dcDisplayListSorted list(pic.view.viewpoint());
    list.add(std::make_unique<Recorder>(vec3d(), "a", log));
    list.clear();
    list.draw(pic.canvas.dc());
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(list.size(), 0u);
}

TEST(DisplayList, TheNearerOfTwoOverlappingDiscsIsOnTop) {
    for (bool near_first : {true, false}) {
        Picture pic;
        {
            dcDisplayListSorted list(pic.view.viewpoint());
            auto near = std::make_unique<dcCircle>(vec3d(0, 0, AU), AU / 2, *wxBLUE_BRUSH);
            auto far = std::make_unique<dcCircle>(vec3d(AU / 4, 0, -AU), AU / 2, *wxRED_BRUSH);
            if (near_first) {
                list.add(std::move(near));
                list.add(std::move(far));
            } else {
                list.add(std::move(far));
                list.add(std::move(near));
            }
            list.draw(pic.canvas.dc());
        }
        const wxImage image = pic.canvas.finish();
        EXPECT_EQ(pixel(image, 203, 150), wxColour(0, 0, 255)) << near_first; // overlap
        EXPECT_EQ(pixel(image, 214, 150), wxColour(255, 0, 0)) << near_first; // far disc only
        EXPECT_EQ(pixel(image, 200, 170), wxColour(0, 0, 0)) << near_first;   // outside both
    }
}

TEST(DisplayList, MinimumRadiusIsReachedByGrowthOfFivePercent) {
    EXPECT_NEAR(dcCircle::grown_radius(1.0, 4), std::pow(1.05, 29), 1e-12);
    EXPECT_NEAR(dcCircle::grown_radius(3.9, 4), 3.9 * 1.05, 1e-12);
    EXPECT_EQ(dcCircle::grown_radius(4.0, 4), 4.0);
    EXPECT_EQ(dcCircle::grown_radius(2.5, -1), 2.5);
    EXPECT_EQ(dcCircle::grown_radius(2.5, 0), 2.5);
    EXPECT_EQ(dcCircle::grown_radius(0.0, -1), 0.0);
    // No growth reaches the minimum from zero: the minimum itself is drawn.
    EXPECT_EQ(dcCircle::grown_radius(0.0, 4), 4.0);
    EXPECT_EQ(dcCircle::grown_radius(NAN, 4), 4.0);
}

TEST(DisplayList, TinyDiscIsPaintedAtTheMinimumRadius) {
    Picture pic;
    {
        dcCircle tiny(vec3d(), 1.0, *wxGREEN_BRUSH); // a metre: far below one pixel
        tiny.set_min_pixel_radius(4);
        tiny.draw(pic.canvas.dc());
        dcCircle zero(vec3d(5 * AU, 0, 0), 0.0, *wxGREEN_BRUSH);
        zero.set_min_pixel_radius(4);
        zero.draw(pic.canvas.dc());
    }
    const wxImage image = pic.canvas.finish();
    EXPECT_EQ(pixel(image, 200, 150), wxColour(0, 255, 0));
    EXPECT_EQ(pixel(image, 203, 150), wxColour(0, 255, 0));
    EXPECT_EQ(pixel(image, 206, 150), wxColour(0, 0, 0));
    EXPECT_EQ(pixel(image, 302, 150), wxColour(0, 255, 0));
}

TEST(DisplayList, LinesAndTextDrawAtTheirProjectedPoints) {
    Picture pic;
    {
        dcLine line(dcLine::Offset(), vec3d(), vec3d(5 * AU, 0, 0), *wxCYAN, 1, wxPENSTYLE_SOLID);
        EXPECT_DOUBLE_EQ(line.end().x, 5 * AU);
        line.draw(pic.canvas.dc());
        dcLine two_point(vec3d(0, 2 * AU, 0), vec3d(0, 4 * AU, 0), *wxRED, 1, wxPENSTYLE_SOLID);
        two_point.draw(pic.canvas.dc());
    }
    const wxImage image = pic.canvas.finish();
    EXPECT_EQ(pixel(image, 250, 150), wxColour(0, 255, 255));
    EXPECT_EQ(pixel(image, 200, 100), wxColour(255, 0, 0)); // 3 AU up
    EXPECT_EQ(pixel(image, 200, 125), wxColour(0, 0, 0));   // below the segment's start
}

} // namespace
