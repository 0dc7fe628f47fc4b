#include "nbody/approach_watch.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

namespace {

std::uint64_t next_serial() {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

// Heavy bodies and one light body moved together over the re-crossed step:
// the heavy ones pull one another and the light one, which pulls nothing.
struct Bodies {
    std::vector<vec3d> p, v; // the heavy ones, then the light one last
    std::vector<double> mass;

    std::size_t light() const { return p.size() - 1; }

    void accelerations(const std::vector<vec3d>& at, std::vector<vec3d>& a) const {
        const std::size_t n = at.size(), heavy = n - 1;
        a.assign(n, vec3d());
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t k = 0; k < heavy; ++k) {
                if (k == i)
                    continue;
                // A unit mass on i: the pull is then the acceleration.
                nbBody::accumulate_pull(at[i].x, at[i].y, at[i].z, 1.0, at[k].x, at[k].y, at[k].z,
                                        mass[k], a[i].x, a[i].y, a[i].z);
            }
    }
};

void euler_substep(Bodies& b, double h, std::vector<vec3d>& a) {
    b.accelerations(b.p, a);
    for (std::size_t i = 0; i < b.p.size(); ++i) {
        b.v[i] += a[i] * h;
        b.p[i] += b.v[i] * h;
    }
}

void rk4_substep(Bodies& b, double h, std::vector<vec3d> (&w)[8]) {
    const std::size_t n = b.p.size();
    std::vector<vec3d>&p2 = w[0], &v2 = w[1], &k1 = w[2], &k2 = w[3], &k3 = w[4], &k4 = w[5];
    std::vector<vec3d>&v3 = w[6], &v4 = w[7];
    p2.resize(n);
    v2.resize(n);
    v3.resize(n);
    v4.resize(n);
    b.accelerations(b.p, k1);
    for (std::size_t i = 0; i < n; ++i) {
        p2[i] = b.p[i] + b.v[i] * (h / 2);
        v2[i] = b.v[i] + k1[i] * (h / 2);
    }
    b.accelerations(p2, k2);
    for (std::size_t i = 0; i < n; ++i) {
        p2[i] = b.p[i] + v2[i] * (h / 2);
        v3[i] = b.v[i] + k2[i] * (h / 2);
    }
    b.accelerations(p2, k3);
    for (std::size_t i = 0; i < n; ++i) {
        p2[i] = b.p[i] + v3[i] * h;
        v4[i] = b.v[i] + k3[i] * h;
    }
    b.accelerations(p2, k4);
    for (std::size_t i = 0; i < n; ++i) {
        b.p[i] += (b.v[i] + (v2[i] + v3[i]) * 2 + v4[i]) * (h / 6);
        b.v[i] += (k1[i] + (k2[i] + k3[i]) * 2 + k4[i]) * (h / 6);
    }
}

// The least distance on the cubic (in s from 0 to 1 over a sub-step of h
// seconds) through relative positions r0, r1 with relative velocities u0,
// u1 at its ends: the fraction s, the distance and the relative speed there.
void least_on_cubic(const vec3d& r0, const vec3d& u0, const vec3d& r1, const vec3d& u1, double h,
                    double& s_min, double& distance, double& speed) {
    const vec3d m0 = u0 * h, m1 = u1 * h;
    auto at = [&](double s) {
        const double s2 = s * s, s3 = s2 * s;
        return r0 * (2 * s3 - 3 * s2 + 1) + m0 * (s3 - 2 * s2 + s) + r1 * (-2 * s3 + 3 * s2) +
               m1 * (s3 - s2);
    };
    auto rate = [&](double s) {
        const double s2 = s * s;
        return (r0 * (6 * s2 - 6 * s) + m0 * (3 * s2 - 4 * s + 1) + r1 * (-6 * s2 + 6 * s) +
                m1 * (3 * s2 - 2 * s)) *
               (1 / h);
    };
    // The distance falls at 0 and rises at 1: bisect on the sign of r.r'.
    double lo = 0, hi = 1;
    for (int k = 0; k < 60; ++k) {
        const double mid = (lo + hi) / 2;
        if (at(mid).dot(rate(mid)) < 0)
            lo = mid;
        else
            hi = mid;
    }
    s_min = (lo + hi) / 2;
    distance = at(s_min).length();
    speed = rate(s_min).length();
}

} // namespace

