// What must hold for any catalogue line read as an asteroid and as a comet:
// a set the reader accepts gives a finite body at its epoch, and at any other
// date a finite body or none. Shared by the fuzz target and the regression
// test of the inputs it found; returns the first fault, or "".
#pragma once

#include <memory>
#include <string>

#include "fuzz/finite_body.h"
#include "nbody/elements.h"

inline std::string check_set(nbOrbitalElements& set, bool accepted) {
    if (!accepted)
        return set.valid() ? "a refused line left the set valid" : "";
    if (!set.valid())
        return "an accepted line left the set invalid";
    std::unique_ptr<nbBody> at_epoch = set.create_body(set.epoch());
    if (!at_epoch || !finite_body(*at_epoch))
        return "an accepted set gives no finite body at its epoch";
    // Perihelion, J2000.0 and both ends of the program's dates.
    for (double jd : {set.Tp(), 2451545.0, 0.0, 5373484.5}) {
        std::unique_ptr<nbBody> body = set.create_body(jd);
        if (body && !finite_body(*body))
            return "an accepted set gives a non-finite body";
    }
    set.validate();
    return "";
}

inline std::string check_catalogue_line(const std::string& line) {
    nbOrbitalElementsAsteroid asteroid;
    std::string fault = check_set(asteroid, asteroid.parse_line(line));
    if (!fault.empty())
        return "as an asteroid: " + fault;
    nbOrbitalElementsComet comet;
    fault = check_set(comet, comet.parse_line(line));
    return fault.empty() ? "" : "as a comet: " + fault;
}
