// How a simulation starts, in the desktop program and in the simulator alike:
// the solar system built at a date, the start-up view, the momentum zeroed.
#pragma once

class dcAdapter;
class nbFactory;
class nbSystem;

// Builds the Sun, the planets, the Moon and Pluto at jd (replacing any
// earlier system), gives the view its start-up scale of 20 AU with the
// origin at the centre of a w x h panel (the rotation stays), and zeroes
// the total momentum unless told not to.
nbSystem* start_simulation(nbFactory& factory, dcAdapter& view, double jd, int w, int h,
                           bool zero_momentum = true);
