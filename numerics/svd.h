#pragma once

#include "core/my_matrix.h"
#include "core/my_vec.h"

using double_vec = my_vec<double, double>;

// The SVD solver (Golub-Reinsch). Rows and columns are numbered
// 1 .. m and 1 .. n and reached through the containers' operator[]: callers
// size (or rebase) their containers so that these indices are valid.

// The message of a decomposition that does not converge.
inline constexpr const char* svd_no_convergence_message =
    "No convergence in 30 Singular Value Decomposition iterations\nleading to an unstable refinement";

// Replaces the m x n matrix a by U such that a = U diag(w) V^T; w gets the n
// singular values (non-negative, unsorted) and v the n x n right singular
// vectors (not transposed). When one singular value does not converge within
// 30 passes, numeric_abort is thrown with the message above.
void svd_decompose(matrix_double& a, int m, int n, double_vec& w, matrix_double& v);

// x = V diag(1/w) U^T b, a zero w_j contributing nothing.
void svd_back_substitute(const matrix_double& u, const double_vec& w, const matrix_double& v, int m, int n,
                         const double_vec& b, double_vec& x);

// sqrt(a^2 + b^2) without overflow.
double hypotenuse(double a, double b);
