#pragma once

#include <memory>

#include "core/assoc_class.h"

// "View all files": closes every graph view and opens one per loaded file,
// each scaled to its file (node "view_for_each_file"). With no file loaded
// it does nothing at all.
class view_for_each_file_3 : public assoc_class {
 public:
  const char* class_name() const override { return "view_for_each_file"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  assoc_class* execute() override;
};