// The scan's one loop, over a piece of light bodies for one heavy body:
// built for the widest vectors the CPU has (the flags do not depend on
// which), since it runs for every pair of every step. A pair's squared
// relative speed is at most twice the sum of the two squared speeds: the
// piece holds that share of the reach for each light body, and the loop
// needs neither velocities nor a branch.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
nbApproachWatch::flag_near(Scratch& w, const double* x, const double* y, const double* z,
                           const Heavy& h, std::size_t k) {
    const double hx = h.x[k], hy = h.y[k], hz = h.z[k], limit = h.loose_limit[k];
    const double root = h.root_limit[k], per_speed = h.per_speed[k], base = h.base_speed[k];
    for (std::size_t j = 0; j < Scratch::SIZE; ++j) {
        const double rx = x[j] - hx, ry = y[j] - hy, rz = z[j] - hz;
        const double d2 = rx * rx + ry * ry + rz * rz;
        w.flag[j] |= std::int64_t(d2 - w.reach[j] < limit);
        // Whether it might come within reach before skip_ more steps.
        const double need = root + per_speed * (w.speed[j] + base);
        w.unsafe[j] |= std::int64_t(d2 < need * need);
    }
}

double nbApproachWatch::default_radius(const std::string& body) {
    if (body == "Earth" || body == "Moon" || body == "Sun" || body == "Pluto")
        return 0.05 * ASTRONOMICAL_UNIT;
    return 0.1 * ASTRONOMICAL_UNIT;
}

nbApproachWatch::nbApproachWatch() : serial_(next_serial()) {}

double nbApproachWatch::radius(const std::string& body) const {
    auto it = radii_.find(body);
    if (it != radii_.end())
        return it->second;
    return every_ >= 0 ? every_ : default_radius(body);
}

void nbApproachWatch::set_radius(const std::string& body, double metres) {
    radii_[body] = metres;
    rescan_ = true;
}

void nbApproachWatch::set_every_radius(double metres) {
    radii_.clear();
    every_ = std::max(0.0, metres);
    rescan_ = true;
}

void nbApproachWatch::clear() {
    events_.clear();
    serial_ = next_serial();
}

void nbApproachWatch::begin_step(const nbBodyState* states, const std::vector<nbBody*>& order,
                                 std::size_t heavy, double dt, std::uint64_t arrangement) {
    if (arrangement != arrangement_ || heavy != n_heavy_) {
        tracks_.clear();
        arrangement_ = arrangement;
        rescan_ = true;
    }
    // A skip reckoned for another step length or other radii does not hold;
    // nor one past the counter's end, which starts again.
    if (steps_ >= 0xFFFF0000u) {
        steps_ = 0;
        rescan_ = true;
    }
    if (rescan_ || dt != dt_ || due_.size() != order.size()) {
        due_.assign(order.size(), 0);
        rescan_ = false;
    }
    ++steps_;
    n_heavy_ = heavy;
    dt_ = dt;
    Heavy& h = heavy_;
    for (auto* v : {&h.x, &h.y, &h.z, &h.vx, &h.vy, &h.vz, &h.loose_limit, &h.mass, &h.limit,
                    &h.radius, &h.root_limit, &h.per_speed, &h.base_speed})
        v->resize(heavy);
    sun_ = 0;
    for (std::size_t k = 0; k < heavy; ++k) {
        const nbBodyState& s = states[k];
        h.x[k] = s.position.x;
        h.y[k] = s.position.y;
        h.z[k] = s.position.z;
        h.vx[k] = s.velocity.x;
        h.vy[k] = s.velocity.y;
        h.vz[k] = s.velocity.z;
        h.mass[k] = s.mass;
        const double r = radius(order[k]->name());
        h.radius[k] = r;
        // A pair can close by at most its relative speed times the step
        // (taken a quarter larger: the speed changes within the step), plus
        // what the pull of the heavy body at the radius and, at most a
        // centimetre per second squared, the others' unequal pulls add. With
        // (a + b)^2 <= 2a^2 + 2b^2 the test needs no square root.
        const double pull = r > 0 ? GRAVITATIONAL_CONSTANT * s.mass / (r * r) : 0;
        const double reach = r + (pull + 0.01) * dt * dt;
        h.limit[k] = r > 0 ? 2 * reach * reach : -std::numeric_limits<double>::infinity();
        if (s.mass > states[sun_].mass)
            sun_ = k;
    }
    speed_factor_ = 2 * 1.25 * 1.25 * dt * dt;
    for (std::size_t k = 0; k < heavy; ++k)
        h.loose_limit[k] = h.limit[k] + 2 * speed_factor_ * states[k].velocity.length_squared();
    // Most light bodies are far from every heavy one: the scan passes them
    // by for up to two days. A pair's relative speed stays below the two
    // speeds, plus what the heavy body's pull can add by its radius and 20
    // km/s for what the Sun's adds to either in two days outside 0.5 AU from
    // it (inside, nothing is passed by); its distance shrinks by at most
    // that speed times the time. While it stays above the square root of
    // the scan's bound at that speed, the pair is no candidate. A body not
    // watched keeps no light body from being passed by.
    skip_ = std::min(1e6, std::floor(2 * SECONDS_PER_DAY / dt));
    for (std::size_t k = 0; k < heavy; ++k) {
        const bool watched = h.limit[k] > 0;
        const double escape =
            watched ? std::sqrt(2 * GRAVITATIONAL_CONSTANT * h.mass[k] / h.radius[k]) : 0;
        h.root_limit[k] = watched ? std::sqrt(h.limit[k]) : 0;
        if (k == sun_)
            h.root_limit[k] += 0.5 * ASTRONOMICAL_UNIT;
        h.per_speed[k] = watched ? std::sqrt(speed_factor_) + skip_ * dt : 0;
        h.base_speed[k] = watched ? states[k].velocity.length() + escape + 20000 : 0;
    }
    candidates_[0].clear();
    candidates_[1].clear();
}

