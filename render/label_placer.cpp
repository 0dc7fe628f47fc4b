#include "render/label_placer.h"

#include <algorithm>

void LabelPlacer::reset(int w, int h) {
    w_ = std::max(w, 0);
    h_ = std::max(h, 0);
    columns_ = (w_ + CELL - 1) / CELL;
    rows_ = (h_ + CELL - 1) / CELL;
    kept_.clear();
    cells_.resize(std::size_t(columns_) * rows_);
    for (auto& cell : cells_)
        cell.clear();
}

template <class F> void LabelPlacer::each_cell(const LabelBox& box, F f) const {
    const int c0 = std::max(box.x, 0) / CELL, r0 = std::max(box.y, 0) / CELL;
    const int c1 = std::min((std::max(box.x + box.w - 1, 0)) / CELL, columns_ - 1);
    const int r1 = std::min((std::max(box.y + box.h - 1, 0)) / CELL, rows_ - 1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            f(std::size_t(r) * columns_ + c);
}

bool LabelPlacer::blocked(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return true;
    const LabelBox point{x, y, 1, 1};
    for (int k : cells_[std::size_t(y / CELL) * columns_ + x / CELL])
        if (kept_[k].overlaps(point))
            return true;
    return false;
}

bool LabelPlacer::place(const LabelBox& box) {
    if (columns_ == 0 || rows_ == 0 || box.w <= 0 || box.h <= 0)
        return false;
    bool clear = true;
    each_cell(box, [&](std::size_t cell) {
        for (int k : cells_[cell])
            clear = clear && !kept_[k].overlaps(box);
    });
    if (!clear)
        return false;
    const int index = int(kept_.size());
    kept_.push_back(box);
    each_cell(box, [&](std::size_t cell) { cells_[cell].push_back(index); });
    return true;
}
