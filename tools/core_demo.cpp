// A short demonstration of the gravitational core: a Sun and an Earth on a
// circular orbit, stepped for one year at the program's default time step.
#include <cmath>
#include <cstdio>

#include "nbody/system.h"

int main() {
    const double sun_mass = 1.9891e30, earth_mass = 5.9736e24;
    const double speed = std::sqrt(GRAVITATIONAL_CONSTANT * sun_mass / ASTRONOMICAL_UNIT);
    nbSystem system(2451545.0);
    system.add("Sun", std::make_unique<nbBody>("Sun", sun_mass, 6.955e8, vec3d(), vec3d()));
    system.add("Earth",
               std::make_unique<nbBody>("Earth", earth_mass, 6.371e6,
                                        vec3d(ASTRONOMICAL_UNIT, 0, 0), vec3d(0, speed, 0)));
    system.zero_momentum();
    const double dt = 0.26 * SECONDS_PER_DAY;
    std::printf("day      earth_x_au  earth_y_au  distance_au\n");
    for (int step = 0; step <= 1405; ++step) {
        if (step % 175 == 0) {
            const nbBody* sun = system.find("Sun");
            const nbBody* earth = system.find("Earth");
            std::printf("%7.2f  %10.6f  %10.6f  %11.8f\n", system.time() - 2451545.0,
                        earth->position().x / ASTRONOMICAL_UNIT,
                        earth->position().y / ASTRONOMICAL_UNIT,
                        earth->distance(*sun) / ASTRONOMICAL_UNIT);
        }
        system.step(dt);
    }
    return 0;
}
