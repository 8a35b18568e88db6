#pragma once

#include "core/base_3.h"

// A one-pointer reference holder. Holders bound with assoc_class::link are
// reset by the tree when their target dies, so they never dangle.
template <class T>
class ptr_class {
 public:
  ptr_class() = default;
  explicit ptr_class(T* p) : p_(p) {}
  ptr_class(const ptr_class&) = default;
  ptr_class& operator=(const ptr_class&) = default;
  virtual ~ptr_class() = default;

  virtual void reset() { p_ = nullptr; }
  T* get() const { return p_; }
  void set(T* p) { p_ = p; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// Owning holder: deletes its pointee when destroyed or reset.
template <class T>
class heavy_ptr_3 : public ptr_class<T> {
 public:
  heavy_ptr_3() = default;
  explicit heavy_ptr_3(T* p) : ptr_class<T>(p) {}
  heavy_ptr_3(const heavy_ptr_3&) = delete;
  heavy_ptr_3& operator=(const heavy_ptr_3&) = delete;
  ~heavy_ptr_3() override { heavy_ptr_3::reset(); }
  void reset() override {
    T* p = this->get();
    ptr_class<T>::reset();
    delete p;
  }
  void adopt(T* p) {
    reset();
    this->set(p);
  }
};

// A holder that tells its owner when the tree resets it because the target
// died: the owner's target_died() runs after the holder is empty.
template <class T, class Owner>
class notifying_ptr : public ptr_class<T> {
 public:
  explicit notifying_ptr(Owner& owner) : owner_(owner) {}
  void reset() override {
    ptr_class<T>::reset();
    owner_.target_died();
  }

 private:
  Owner& owner_;
};
