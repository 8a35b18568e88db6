#pragma once

#include <memory>

#include "core/fund_type_3.h"

class stream_in;

// The modified flag of the project, an integer typed value. Without a
// project (no "pDroj_path_name") it stays 0 whatever it is given, and it
// reads 0 while no data file is loaded: a project with nothing in it cannot
// be modified.
class set_proj_dirty_3 : public fund_type_3 {
 public:
  const char* class_name() const override { return "set_proj_dirty"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

  assoc_class* set_int(int n) override;
  assoc_class* set_double(double x) override;
  assoc_class* set_text(const char* text) override;
  assoc_class* set_char(char c) override;
  int set_text_with_limits(const char* text) override;
  assoc_class* assign_value(assoc_class& node) override;
  bool read_value(stream_in& in) override;

  int get_int() override;
  double get_double() override;
  const char* get_text() override;

 private:
  bool has_project();
  // What the value must be now: 0 without a project or without data files.
  void apply_reset_rule();
  void clear_if_no_project();
};
