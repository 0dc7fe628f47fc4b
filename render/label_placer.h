// Which labels a crowded picture can show: each is kept only where it does
// not overlap one already kept, so the callers offer the most important
// first. A grid of cells keeps the test local however many are offered.
#pragma once

#include <vector>

struct LabelBox {
    int x, y, w, h; // top-left corner and size, pixels
    bool overlaps(const LabelBox& o) const {
        return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
    }
};

class LabelPlacer {
public:
    // Forgets every kept label; the picture is w x h pixels.
    void reset(int w, int h);
    // Whether a label with its corner at (x, y) could not be kept, whatever
    // its size: the corner lies off the picture or inside a kept label.
    bool blocked(int x, int y) const;
    // Keeps the box and returns true unless it overlaps a kept one.
    bool place(const LabelBox& box);
    const std::vector<LabelBox>& kept() const { return kept_; }

private:
    static constexpr int CELL = 32;
    template <class F> void each_cell(const LabelBox& box, F f) const;

    int w_ = 0, h_ = 0, columns_ = 0, rows_ = 0;
    std::vector<LabelBox> kept_;
    std::vector<std::vector<int>> cells_; // indices into kept_
};
