#include "render/raster_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void RasterCanvas::reset(int w, int h) {
    w_ = std::max(w, 0);
    h_ = std::max(h, 0);
    pixels_.assign(std::size_t(w_) * h_, 0);
}

bool RasterCanvas::clip(double& x1, double& y1, double& x2, double& y2) const {
    const double xmin = -1, ymin = -1, xmax = w_, ymax = h_;
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

void RasterCanvas::thin_segment(int x1, int y1, int x2, int y2) {
    // Most trail segments lie wholly inside: no clipping, no bounds tests.
    const bool inside =
        x1 >= 0 && x2 >= 0 && y1 >= 0 && y2 >= 0 && x1 < w_ && x2 < w_ && y1 < h_ && y2 < h_;
    if (!inside) {
        double a = x1, b = y1, c = x2, d = y2;
        if (!clip(a, b, c, d))
            return;
        x1 = int(std::lround(a));
        y1 = int(std::lround(b));
        x2 = int(std::lround(c));
        y2 = int(std::lround(d));
    }
    int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    std::uint32_t* const base = pixels_.data();
    for (;;) {
        if (inside)
            base[std::size_t(y1) * w_ + x1] = colour_;
        else
            plot(x1, y1);
        if (x1 == x2 && y1 == y2)
            return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y1 += sy;
        }
    }
}

void RasterCanvas::segment(int x1, int y1, int x2, int y2, int width) {
    if (w_ == 0 || h_ == 0)
        return;
    // Far-off ends (a projection of a point far outside) would make the
    // stepping loop long: clipping in doubles first bounds it.
    const int far = 1 << 20;
    if (std::abs(x1) > far || std::abs(x2) > far || std::abs(y1) > far || std::abs(y2) > far) {
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
    // Parallel runs across the minor axis, as wide as the pen.
    const bool steep = std::abs(y2 - y1) > std::abs(x2 - x1);
    for (int k = 0; k < width; ++k) {
        const int o = k - width / 2;
        if (steep)
            thin_segment(x1 + o, y1, x2 + o, y2);
        else
            thin_segment(x1, y1 + o, x2, y2 + o);
    }
}

void RasterCanvas::disc(int cx, int cy, int m) {
    if (m <= 0 || w_ == 0 || h_ == 0)
        return;
    const double r2 = (m + 0.5) * (m + 0.5);
    const int y0 = std::max(cy - m, 0), y1 = std::min(cy + m, h_ - 1);
    for (int y = y0; y <= y1; ++y) {
        const int dy = y - cy;
        const int half = int(std::sqrt(std::max(0.0, r2 - double(dy) * dy)));
        const int x0 = std::max(cx - half, 0), x1 = std::min(cx + half, w_ - 1);
        if (x0 > x1)
            continue;
        std::fill(pixels_.begin() + std::ptrdiff_t(y) * w_ + x0,
                  pixels_.begin() + std::ptrdiff_t(y) * w_ + x1 + 1, colour_);
    }
}
