#include "nbody/accurate_start.h"

#include <algorithm>
#include <memory>

#include "nbody/body.h"
#include "nbody/ecliptic_precession.h"
#include "nbody/invert_matrix.h"
#include "nbody/moon.h"
#include "nbody/planets.h"
#include "nbody/pluto.h"
#include "nbody/system.h"
#include "nbody/units.h"

namespace {

constexpr double AU_SCALE = IAU_ASTRONOMICAL_UNIT / ASTRONOMICAL_UNIT;

// Gravitational parameters of DE430 (Folkner et al. 2014), km^3/s^2; the
// Earth and the Moon from the Earth-Moon barycentre's and the mass ratio.
constexpr double EARTH_MOON_GM = 403503.235502;
constexpr double EARTH_MOON_RATIO = 81.30056907419062;

double gm_km3_s2(SolarBody body) {
    switch (body) {
    case SolarBody::Sun:
        return 132712440041.9394;
    case SolarBody::Mercury:
        return 22031.78;
    case SolarBody::Venus:
        return 324858.592;
    case SolarBody::Earth:
        return EARTH_MOON_GM * EARTH_MOON_RATIO / (1 + EARTH_MOON_RATIO);
    case SolarBody::Moon:
        return EARTH_MOON_GM / (1 + EARTH_MOON_RATIO);
    case SolarBody::Mars:
        return 42828.375214;
    case SolarBody::Jupiter:
        return 126712764.8;
    case SolarBody::Saturn:
        return 37940585.2;
    case SolarBody::Uranus:
        return 5794548.6;
    case SolarBody::Neptune:
        return 6836527.10058;
    case SolarBody::Pluto:
        return 977.0;
    }
    return 0;
}

// The Moon's offset from the Earth in the mean ecliptic and equinox of the
// date: its longitude without the nutation.
vec3d moon_offset_of_date(double jd) {
    return spherical_position(moon_longitude(jd) - nutation_longitude(jd) / 3600, moon_latitude(jd),
                              moon_distance(jd) * 1000);
}

} // namespace

vec3d j2000_position(SolarBody body, double jd) {
    switch (body) {
    case SolarBody::Sun:
        return vec3d();
    case SolarBody::Pluto:
        return pluto_position(jd) * AU_SCALE;
    case SolarBody::Moon: {
        const EclipticRotation to_j2000 = EclipticRotation::to_j2000(jd);
        return to_j2000.apply(planet_position(Planet::Earth, jd) * AU_SCALE) +
               to_j2000.apply(moon_offset_of_date(jd));
    }
    default:
        return EclipticRotation::to_j2000(jd).apply(theory_position(body, jd) * AU_SCALE);
    }
}

vec3d difference_velocity(const std::function<vec3d(double)>& position_at, double jd) {
    // A power of two: jd +- k h are exact for any date the program takes.
    const double h = 0.125;
    const double weights[] = {672.0 / 840, -168.0 / 840, 32.0 / 840, -3.0 / 840};
    vec3d sum;
    for (int k = 1; k <= 4; ++k)
        sum += (position_at(jd + k * h) - position_at(jd - k * h)) * weights[k - 1];
    return sum * (1 / (h * SECONDS_PER_DAY));
}

double accurate_mass(SolarBody body) {
    return gm_km3_s2(body) * 1e9 / GRAVITATIONAL_CONSTANT;
}

BodyState accurate_body_state(SolarBody body, double jd) {
    if (body == SolarBody::Sun)
        return BodyState{};
    BodyState state;
    state.position = j2000_position(body, jd);
    state.velocity = difference_velocity([body](double t) { return j2000_position(body, t); }, jd);
    return state;
}

namespace {

constexpr int FIT_ITERATIONS = 2;

// The three numbers fitted for a body, and what they are judged by: a
// body's heliocentric velocity and position; for the Earth those of the
// Earth-Moon barycentre, for the Moon those of its offset from the Earth.
struct Block {
    SolarBody id;
    vec3d velocity;
};

using Track = std::vector<std::vector<vec3d>>; // by sample, then by block

class Fit {
public:
    Fit(const std::vector<StartingBody>& bodies, double jd) : bodies_(bodies), jd_(jd) {
        const nbBody& earth = body(SolarBody::Earth);
        const nbBody& moon = body(SolarBody::Moon);
        mu_ = moon.mass() / (moon.mass() + earth.mass());
        for (const StartingBody& b : bodies) {
            vec3d v = b.body->velocity();
            if (b.id == SolarBody::Sun)
                continue;
            if (b.id == SolarBody::Earth)
                v = earth.velocity() * (1 - mu_) + moon.velocity() * mu_;
            if (b.id == SolarBody::Moon)
                v = moon.velocity() - earth.velocity();
            blocks_.push_back({b.id, v});
        }
        for (int k = 1; k <= static_cast<int>(FIT_DAYS); ++k) {
            const double t = jd + k;
            const vec3d e = j2000_position(SolarBody::Earth, t);
            const vec3d m = j2000_position(SolarBody::Moon, t);
            std::vector<vec3d> row;
            for (const Block& block : blocks_)
                row.push_back(judged(block.id, j2000_position(block.id, t), e, m));
            theory_.push_back(row);
        }
    }

