// The rotation that carries ecliptic coordinates referred to the mean
// ecliptic and equinox of a date onto the mean ecliptic and equinox of
// J2000.0: the IAU 1976 precession angles of the ecliptic as J. Meeus gives
// them (Astronomical Algorithms, chapter 21).
#pragma once

#include "nbody/vec3d.h"

class EclipticRotation {
public:
    // The rotation from the ecliptic of `jd` to that of J2000.0.
    static EclipticRotation to_j2000(double jd);

    vec3d apply(const vec3d& v) const {
        return vec3d(m_[0][0] * v.x + m_[0][1] * v.y + m_[0][2] * v.z,
                     m_[1][0] * v.x + m_[1][1] * v.y + m_[1][2] * v.z,
                     m_[2][0] * v.x + m_[2][1] * v.y + m_[2][2] * v.z);
    }
    double at(int row, int column) const { return m_[row][column]; }

private:
    double m_[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};
