#pragma once

#include <memory>

#include "core/assoc_class.h"
#include "core/cached_ref.h"
#include "core/my_string.h"

class stream_out;
class xdd_data_3;
class xy_data_3;

// A loaded data file. Its text value and title are the file name of its
// path; its project record is its path, from which a project reloads it.
class xdd_10 : public assoc_class {
 public:
  const char* class_name() const override { return "xdd"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

  // Loads the file at the path held in "xDdd_path_name", then runs the
  // node's own execution script. This node on success, null on failure.
  assoc_class* execute() override;
  // The file name part of the path.
  const char* get_text() override;
  void write_for_project(stream_out& out) override;

  const my_string& title();
  // One line for the status bar and the batch tool, for example
  //   scan.xdd: 4001 points, 20.0000 to 100.0000, step 0.0200, time 1.0000, wavelength 1.5405
  // The step is left out for an explicit abscissa, the time and the
  // wavelength when the file has none; a file without data reads
  //   scan.xdd: no data
  my_string description();

  // Children found by name on first use (made from the template if absent).
  assoc_class* path_node();
  xdd_data_3* data();
  xy_data_3* observed();
  // The named child; the optional ones ("tBime", "lBambda") are not made.
  assoc_class* member(const char* name);

 private:
  my_string title_;
  cached_ref path_{"xDdd_path_name"};
  cached_ref data_{"xdd_data"};
  cached_ref yobs_{"xy_yobs"};
  cached_ref time_{"tBime"};
  cached_ref lambda_{"lBambda"};
  cached_ref button_{"fbutonoff"};
  cached_ref obs_dis_{"yBobs_dis_op"};
  cached_ref calc_dis_{"yBcalc_dis_op"};
  cached_ref obs_calc_dis_{"yBobs_ycalc_dis_op"};
  cached_ref bkg_dis_{"bBkg_dis_op"};
  cached_ref peak_dis_{"pBk_dis_op"};
  cached_ref peak_lines_dis_{"pBk_lines_dis_op"};
  cached_ref ycalc_{"xy_ycalc"};
  cached_ref yo_yc_{"xy_yo_yc"};
  cached_ref bkg_{"xy_bkg"};
  cached_ref peaks_{"pAks"};
};
