// A picture drawn by the program's own scan converter into a plain pixel
// buffer: one-pixel segments, thick segments and discs, as many millions of
// trail segments need and a general-purpose vector library cannot give at
// the tick rate. No anti-aliasing, like the window's crisp picture; the
// buffer is in Cairo's RGB24 layout so that text and the window's copy can
// be painted over it with Cairo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/paint_types.h"

inline std::uint32_t pixel_of(dcRgb c) {
    return std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b;
}

class RasterCanvas;

// The rows [top, bottom) of a canvas: what one thread draws into, so that
// two threads can paint one picture without touching each other's pixels.
class RasterStrip {
public:
    RasterStrip(RasterCanvas& canvas, int top, int bottom);

    void set_colour(std::uint32_t c) { colour_ = c; }
    void set_colour(dcRgb c) { colour_ = pixel_of(c); }
    // A segment between pixel centres, both ends included, clipped to the
    // strip; width 1, or wider as parallel runs across its minor axis.
    void segment(int x1, int y1, int x2, int y2, int width = 1);
    // The one-pixel segment, inline: a picture draws millions of them, and
    // most lie wholly inside the strip.
    void thin(int x1, int y1, int x2, int y2) {
        if ((y1 < top_ && y2 < top_) || (y1 >= bottom_ && y2 >= bottom_) || (x1 < 0 && x2 < 0) ||
            (x1 >= w_ && x2 >= w_))
            return;
        if (x1 < 0 || x2 < 0 || x1 >= w_ || x2 >= w_ || y1 < top_ || y2 < top_ || y1 >= bottom_ ||
            y2 >= bottom_) {
            segment(x1, y1, x2, y2, 1);
            return;
        }
        inside_segment(x1, y1, x2, y2);
    }
    // A filled disc of radius m pixels about (cx, cy), its rim included.
    void disc(int cx, int cy, int m);

private:
    void thin_segment(int x1, int y1, int x2, int y2);
    // Stepping along the major axis with the minor one in 16.16 fixed
    // point: no branch per pixel, which is most of a trail's cost. The ends
    // are exact (the slope's rounding stays under half a pixel for any
    // segment inside a canvas narrower than 32,768 pixels).
    void inside_segment(int x1, int y1, int x2, int y2) {
        const int dx = x2 - x1, dy = y2 - y1;
        const int adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
        const std::uint32_t c = colour_;
        if (adx >= ady) {
            if (adx == 0) {
                pixels_[std::size_t(y1) * w_ + x1] = c;
                return;
            }
            const int sx = dx > 0 ? 1 : -1;
            // 32-bit division: a segment inside a canvas is shorter than
            // 32,768 pixels, and the wide division costs several times more.
            const std::int64_t slope = std::int32_t(dy * 65536) / std::int32_t(adx);
            std::int64_t y = std::int64_t(y1) * 65536 + 0x8000;
            for (int i = 0, x = x1; i <= adx; ++i, x += sx, y += slope)
                pixels_[std::size_t(y >> 16) * w_ + x] = c;
        } else {
            const int sy = dy > 0 ? 1 : -1;
            const std::int64_t slope = std::int32_t(dx * 65536) / std::int32_t(ady);
            std::int64_t x = std::int64_t(x1) * 65536 + 0x8000;
            std::uint32_t* row = pixels_ + std::size_t(y1) * w_;
            const std::ptrdiff_t step = sy * std::ptrdiff_t(w_);
            for (int i = 0; i <= ady; ++i, row += step, x += slope)
                row[x >> 16] = c;
        }
    }
    // Clips to the strip grown by a pixel (Liang-Barsky); false when
    // nothing of the segment is inside.
    bool clip(double& x1, double& y1, double& x2, double& y2) const;

    std::uint32_t* pixels_;
    int w_, top_, bottom_;
    std::uint32_t colour_ = 0xffffff;
};

class RasterCanvas {
public:
    // Black, w x h pixels (none for a non-positive size).
    void reset(int w, int h);

    int width() const { return w_; }
    int height() const { return h_; }
    // Rows top to bottom, each pixel 0x00RRGGBB.
    const std::uint32_t* pixels() const { return pixels_.data(); }
    std::uint32_t* pixels() { return pixels_.data(); }
    std::uint32_t pixel(int x, int y) const { return pixels_[std::size_t(y) * w_ + x]; }

    // The whole canvas as one strip.
    void set_colour(dcRgb c) { colour_ = pixel_of(c); }
    void segment(int x1, int y1, int x2, int y2, int width = 1);
    void disc(int cx, int cy, int m);

private:
    int w_ = 0, h_ = 0;
    std::vector<std::uint32_t> pixels_;
    std::uint32_t colour_ = 0xffffff;
};
