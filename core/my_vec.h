#pragma once

#include "core/my_glist.h"

// Numeric vector: T is the stored type, A the type sums are accumulated in
// (my_vec<float,double> stores floats and adds in double).
template <class T, class A = T>
class my_vec : public my_glist_obj<T> {
 public:
  using value_type = T;
  using accumulator = A;
  my_vec() = default;
  explicit my_vec(int n) { this->resize(n); }
};
