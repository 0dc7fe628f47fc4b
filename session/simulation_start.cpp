#include "session/simulation_start.h"

#include "nbody/factory.h"
#include "render/view.h"
#include "render/view_commands.h"

nbSystem* start_simulation(nbFactory& factory, dcAdapter& view, double jd, int w, int h,
                           bool zero_momentum) {
    nbSystem* system = factory.create_solar_system(jd);
    view_start(view, w, h);
    if (system && zero_momentum)
        system->zero_momentum();
    return system;
}
