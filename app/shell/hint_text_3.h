#pragma once

#include "core/fund_type_3.h"

// The one-line description of a data file: its path, abscissa, number of
// points, count time and wavelength. Executing recomputes it.
class hint_text_3 : public fund_type_3 {
 public:
  const char* class_name() const override { return "hint_text"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  assoc_class* execute() override;
};

// The description of the data file that `node` belongs to.
std::string describe_data_file(assoc_class& node);
