#pragma once

#include <memory>

#include "core/fund_type_3.h"

// A yes/no question put by a script: its text is the question, and after
// execution its value is 'Y' for yes, 'N' for no or Escape. Then its
// execution script runs.
class yes_no_dlg_3 : public fund_type_3 {
 public:
  std::unique_ptr<assoc_class> clone_empty() const override;
  assoc_class* execute() override;
};