    void run() {
        // The blocks hardly pull on each other's fit over the window: one
        // 3 x 3 Jacobian per block, every block pushed along the same axis
        // in one trial, kept for all iterations.
        const Track base = residuals(blocks_);
        std::vector<double> push;
        for (const Block& block : blocks_)
            push.push_back(std::max(1e-6 * block.velocity.length(), 1e-4));
        Track pushed[3];
        for (int c = 0; c < 3; ++c) {
            std::vector<Block> trial = blocks_;
            for (std::size_t b = 0; b < trial.size(); ++b)
                component(trial[b].velocity, c) += push[b];
            pushed[c] = residuals(trial);
        }
        Track r = base;
        for (int iteration = 0; iteration < FIT_ITERATIONS; ++iteration) {
            for (std::size_t b = 0; b < blocks_.size(); ++b)
                blocks_[b].velocity += correction(b, push[b], base, pushed, r);
            if (iteration + 1 < FIT_ITERATIONS)
                r = residuals(blocks_);
        }
        for (const StartingBody& b : bodies_)
            if (b.id != SolarBody::Sun)
                b.body->velocity() = velocity(blocks_, b.id);
    }

private:
    static double& component(vec3d& v, int c) { return c == 0 ? v.x : c == 1 ? v.y : v.z; }

    const nbBody& body(SolarBody id) const {
        for (const StartingBody& b : bodies_)
            if (b.id == id)
                return *b.body;
        return *bodies_.front().body;
    }

    vec3d judged(SolarBody id, const vec3d& heliocentric, const vec3d& earth,
                 const vec3d& moon) const {
        if (id == SolarBody::Earth)
            return earth * (1 - mu_) + moon * mu_;
        if (id == SolarBody::Moon)
            return moon - earth;
        return heliocentric;
    }

    // A body's heliocentric velocity from the blocks.
    vec3d velocity(const std::vector<Block>& blocks, SolarBody id) const {
        vec3d barycentre, offset;
        for (const Block& block : blocks) {
            if (block.id == id && id != SolarBody::Earth && id != SolarBody::Moon)
                return block.velocity;
            if (block.id == SolarBody::Earth)
                barycentre = block.velocity;
            if (block.id == SolarBody::Moon)
                offset = block.velocity;
        }
        if (id == SolarBody::Earth)
            return barycentre - offset * mu_;
        if (id == SolarBody::Moon)
            return barycentre + offset * (1 - mu_);
        return vec3d();
    }

    // The least-squares change of block b from the residuals r, with the
    // Jacobian of the pushed trials against the base one.
    vec3d correction(std::size_t b, double push, const Track& base, const Track (&pushed)[3],
                     const Track& r) const {
        double normal[9] = {}, g[3] = {};
        for (std::size_t k = 0; k < r.size(); ++k) {
            vec3d j[3];
            for (int c = 0; c < 3; ++c)
                j[c] = (pushed[c][k][b] - base[k][b]) * (1 / push);
            for (int p = 0; p < 3; ++p) {
                for (int q = 0; q < 3; ++q)
                    normal[3 * p + q] += j[p].dot(j[q]);
                g[p] += j[p].dot(r[k][b]);
            }
        }
        if (!invert_matrix(normal, 3))
            return vec3d();
        vec3d d;
        for (int p = 0; p < 3; ++p)
            component(d, p) =
                -(normal[3 * p] * g[0] + normal[3 * p + 1] * g[1] + normal[3 * p + 2] * g[2]);
        return d;
    }

    // Simulated less theory, by sample and block, from trial velocities.
    Track residuals(const std::vector<Block>& blocks) const {
        nbSystem trial(jd_);
        trial.set_integrator(nbSystem::Integrator::HighAccuracy);
        std::vector<const nbBody*> copy_of(bodies_.size());
        for (std::size_t k = 0; k < bodies_.size(); ++k) {
            const nbBody& b = *bodies_[k].body;
            const vec3d v =
                bodies_[k].id == SolarBody::Sun ? b.velocity() : velocity(blocks, bodies_[k].id);
            auto copy = std::make_unique<nbBody>(b.name(), b.mass(), 1, b.position(), v);
            copy_of[k] = copy.get();
            trial.add(b.name(), std::move(copy));
        }
        auto at = [&](SolarBody id) {
            for (std::size_t k = 0; k < bodies_.size(); ++k)
                if (bodies_[k].id == id)
                    return copy_of[k]->position();
            return vec3d();
        };
        trial.zero_momentum();
        Track out;
        for (std::size_t k = 0; k < theory_.size(); ++k) {
            trial.step(SECONDS_PER_DAY);
            const vec3d sun = at(SolarBody::Sun);
            const vec3d e = at(SolarBody::Earth) - sun, m = at(SolarBody::Moon) - sun;
            std::vector<vec3d> row;
            for (std::size_t b = 0; b < blocks_.size(); ++b)
                row.push_back(judged(blocks_[b].id, at(blocks_[b].id) - sun, e, m) - theory_[k][b]);
            out.push_back(row);
        }
        return out;
    }

    std::vector<StartingBody> bodies_;
    double jd_;
    double mu_ = 0;
    std::vector<Block> blocks_;
    Track theory_;
};

} // namespace

void fit_velocities(const std::vector<StartingBody>& bodies, double jd) {
    Fit(bodies, jd).run();
}
