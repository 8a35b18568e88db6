#pragma once

#include <memory>

#include "core/assoc_class.h"

// Reader of the XDD layout: an optional comment line; start, step and end;
// count time, an unused field and wavelength; then one ordinate per point.
class load_xdd_3 : public assoc_class {
 public:
  const char* class_name() const override { return "load_xdd"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  // Reads the open input of the data node `data` (or of the data file node
  // holding it). The data node on success, null on failure.
  assoc_class* execute_with(assoc_class* data) override;
  assoc_class* execute() override { return nullptr; }
};
