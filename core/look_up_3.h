#pragma once

#include "core/assoc_class.h"
#include "core/my_glist.h"

// Children indexed by the initial letter of their names: first[c] and last[c]
// bound the run of children, in name order, whose names begin with c. Only
// names beginning with 'a' to 'z' can be found.
class look_up_3 : public virtual assoc_class {
 public:
  assoc_class* find_child(const char* name) override;
  assoc_class* find_equal_child(assoc_class& node) override;
  void rebuild_index() override;
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<look_up_3>(); }

 private:
  bool letter_range(char c, int& lo, int& hi);

  my_glist<int> first_;
  my_glist<int> last_;
};
