// Bodies by position, to tell in constant time whether a point lies within
// a small distance of one of them: a body placed within a metre of another
// is refused (two bodies on one point give 0 / 0 in the force law), and a
// catalogue page places thousands at once.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "nbody/vec3d.h"

class nbSystem;

class nbNearIndex {
public:
    explicit nbNearIndex(double metres = 1.0);
    // Every body of the system, indexed.
    explicit nbNearIndex(const nbSystem& system, double metres = 1.0);

    // A point that is not finite is not indexed.
    void insert(const std::string& name, const vec3d& p);
    // The name of an indexed body within the distance of p (any one where
    // there are several); empty when there is none.
    std::string find(const vec3d& p) const;

private:
    struct Cell {
        std::int64_t x, y, z;
        bool operator==(const Cell& o) const { return x == o.x && y == o.y && z == o.z; }
    };
    struct CellHash {
        std::size_t operator()(const Cell& c) const;
    };
    struct Entry {
        vec3d p;
        std::string name;
    };
    Cell cell_of(const vec3d& p) const;

    double metres_;
    std::unordered_map<Cell, std::vector<Entry>, CellHash> cells_;
};
