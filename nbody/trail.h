// A body's recorded past positions: a ring of fixed capacity, so that a full
// trail takes one allocation and a new point costs a copy, not a node. Beside
// it, every stride-th point (by the count of points ever recorded) in a ring
// of its own: the vertices a picture draws of a long trail, which stay where
// they are as the trail grows and lie in one short run of memory instead of
// one in every few cache lines.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "nbody/vec3d.h"

class nbTrail {
public:
    explicit nbTrail(std::size_t capacity) : all_(capacity) {}

    std::size_t size() const { return all_.size(); }
    std::size_t capacity() const { return all_.capacity(); }
    bool empty() const { return all_.size() == 0; }

    // Adds the newest point; a full ring forgets its oldest. The sample
    // keeps every stride-th point; a new stride samples the held points
    // anew.
    void push(const vec3d& p, int stride = 1) {
        if (all_.capacity() == 0)
            return;
        if (stride < 1)
            stride = 1;
        if (std::size_t(stride) != stride_)
            resample(std::size_t(stride));
        if (pushed_ % stride_ == 0)
            sample_.push(p);
        all_.push(p);
        ++pushed_;
    }

    // Where the next push writes, for a caller that asks the memory for it
    // ahead of time.
    const vec3d* next_slot() const { return all_.next_slot(); }

    // Point i counted from the oldest (0) or from the newest (0).
    const vec3d& oldest(std::size_t i) const { return all_.oldest(i); }
    const vec3d& newest(std::size_t i) const { return all_.oldest(all_.size() - 1 - i); }

    // The sampled points still in the trail, newest first, and whether the
    // newest of them is the trail's newest point.
    std::size_t sample_size() const {
        if (all_.size() == 0)
            return 0;
        // The multiples of the stride among the held points' counts.
        const std::uint64_t first = pushed_ - all_.size(), last = pushed_ - 1;
        const std::uint64_t held = (last / stride_ + 1) - (first + stride_ - 1) / stride_;
        return std::min<std::size_t>(std::size_t(held), sample_.size());
    }
    const vec3d& sample_newest(std::size_t i) const {
        return sample_.oldest(sample_.size() - 1 - i);
    }
    bool sample_holds_newest() const { return all_.size() > 0 && (pushed_ - 1) % stride_ == 0; }
    bool sample_holds_oldest() const {
        return all_.size() > 0 && (pushed_ - all_.size()) % stride_ == 0;
    }
    std::size_t sample_stride() const { return stride_; }

private:
    class Ring {
    public:
        explicit Ring(std::size_t capacity) : capacity_(capacity) {}
        std::size_t size() const { return size_; }
        std::size_t capacity() const { return capacity_; }
        void set_capacity(std::size_t capacity) {
            points_.clear();
            size_ = oldest_ = 0;
            capacity_ = capacity;
        }
        void push(const vec3d& p) {
            if (capacity_ == 0)
                return;
            if (points_.size() < capacity_) {
                // The whole ring at once: grown by doubling it would end up
                // to twice the capacity for every body.
                if (points_.capacity() < capacity_)
                    points_.reserve(capacity_);
                points_.push_back(p);
                size_ = points_.size();
                return;
            }
            points_[oldest_] = p;
            oldest_ = oldest_ + 1 == capacity_ ? 0 : oldest_ + 1;
        }
        const vec3d* next_slot() const {
            return points_.size() < capacity_ ? points_.data() + points_.size()
                                              : points_.data() + oldest_;
        }
        const vec3d& oldest(std::size_t i) const {
            const std::size_t k = oldest_ + i;
            return points_[k < size_ ? k : k - size_];
        }

    private:
        std::vector<vec3d> points_;
        std::size_t capacity_;
        std::size_t size_ = 0;
        std::size_t oldest_ = 0; // index of the oldest point once full
    };

    void resample(std::size_t stride) {
        stride_ = stride;
        sample_.set_capacity((all_.capacity() + stride - 1) / stride + 1);
        const std::uint64_t first = pushed_ - all_.size();
        for (std::size_t i = 0; i < all_.size(); ++i)
            if ((first + i) % stride == 0)
                sample_.push(all_.oldest(i));
    }

    Ring all_;
    Ring sample_{0};
    std::size_t stride_ = 0;
    std::uint64_t pushed_ = 0; // points ever recorded
};