void nbApproachWatch::scan(const nbBodyState* states, std::size_t first, std::size_t last,
                           int share) {
    Scratch& w = scratch_[share];
    for (std::size_t from = first; from < last; from += Scratch::SIZE) {
        const std::size_t count = std::min(Scratch::SIZE, last - from);
        for (std::size_t j = 0; j < count; ++j) {
            const vec3d& p = states[from + j].position;
            w.x[j] = p.x;
            w.y[j] = p.y;
            w.z[j] = p.z;
        }
        scan_piece(w.x, w.y, w.z, states, from, count, share);
    }
}

void nbApproachWatch::scan_piece(const double* x, const double* y, const double* z,
                                 const nbBodyState* states, std::size_t from, std::size_t count,
                                 int share) {
    const std::size_t na = n_heavy_;
    Scratch& w = scratch_[share];
    // Most pieces hold no body due: a glance at their steps.
    bool any = false;
    for (std::size_t j = 0; j < count; ++j)
        any |= due_[from + j] <= steps_;
    if (!any)
        return;
    for (std::size_t j = 0; j < Scratch::SIZE; ++j) {
        // Past the piece's end (where the positions may be anything) and
        // for bodies passed by until a later step, a reach below every
        // distance.
        const bool due = j < count && due_[from + j] <= steps_;
        const double v2 = due ? states[from + j].velocity.length_squared() : 0;
        w.reach[j] = due ? 2 * speed_factor_ * v2 : -INFINITY;
        w.speed[j] = std::sqrt(v2);
        w.flag[j] = 0;
        w.unsafe[j] = 0;
    }
    for (std::size_t k = 0; k < na; ++k)
        flag_near(w, x, y, z, heavy_, k);
    std::vector<Candidate>& out = candidates_[share];
    for (std::size_t j = 0; j < count; ++j) {
        if (!(w.reach[j] > -INFINITY))
            continue;
        const nbBodyState& s = states[from + j];
        if (!w.flag[j]) {
            due_[from + j] = steps_ + 1 + (w.unsafe[j] || !(skip_ >= 1) ? 0 : std::uint32_t(skip_));
            continue;
        }
        // The few near ones: the pair's own relative speed, and whether it
        // closes; they are looked at again next step.
        bool candidate = false;
        for (std::size_t k = 0; k < na && !candidate; ++k)
            candidate = near_and_closing(s.position, s.velocity, k);
        if (candidate)
            out.push_back({std::uint32_t(from + j), s.position, s.velocity});
    }
}

bool nbApproachWatch::near_and_closing(const vec3d& p, const vec3d& v, std::size_t k) const {
    const vec3d r = p - vec3d(heavy_.x[k], heavy_.y[k], heavy_.z[k]);
    const vec3d u = v - vec3d(heavy_.vx[k], heavy_.vy[k], heavy_.vz[k]);
    return r.dot(u) < 0 &&
           r.length_squared() < heavy_.limit[k] + speed_factor_ * u.length_squared();
}

