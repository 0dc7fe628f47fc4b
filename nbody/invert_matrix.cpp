#include "nbody/invert_matrix.h"

#include <linalg.h>

bool invert_matrix(double* values, int n) {
    if (values == nullptr || n <= 0)
        return false;
    // The array receives the transpose of a row-wise reading; since the
    // inverse of a transpose is the transpose of the inverse, copying back
    // with the same mapping leaves the inverse in the caller's own layout.
    alglib::real_2d_array a;
    a.setlength(n, n);
    for (int k = 0; k < n; ++k)
        for (int j = 0; j < n; ++j)
            a(j, k) = values[k * n + j];
    alglib::ae_int_t info = 0;
    alglib::matinvreport rep;
    alglib::rmatrixinverse(a, n, info, rep);
    if (info <= 0)
        return false;
    for (int k = 0; k < n; ++k)
        for (int j = 0; j < n; ++j)
            values[k * n + j] = a(j, k);
    return true;
}
