// The close approaches as a table file: the simulator's --approaches and
// the window's "Export CSV..." write the same bytes.
#pragma once

#include <string>
#include <vector>

#include "nbody/approach_watch.h"
#include "readers/csv_field.h"

// The header line, without its line end.
extern const char* const APPROACHES_CSV_HEADER;

// "YYYY-MM-DDTHH:MM:SSZ" of jd, to the nearest second, in the calendar of
// the date (Julian before 1582-10-15, as everywhere in the program); the
// simulation's JD is taken as universal time. Years before 1 come with a
// sign, "-0044-03-15T...". A JD that is not finite gives "".
std::string jd_to_utc_text(double jd);

// The header and one line per event, in the order given; lines end in
// "\n".
std::string approaches_csv(const std::vector<nbApproach>& events);
