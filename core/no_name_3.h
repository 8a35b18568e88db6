#pragma once

#include "core/assoc_class.h"

// A plain named node: its name is its template's name.
class no_name_3 : public virtual assoc_class {
 public:
  const char* class_name() const override;
  std::unique_ptr<assoc_class> clone_empty() const override;
};
