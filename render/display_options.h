// What a picture of the system shows: the eight options of the drawing
// panel's check boxes. The defaults are the program's start-up state, which
// the desktop program and the simulator's pictures share.
#pragma once

struct DisplayOptions {
    bool orbits = true;
    bool fade_orbits = true;
    bool names = true;
    bool satellite_names = false;
    bool sun = true;
    bool axes = false;
    bool simplified = false; // false: every primitive depth-sorted
    bool actual_sizes = false;
};
