#pragma once

#include <memory>

#include "core/assoc_class.h"

// Applies the report editor's edit line to the selected cells (node
// "inp_edit_return_pressed", under its editor): Enter in the edit line and a
// press on "Change Selections To" execute it.
class inp_edit_return_pressed_3 : public assoc_class {
 public:
  const char* class_name() const override { return "inp_edit_return_pressed"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  assoc_class* execute() override;
};

// Leaves the selected lines out of the report editor, and so out of its
// report (node "inp_hide", under its editor); the objects stay in the tree.
class inp_hide_3 : public assoc_class {
 public:
  const char* class_name() const override { return "inp_hide"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  assoc_class* execute() override;
};
