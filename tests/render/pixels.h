// Reading pixels back from pictures drawn in the tests.
#pragma once

#include <ostream>

#include <wx/colour.h>
#include <wx/image.h>

#include "render/paint_types.h"

inline wxColour pixel(const wxImage& image, int x, int y) {
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

// Lets failed comparisons show the colour rather than an address.
inline void PrintTo(const wxColour& c, std::ostream* os) {
    *os << "rgb(" << int(c.Red()) << ", " << int(c.Green()) << ", " << int(c.Blue()) << ")";
}

inline void PrintTo(const dcRgb& c, std::ostream* os) {
    *os << "rgb(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}
