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

// One scan of a file of several, as `info` lists it: "  scan K of N: ",
// then what the file gives of it (its name in quotes, "started" and its
// start, its temperature in degrees Celsius) and its abscissa and points,
// as the file's line gives them. Ends with a line end.
std::string describe_scan(assoc_class& node);
