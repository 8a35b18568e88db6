#pragma once

#include "core/my_ctr.h"

// Last in, first out on a growable value list.
template <class T>
class my_stack : public my_ctr_obj<T> {
 public:
  void push(const T& v) { this->append(v); }
  // Popping an empty stack gives a value-initialised element.
  T pop() {
    if (this->count_ == 0) return T();
    T v = std::move(this->storage_[this->count_ - 1]);
    --this->count_;
    return v;
  }
  T& top() { return this->storage_[this->count_ - 1]; }
};
