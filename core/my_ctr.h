#pragma once

#include "core/my_glist.h"

// Growable list: `count` elements in use out of `capacity`, growing by
// `increment` slots whenever it is full.
template <class T>
class my_ctr : public my_glist<T> {
 public:
  my_ctr() = default;
  my_ctr(const my_ctr& other) : my_glist<T>(other), count_(other.count_), increment_(other.increment_) {}
  my_ctr& operator=(const my_ctr& other) {
    my_glist<T>::operator=(other);
    count_ = other.count_;
    increment_ = other.increment_;
    return *this;
  }

  int count() const override { return count_; }
  void use_capacity() override { count_ = this->capacity_; }
  // Copying a growable list is not an element copy (trees copy with copy_from).
  void assign(const my_glist<T>&) override {}
  void free_storage() override {
    this->release();
    count_ = 0;
  }
  virtual void clear() { free_storage(); }

  int increment() const { return increment_; }
  void set_increment(int inc) { increment_ = inc > 0 ? inc : 1; }
  bool empty() const { return count_ == 0; }
  int last_index() const { return this->base_ + count_ - 1; }

  T& append(const T& element) {
    if (count_ >= this->capacity_) this->resize(this->capacity_ + increment_);
    ++count_;
    return this->storage_[count_ - 1] = element;
  }
  // Shifts the later elements down by one; nothing is deleted.
  void remove_at(int index) {
    const int slot = index - this->base_;
    if (slot < 0 || slot >= count_) return;
    for (int i = slot; i + 1 < count_; ++i) this->storage_[i] = std::move(this->storage_[i + 1]);
    this->storage_[count_ - 1] = T();
    --count_;
  }
  void insert_at(int index, const T& element) {
    append(element);
    const int slot = std::clamp(index - this->base_, 0, count_ - 1);
    for (int i = count_ - 1; i > slot; --i) this->storage_[i] = std::move(this->storage_[i - 1]);
    this->storage_[slot] = element;
  }
  void set_count(int n) { count_ = std::clamp(n, 0, this->capacity_); }

  T* begin() { return this->storage_; }
  T* end() { return this->storage_ + count_; }
  const T* begin() const { return this->storage_; }
  const T* end() const { return this->storage_ + count_; }

 protected:
  int count_ = 0;
  int increment_ = 10;
};

template <class T>
class my_ctr_obj : public my_ctr<T> {};

// Pointer list; with container_bits::owns set, the list owns its pointees.
template <class T>
class my_ctr_ptr : public my_ctr<T*> {
 public:
  my_ctr_ptr() = default;
  my_ctr_ptr(const my_ctr_ptr&) = delete;
  my_ctr_ptr& operator=(const my_ctr_ptr&) = delete;
  ~my_ctr_ptr() override {
    // Derived classes empty themselves first; this only catches plain lists.
    if (owns()) {
      for (int i = 0; i < this->count_; ++i) delete this->storage_[i];
    }
    this->count_ = 0;
  }

  bool owns() const { return this->flags_.test(container_bits::owns) != 0; }

  void clear() override {
    if (owns()) {
      // Take each element out of its slot before deleting it: a deletion may
      // reach back into this list.
      for (int i = 0; i < this->count_; ++i) {
        T* p = this->storage_[i];
        this->storage_[i] = nullptr;
        if (p) delete_element(p);
      }
    }
    this->free_storage();
  }
  virtual void delete_at(int index) {
    const int slot = index - this->base_;
    if (!owns() || slot < 0 || slot >= this->count_ || !this->storage_[slot]) return;
    T* p = this->storage_[slot];
    this->storage_[slot] = nullptr;
    delete_element(p);
  }
  virtual void delete_element(T* p) { delete p; }

  int index_of_pointer(const T* p) const {
    for (int i = 0; i < this->count_; ++i)
      if (this->storage_[i] == p) return this->base_ + i;
    return not_found;
  }
  // Takes p out of the list without deleting it.
  bool remove_pointer(const T* p) {
    const int i = index_of_pointer(p);
    if (i == not_found) return false;
    this->remove_at(i);
    return true;
  }
  // Sorts by address, drops repeated pointers and trims the storage.
  void unique_pointers() {
    std::sort(this->begin(), this->end());
    T** last = std::unique(this->begin(), this->end());
    const int kept = static_cast<int>(last - this->begin());
    this->count_ = kept;
    this->resize(kept);
    this->use_capacity();
  }
};
