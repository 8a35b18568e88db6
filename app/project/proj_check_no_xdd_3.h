#pragma once

#include <memory>

#include "core/assoc_class.h"

// Forgets the project once no data file is left: its path is emptied and
// its modified flag cleared, then the execution script runs. While files are
// loaded it does nothing.
class proj_check_no_xdd_3 : public assoc_class {
 public:
  const char* class_name() const override { return "proj_check_no_xdd"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<proj_check_no_xdd_3>(); }
  assoc_class* execute() override;
};
