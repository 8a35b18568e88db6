#pragma once

#include <memory>

#include "core/fund_type_3.h"

// A message box put up by a script: its text, with '|' shown as a blank,
// under the application's name; then its execution script runs.
class ok_message_3 : public fund_type_3 {
 public:
  std::unique_ptr<assoc_class> clone_empty() const override;
  assoc_class* execute() override;
};
