// Conversions between Julian dates and the toolkit's date value. They live
// apart from the rest of nbody so that the simulation core needs no
// wxWidgets; this is the only place that does.
#pragma once

#include <wx/datetime.h>

// JD of the local calendar fields of t (year to second; milliseconds are
// ignored), in the calendar in force on that date. An invalid t gives NaN.
double datetime_to_jd(const wxDateTime& t);

// A local date and time with the calendar fields of jd, seconds truncated to
// a whole number. The inverse of datetime_to_jd to the second. A JD that is
// not finite, negative, more than a million years after J2000.0, or whose
// date the toolkit cannot hold (the Julian leap days of 1500, 1400, ...)
// gives an invalid wxDateTime.
wxDateTime jd_to_datetime(double jd);
