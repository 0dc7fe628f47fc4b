#include "render/raster_draw.h"

#include <algorithm>

#include "render/raster_canvas.h"

void RasterDraw::paint(RasterStrip& strip) const {
    for (const Line& line : lines) {
        strip.set_colour(line.colour);
        strip.segment(line.x1, line.y1, line.x2, line.y2, line.width);
    }
    for (const Body& body : bodies) {
        strip.set_colour(body.colour);
        if (body.radius > 0)
            strip.disc(body.x, body.y, body.radius);
        if (body.tail)
            strip.segment(body.x, body.y, body.tail_x, body.tail_y, 3);
        if (body.count < 2)
            continue;
        const Point* p = points.data() + body.first;
        const std::vector<std::uint32_t>& fades = *body.fades;
        const std::uint32_t last = std::uint32_t(fades.size() - 1);
        std::uint32_t colour = body.colour;
        for (std::uint32_t k = 1; k < body.count; ++k) {
            // Segment k - 1 counted from the newest.
            const std::uint32_t c = fades[std::min(k - 1, last)];
            if (c != colour) {
                colour = c;
                strip.set_colour(colour);
            }
            strip.thin(p[k - 1].x, p[k - 1].y, p[k].x, p[k].y);
        }
    }
}
