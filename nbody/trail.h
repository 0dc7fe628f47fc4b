// A body's recorded past positions: a ring of fixed capacity, so that a full
// trail takes one allocation and a new point costs a copy, not a node.
#pragma once

#include <cstddef>
#include <vector>

#include "nbody/vec3d.h"

class nbTrail {
public:
    explicit nbTrail(std::size_t capacity) : capacity_(capacity) {}

    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }

    // Adds the newest point; a full ring forgets its oldest.
    void push(const vec3d& p) {
        if (capacity_ == 0)
            return;
        if (points_.size() < capacity_) {
            // The whole ring at once: grown by doubling it would end up to
            // twice the capacity for every body.
            if (points_.capacity() < capacity_)
                points_.reserve(capacity_);
            points_.push_back(p);
            size_ = points_.size();
            return;
        }
        points_[oldest_] = p;
        oldest_ = oldest_ + 1 == capacity_ ? 0 : oldest_ + 1;
    }

    // Where the next push writes, for a caller that asks the memory for it
    // ahead of time.
    const vec3d* next_slot() const {
        return points_.size() < capacity_ ? points_.data() + points_.size()
                                          : points_.data() + oldest_;
    }

    // Point i counted from the oldest (0) or from the newest (0).
    const vec3d& oldest(std::size_t i) const {
        const std::size_t k = oldest_ + i;
        return points_[k < size_ ? k : k - size_];
    }
    const vec3d& newest(std::size_t i) const { return oldest(size_ - 1 - i); }

    // The stored points as at most two runs, oldest first: what a drawing
    // pass walks without an index computation per point.
    struct Runs {
        const vec3d* first;
        std::size_t first_size;
        const vec3d* second;
        std::size_t second_size;
    };
    Runs runs() const {
        const vec3d* p = points_.data();
        return Runs{p + oldest_, size_ - oldest_, p, oldest_};
    }

private:
    std::vector<vec3d> points_;
    std::size_t capacity_;
    std::size_t size_ = 0;
    std::size_t oldest_ = 0; // index of the oldest point once the ring is full
};