void nbApproachWatch::end_step(const nbBodyState* states, const std::vector<nbBody*>& order,
                               double time, double dt, Scheme scheme) {
    std::vector<char> passed(n_heavy_);
    for (const std::vector<Candidate>& list : candidates_)
        for (const Candidate& c : list) {
            auto [it, fresh] = tracks_.try_emplace(c.index);
            Track& track = it->second;
            track.seen = true;
            if (fresh) {
                track.time = time;
                track.position = c.position;
                track.velocity = c.velocity;
                for (std::size_t k = 0; k < n_heavy_; ++k) {
                    track.heavy_position.emplace_back(heavy_.x[k], heavy_.y[k], heavy_.z[k]);
                    track.heavy_velocity.emplace_back(heavy_.vx[k], heavy_.vy[k], heavy_.vz[k]);
                }
            }
            const nbBodyState& end = states[c.index];
            bool any = false;
            for (std::size_t k = 0; k < n_heavy_; ++k) {
                const vec3d r1 = end.position - states[k].position;
                const vec3d u1 = end.velocity - states[k].velocity;
                passed[k] = near_and_closing(c.position, c.velocity, k) && r1.dot(u1) >= 0;
                if (passed[k]) {
                    // The long step's own least distance is off by far less
                    // than half the radius wherever the pass could end
                    // inside it: a pass well outside is not crossed again.
                    const vec3d hp(heavy_.x[k], heavy_.y[k], heavy_.z[k]);
                    const vec3d hv(heavy_.vx[k], heavy_.vy[k], heavy_.vz[k]);
                    double s = 0, least = 0, speed = 0;
                    least_on_cubic(c.position - hp, c.velocity - hv, r1, u1, dt, s, least, speed);
                    passed[k] = least < 1.5 * heavy_.radius[k];
                }
                any = any || passed[k];
            }
            if (any) {
                refine(c.index, track, order, time, dt, scheme, passed);
                // Past the minimum: a later pass starts a track of its own.
                track.seen = false;
            }
        }
    for (auto it = tracks_.begin(); it != tracks_.end();) {
        if (it->second.seen) {
            it->second.seen = false;
            ++it;
        } else {
            it = tracks_.erase(it);
        }
    }
    candidates_[0].clear();
    candidates_[1].clear();
}

void nbApproachWatch::refine(std::uint32_t index, const Track& track,
                             const std::vector<nbBody*>& order, double time, double dt,
                             Scheme scheme, const std::vector<char>& passed) {
    const std::size_t na = n_heavy_;
    Bodies b;
    b.p = track.heavy_position;
    b.v = track.heavy_velocity;
    for (std::size_t k = 0; k < na; ++k)
        b.mass.push_back(heavy_.mass[k]);
    b.p.push_back(track.position);
    b.v.push_back(track.velocity);
    b.mass.push_back(0);
    const std::size_t j = b.light();

    // From the track's start to the end of this step and, should the finer
    // path turn a little later than the long steps said, a step further:
    // the next step starts with the distance rising and would not look.
    // Of the pair's turns on the way, the one nearest this step counts.
    const double step_from = (time - track.time) * SECONDS_PER_DAY, step_to = step_from + dt;
    struct Turn {
        bool found = false;
        double off = INFINITY; // s outside this step
        double t = 0, distance = 0, speed = 0;
    };
    std::vector<Turn> turns(na);
    std::vector<vec3d> a, work[8];
    std::vector<vec3d> p0, v0;
    for (double t = 0; t < step_to + dt;) {
        if (t >= step_to) {
            bool all = true;
            for (std::size_t k = 0; k < na; ++k)
                all = all && (!passed[k] || turns[k].found);
            if (all)
                break;
        }
        // A minute within a million km, longer sub-steps farther out where
        // the pull is weak (up to an hour, at 0.4 AU).
        double nearest = INFINITY;
        for (std::size_t k = 0; k < na; ++k)
            if (passed[k])
                nearest = std::min(nearest, b.p[j].distance(b.p[k]));
        const double h = std::clamp(SUBSTEP * nearest / 1e9, SUBSTEP, 60 * SUBSTEP);
        p0 = b.p;
        v0 = b.v;
        if (scheme == Scheme::SemiImplicitEuler)
            euler_substep(b, h, a);
        else
            rk4_substep(b, h, work);
        for (std::size_t k = 0; k < na; ++k) {
            if (!passed[k])
                continue;
            const vec3d r0 = p0[j] - p0[k], u0 = v0[j] - v0[k];
            const vec3d r1 = b.p[j] - b.p[k], u1 = b.v[j] - b.v[k];
            if (!(r0.dot(u0) < 0 && r1.dot(u1) >= 0))
                continue;
            Turn turn;
            turn.found = true;
            double s = 0;
            least_on_cubic(r0, u0, r1, u1, h, s, turn.distance, turn.speed);
            turn.t = t + s * h;
            turn.off = std::max({0.0, step_from - turn.t, turn.t - step_to});
            if (turn.off < turns[k].off)
                turns[k] = turn;
        }
        t += h;
    }
    for (std::size_t k = 0; k < na; ++k) {
        const Turn& turn = turns[k];
        if (!turn.found || !(turn.distance < heavy_.radius[k]))
            continue;
        nbApproach event;
        event.object = order[index]->name();
        event.with = order[k]->name();
        event.jd = track.time + turn.t / SECONDS_PER_DAY;
        event.distance = turn.distance;
        event.speed = turn.speed;
        event.with_radius = order[k]->display_radius();
        record(std::move(event));
    }
}

void nbApproachWatch::record(nbApproach event) {
    // Mostly at the end; a step's events come in index order.
    auto later = [](const nbApproach& a, const nbApproach& b) { return a.jd < b.jd; };
    events_.insert(std::upper_bound(events_.begin(), events_.end(), event, later),
                   std::move(event));
}
