#pragma once

#include <memory>

#include "core/assoc_class.h"
#include "core/my_matrix.h"
#include "numerics/svd.h"

// A design: one double vector per basis function, holding the function's value
// at every data point (a matrix_double whose rows are the functions will do).
using design_list = my_glist<double_vec>;

// Linear least squares through the normal equations and the SVD solver
//. The vectors and matrices are indexed from 0 (x[0] is the
// coefficient of the first basis function); the solver sees them from 1.
class fit_9 : public assoc_class {
 public:
  // Singular values below this fraction of the largest are taken as 0.
  static constexpr double singular_fraction = 1e-16;

  const char* class_name() const override { return "fit"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<fit_9>(); }
  // Copies n, A, V, b, w and x (from another fit), then the children.
  void copy_from(assoc_class& source) override;

  // Stores n; A and V become n x n, b, w and x n long, all zero.
  void set_size(int size);
  // b_k += sum_i y_i D_k(i); A[k][l] = A[l][k] = sum_i D_k(i) D_l(i) (l >= k).
  // Basis functions beyond the n-th are ignored; the points are those that y
  // and the basis function both have, counted from their first indices.
  void accumulate(const double_vec& y, const design_list& design);
  // Decomposes A (replaced by U), zeroes the singular values below
  // singular_fraction times the largest and back-substitutes into x. Nothing
  // happens when n is 0. On non-convergence the SVD's numeric_abort is
  // thrown on; x is left as it was.
  void solve();
  // set_size(number of basis functions), accumulate, solve.
  void fit(const double_vec& y, const design_list& design);

  int n = 0;
  matrix_double A;
  matrix_double V;
  double_vec b;
  double_vec w;
  double_vec x;
};
