#pragma once

#include "core/my_glist.h"
#include "core/my_vec.h"

// Matrix as a list of row vectors.
template <class V>
class my_matrix : public my_glist_obj<V> {
 public:
  my_matrix() = default;
  my_matrix(int rows, int cols) { set_size(rows, cols); }
  void set_size(int rows, int cols) {
    this->allocate(rows);
    for (int r = 0; r < rows; ++r) (*this)[this->base() + r].allocate(cols);
  }
  int rows() const { return this->count(); }
  int cols() const { return this->count() > 0 ? (*this)[this->base()].count() : 0; }
};

using matrix_double = my_matrix<my_vec<double, double>>;
