#pragma once

#include <memory>
#include <string>

#include "xrd/files/point_list_reader.h"

// Reader of two-column text exports (.xy, .dat, .txt, .csv): angle and count
// per line, in columns separated by blanks, tabs, commas or semicolons, under
// any header. A comma is a decimal point where the columns are separated by
// blanks or semicolons. A third column (an error, an attenuation) is not
// read. The files carry no wavelength: the configured default is taken and
// the description says so.
class load_xy_3 : public point_list_reader {
 public:
  const char* class_name() const override { return "load_xy"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

 protected:
  bool read(xdd_data_3& data, const std::string& text, scan_points& scan) override;
};
