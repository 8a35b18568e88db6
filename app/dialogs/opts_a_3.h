#pragma once

#include <memory>

#include "app/dialogs/B_dlg_3.h"

// The options dialog ("&Show Options"): its list chooses option sets by
// running their scripts.
class opts_a_3 : public B_dlg_3 {
 public:
  opts_a_3() : B_dlg_3("opts_a") {}
  std::unique_ptr<assoc_class> clone_empty() const override;
};
