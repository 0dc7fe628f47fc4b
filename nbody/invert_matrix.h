// In-place inverse of a small dense matrix (the view uses it on 4 x 4).
#pragma once

// Replaces the n x n matrix held in values[0 .. n*n) by its inverse, in the
// same layout (row- or column-major alike). Returns false when the matrix is
// singular; the values are then left as they were.
bool invert_matrix(double* values, int n);
