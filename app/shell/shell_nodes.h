#pragma once

#include <memory>

#include "core/assoc_class.h"

// The data node "xdds": everything a project saves hangs below it.
class xdds_3 : public assoc_class {
 public:
  const char* class_name() const override { return "xdds"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<xdds_3>(); }
};

// The MDI client as a node of the tree: the frames of the views live in it.
class client_win_3 : public assoc_class {
 public:
  const char* class_name() const override { return "client_win"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<client_win_3>(); }
};
