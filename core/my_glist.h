#pragma once

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <utility>

#include "core/base_3.h"
#include "core/my_flag.h"

// Index returned by searches that find nothing.
inline constexpr int not_found = -2147483647;  // 0x80000001

namespace container_bits {
inline constexpr std::uint32_t borrowed = 0x1;  // storage belongs to another object
inline constexpr std::uint32_t owns = 0x2;      // pointer containers own their pointees
}  // namespace container_bits

// Element storage and its size. Element i of a list with base index b lives in
// slot i - b: the base index is kept apart instead of offsetting the pointer,
// which would point outside the array.
template <class T>
class ptr_n_class : public base_3 {
 public:
  int capacity() const { return capacity_; }

 protected:
  T* storage_ = nullptr;
  int capacity_ = 0;
};

template <class T>
class my_glist_m1 : public ptr_n_class<T> {
 public:
  int base() const { return base_; }
  // Moves the index range; no data moves.
  void rebase(int b) { base_ = b; }
  my_flag& flags() { return flags_; }
  const my_flag& flags() const { return flags_; }

  T& operator[](int i) {
    assert(i >= base_ && i - base_ < this->capacity_);
    return this->storage_[i - base_];
  }
  const T& operator[](int i) const {
    assert(i >= base_ && i - base_ < this->capacity_);
    return this->storage_[i - base_];
  }
  // Raw view of the elements from the base index on (for numerics and I/O).
  T* data() { return this->storage_; }
  const T* data() const { return this->storage_; }

 protected:
  int base_ = 0;
  my_flag flags_;
};

// Fixed-size list: every allocated element is in use.
template <class T>
class my_glist : public my_glist_m1<T> {
 public:
  my_glist() = default;
  explicit my_glist(int n) { resize(n); }
  my_glist(const my_glist& other) : my_glist_m1<T>() { copy_elements(other); }
  my_glist& operator=(const my_glist& other) {
    if (this != &other) copy_elements(other);
    return *this;
  }
  ~my_glist() override { release(); }

  virtual int count() const { return this->capacity_; }
  virtual void use_capacity() {}
  virtual void assign(const my_glist& other) { copy_elements(other); }
  virtual void free_storage() { release(); }

  int first_index() const { return this->base_; }
  int end_index() const { return this->base_ + count(); }

  // n < 1 frees; otherwise reallocates keeping the overlapping index range.
  void resize(int n) {
    if (n < 1) {
      release();
      return;
    }
    if (this->storage_ && n == this->capacity_) return;
    T* fresh = new T[static_cast<std::size_t>(n)]();
    const int keep = std::min(n, this->capacity_);
    for (int i = 0; i < keep; ++i) fresh[i] = std::move(this->storage_[i]);
    release();
    this->storage_ = fresh;
    this->capacity_ = n;
  }
  void allocate(int n) {
    release();
    resize(n);
  }
  // Adopts the other's storage; the other keeps its pointer but no longer
  // frees it, so destroying it is harmless.
  void take_storage(my_glist& other) {
    if (&other == this) return;
    release();
    this->storage_ = other.storage_;
    this->capacity_ = other.capacity_;
    this->base_ = other.base_;
    this->flags_.assign(container_bits::borrowed, other.flags_.test(container_bits::borrowed));
    other.flags_.set(container_bits::borrowed);
  }
  bool storage_borrowed() const { return this->flags_.test(container_bits::borrowed) != 0; }
  void reverse() {
    for (int i = 0, j = count() - 1; i < j; ++i, --j) std::swap(this->storage_[i], this->storage_[j]);
  }
  void fill(const T& v) {
    for (int i = 0; i < this->capacity_; ++i) this->storage_[i] = v;
  }

 protected:
  void release() {
    if (this->storage_ && !this->flags_.test(container_bits::borrowed)) delete[] this->storage_;
    this->storage_ = nullptr;
    this->capacity_ = 0;
    this->flags_.clear(container_bits::borrowed);
  }
  void copy_elements(const my_glist& other) {
    release();
    if (other.capacity_ > 0) {
      resize(other.capacity_);
      for (int i = 0; i < other.capacity_; ++i) this->storage_[i] = other.storage_[i];
    }
    this->base_ = other.base_;
  }
};

template <class T>
class my_glist_obj : public my_glist<T> {
 public:
  using my_glist<T>::my_glist;
};

template <class T>
class my_glist_ptr : public my_glist<T*> {
 public:
  using my_glist<T*>::my_glist;
};
