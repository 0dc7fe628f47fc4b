// A picture drawn by the program's own scan converter into a plain pixel
// buffer: one-pixel segments, thick segments and discs, as many millions of
// trail segments need and a general-purpose vector library cannot give at
// the tick rate. No anti-aliasing, like the window's crisp picture; the
// buffer is in Cairo's RGB24 layout so that text and the window's copy can
// be painted over it with Cairo.
#pragma once

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
    // A filled disc of radius m pixels about (cx, cy), its rim included.
    void disc(int cx, int cy, int m);

private:
    void thin_segment(int x1, int y1, int x2, int y2);
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
