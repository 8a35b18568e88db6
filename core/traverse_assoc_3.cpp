#include "core/traverse_assoc_3.h"

void traverse_assoc_3::start(assoc_class* root) {
  list_ = root;
  index_ = root ? root->base() : 0;
  current_ = nullptr;
  descended_ = 0;
  index_stack_.free_storage();
  list_stack_.free_storage();
}

assoc_class* traverse_assoc_3::next() {
  if (!list_) return nullptr;
  while (index_ > list_->last_index()) {
    if (list_stack_.empty()) {
      list_ = nullptr;
      return nullptr;
    }
    index_ = index_stack_.pop();
    list_ = list_stack_.pop();
  }
  current_ = (*list_)[index_];
  if (current_ && current_->count() > 0) {
    descended_ = 1;
    index_stack_.push(index_ + 1);
    list_stack_.push(list_);
    list_ = current_;
    index_ = current_->base();
  } else {
    descended_ = 0;
    ++index_;
  }
  return current_;
}

void traverse_assoc_3::skip_children() {
  if (descended_ == 1) index_ = 0x7fffffff;
}
