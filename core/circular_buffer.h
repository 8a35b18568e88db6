#pragma once

#include "core/my_glist.h"

// Ring of fixed size: the write index advances and wraps, and can be stepped
// back to recover recent elements.
template <class T>
class circular_buffer : public my_glist_obj<T> {
 public:
  explicit circular_buffer(int size) { this->resize(size); }

  void put(const T& v) {
    this->storage_[write_] = v;
    write_ = write_ + 1 == this->capacity_ ? 0 : write_ + 1;
  }
  // Steps the write index back and returns the element found there.
  T step_back() {
    write_ = write_ == 0 ? this->capacity_ - 1 : write_ - 1;
    return this->storage_[write_];
  }
  int write_index() const { return write_; }

 private:
  int write_ = 0;
};
