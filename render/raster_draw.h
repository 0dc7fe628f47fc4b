// A picture for the scan converter as plain arrays in pixels, made from the
// system once and then painted by any number of strips: bodies farthest
// first, each its disc, its tail and its trail's points.
#pragma once

#include <cstdint>
#include <vector>

class RasterStrip;

struct RasterDraw {
    struct Line {
        int x1, y1, x2, y2, width;
        std::uint32_t colour;
    };
    struct Body {
        int x, y, radius; // the disc, radius 0 for none
        std::uint32_t colour;
        bool tail;
        int tail_x, tail_y;
        std::uint32_t first, count; // its trail in points
        // The colours of its trail's segments from the newest on, the last
        // one for all after it (see fade_colours).
        const std::vector<std::uint32_t>* fades;
    };
    struct Point {
        int x, y;
    };

    void clear() {
        lines.clear();
        bodies.clear();
    }
    // Everything that falls in the strip, in order.
    void paint(RasterStrip& strip) const;

    std::vector<Line> lines; // the axes, painted first
    std::vector<Body> bodies;
    std::vector<Point> points;
};
