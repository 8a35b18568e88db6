#include "core/look_up_3.h"

bool look_up_3::letter_range(char c, int& lo, int& hi) {
  if (first_.count() == 0) rebuild_index();
  if (c < 'a' || c > 'z' || first_.count() == 0) return false;
  lo = first_[c];
  hi = last_[c];
  return lo != not_found;
}

assoc_class* look_up_3::find_child(const char* name) {
  int lo = 0;
  int hi = 0;
  if (!name || !letter_range(name[0], lo, hi)) return nullptr;
  const int i = find_sorted(name, lo, hi);
  return i == not_found ? nullptr : (*this)[i];
}

assoc_class* look_up_3::find_equal_child(assoc_class& node) {
  int lo = 0;
  int hi = 0;
  if (!letter_range(node.class_name()[0], lo, hi)) return nullptr;
  const int i = find_sorted_node(node, lo, hi);
  return i == not_found ? nullptr : (*this)[i];
}

void look_up_3::rebuild_index() {
  if (count() == 0) {
    first_.free_storage();
    last_.free_storage();
    return;
  }
  sort_children();
  first_.allocate(26);
  last_.allocate(26);
  first_.rebase('a');
  last_.rebase('a');
  first_.fill(not_found);
  last_.fill(not_found);
  for (int i = base(); i <= last_index(); ++i) {
    const char c = (*this)[i]->class_name()[0];
    if (c < 'a' || c > 'z') continue;
    if (first_[c] == not_found) first_[c] = i;
    last_[c] = i;
  }
}
