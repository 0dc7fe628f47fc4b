#include "render/raster_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void RasterCanvas::reset(int w, int h) {
    w_ = std::max(w, 0);
    h_ = std::max(h, 0);
    pixels_.assign(std::size_t(w_) * h_, 0);
}

void RasterCanvas::segment(int x1, int y1, int x2, int y2, int width) {
    RasterStrip all(*this, 0, h_);
    all.set_colour(colour_);
    all.segment(x1, y1, x2, y2, width);
}

void RasterCanvas::disc(int cx, int cy, int m) {
    RasterStrip all(*this, 0, h_);
    all.set_colour(colour_);
    all.disc(cx, cy, m);
}

RasterStrip::RasterStrip(RasterCanvas& canvas, int top, int bottom)
    : pixels_(canvas.pixels()), w_(canvas.width()), top_(std::max(top, 0)),
      bottom_(std::min(bottom, canvas.height())) {}

bool RasterStrip::clip(double& x1, double& y1, double& x2, double& y2) const {
    const double xmin = -1, ymin = top_ - 1, xmax = w_, ymax = bottom_;
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - xmin, xmax - x1, y1 - ymin, ymax - y1};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0)
                return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double ox = x1, oy = y1;
    x1 = ox + t0 * dx;
    y1 = oy + t0 * dy;
    x2 = ox + t1 * dx;
    y2 = oy + t1 * dy;
    return true;
}

void RasterStrip::thin_segment(int x1, int y1, int x2, int y2) {
    // Wholly above or below the strip: the other thread's.
    if ((y1 < top_ && y2 < top_) || (y1 >= bottom_ && y2 >= bottom_))
        return;
    if ((x1 < 0 && x2 < 0) || (x1 >= w_ && x2 >= w_))
        return;
    // Most trail segments lie wholly inside: no per-pixel bounds test.
    const bool inside = x1 >= 0 && x2 >= 0 && y1 >= top_ && y2 >= top_ && x1 < w_ && x2 < w_ &&
                        y1 < bottom_ && y2 < bottom_;
    if (inside) {
        inside_segment(x1, y1, x2, y2);
        return;
    }
    // The same steps as inside_segment, each pixel tested: a segment
    // across the strips' border gets the same pixels in either strip.
    const int dx = x2 - x1, dy = y2 - y1;
    const int adx = std::abs(dx), ady = std::abs(dy);
    auto put = [this](std::int64_t x, std::int64_t y) {
        if (x >= 0 && x < w_ && y >= top_ && y < bottom_)
            pixels_[std::size_t(y) * w_ + std::size_t(x)] = colour_;
    };
    if (adx >= ady) {
        if (adx == 0) {
            put(x1, y1);
            return;
        }
        const int sx = dx > 0 ? 1 : -1;
        const std::int64_t slope = (std::int64_t(dy) * 65536) / adx;
        std::int64_t y = std::int64_t(y1) * 65536 + 0x8000;
        for (std::int64_t i = 0, x = x1; i <= adx; ++i, x += sx, y += slope)
            put(x, y >> 16);
    } else {
        const int sy = dy > 0 ? 1 : -1;
        const std::int64_t slope = (std::int64_t(dx) * 65536) / ady;
        std::int64_t x = std::int64_t(x1) * 65536 + 0x8000;
        for (std::int64_t i = 0, y = y1; i <= ady; ++i, y += sy, x += slope)
            put(x >> 16, y);
    }
}

void RasterStrip::segment(int x1, int y1, int x2, int y2, int width) {
    if (w_ <= 0 || bottom_ <= top_)
        return;
    // Ends far off the strip (a projection of a point far outside) would
    // make the stepping long: clipping in doubles first bounds it.
    const int far = 4096;
    if (std::abs(x1) > far + w_ || std::abs(x2) > far + w_ || std::abs(y1) > far + bottom_ ||
        std::abs(y2) > far + bottom_) {
        double a = x1, b = y1, c = x2, d = y2;
        if (!clip(a, b, c, d))
            return;
        x1 = int(std::lround(a)), y1 = int(std::lround(b));
        x2 = int(std::lround(c)), y2 = int(std::lround(d));
    }
    if (width <= 1) {
        thin_segment(x1, y1, x2, y2);
        return;
    }
    const bool steep = std::abs(y2 - y1) > std::abs(x2 - x1);
    for (int k = 0; k < width; ++k) {
        const int o = k - width / 2;
        if (steep)
            thin_segment(x1 + o, y1, x2 + o, y2);
        else
            thin_segment(x1, y1 + o, x2, y2 + o);
    }
}

void RasterStrip::disc(int cx, int cy, int m) {
    if (m <= 0 || w_ <= 0 || bottom_ <= top_)
        return;
    const double r2 = (m + 0.5) * (m + 0.5);
    const long y0 = std::max<long>(long(cy) - m, top_),
               y1 = std::min<long>(long(cy) + m, bottom_ - 1);
    for (long y = y0; y <= y1; ++y) {
        const double dy = double(y - cy);
        const long half = long(std::sqrt(std::max(0.0, r2 - dy * dy)));
        const long x0 = std::max<long>(long(cx) - half, 0),
                   x1 = std::min<long>(long(cx) + half, w_ - 1);
        if (x0 > x1)
            continue;
        std::fill(pixels_ + y * w_ + x0, pixels_ + y * w_ + x1 + 1, colour_);
    }
}
