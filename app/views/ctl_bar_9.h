#pragma once

#include <memory>
#include <vector>

#include "app/platform/platform.h"
#include "core/assoc_class.h"

// The control bar (node "controlbar"): the scroll and extend buttons of the
// graph views, then one button per loaded file. It keeps the gadgets in
// order and hands the whole row to the platform whenever it changes.
class ctl_bar_9 : public assoc_class {
 public:
  ctl_bar_9();
  const char* class_name() const override { return "controlbar"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  // Lays the bar out again.
  assoc_class* execute() override;

  const std::vector<platform_types::gadget>& gadgets() const { return gadgets_; }
  // Inserts before the gadget with id `before` (0 or an id not there: at the
  // end).
  void insert(const platform_types::gadget& g, int before = 0);
  // Replaces the gadget with that id in its place; false when it is not there.
  bool replace(int id, const platform_types::gadget& g);
  void remove(int id);
  int index_of(int id) const;
  void lay_out();

 private:
  std::vector<platform_types::gadget> gadgets_;
};
