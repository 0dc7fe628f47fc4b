#include "nbody/near_index.h"

#include <algorithm>
#include <cmath>

#include "nbody/system.h"

namespace {

// Far beyond any orbit, but well inside the range of the cell numbers.
constexpr double MAX_CELL = 1e17;

std::int64_t cell_number(double v, double size) {
    return static_cast<std::int64_t>(std::clamp(std::floor(v / size), -MAX_CELL, MAX_CELL));
}

bool finite(const vec3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

} // namespace

std::size_t nbNearIndex::CellHash::operator()(const Cell& c) const {
    std::uint64_t h = static_cast<std::uint64_t>(c.x) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<std::uint64_t>(c.y) + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
    h ^= static_cast<std::uint64_t>(c.z) + 0x85EBCA77C2B2AE63ull + (h << 6) + (h >> 2);
    return static_cast<std::size_t>(h);
}

nbNearIndex::nbNearIndex(double metres) : metres_(metres > 0 ? metres : 1.0) {}

nbNearIndex::nbNearIndex(const nbSystem& system, double metres) : nbNearIndex(metres) {
    cells_.reserve(system.size());
    for (const auto& [name, body] : system)
        insert(name, body->position());
}

nbNearIndex::Cell nbNearIndex::cell_of(const vec3d& p) const {
    return {cell_number(p.x, metres_), cell_number(p.y, metres_), cell_number(p.z, metres_)};
}

void nbNearIndex::insert(const std::string& name, const vec3d& p) {
    if (finite(p))
        cells_[cell_of(p)].push_back({p, name});
}

std::string nbNearIndex::find(const vec3d& p) const {
    if (!finite(p) || cells_.empty())
        return std::string();
    // Cells as wide as the distance: a body within it is in the point's
    // cell or in one of the 26 around it.
    const Cell centre = cell_of(p);
    for (std::int64_t dx = -1; dx <= 1; ++dx)
        for (std::int64_t dy = -1; dy <= 1; ++dy)
            for (std::int64_t dz = -1; dz <= 1; ++dz) {
                const auto it = cells_.find({centre.x + dx, centre.y + dy, centre.z + dz});
                if (it == cells_.end())
                    continue;
                for (const Entry& e : it->second)
                    if (e.p.distance_squared(p) <= metres_ * metres_)
                        return e.name;
            }
    return std::string();
}
