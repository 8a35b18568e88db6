#pragma once

#include <memory>
#include <string>

#include "xrd/files/point_list_reader.h"

// Reader of PANalytical XRDML scans (XML, any schema version): the first
// scan of the first measurement unless another is asked, 2-theta from its
// positions (start and end, or a list), its intensities or counts, its
// counting time (common, or the mean of the per-point times) and the
// K-alpha1 wavelength of its measurement.
class load_xrdml_3 : public point_list_reader {
 public:
  const char* class_name() const override { return "load_xrdml"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

 protected:
  bool read(xdd_data_3& data, const std::string& text, scan_points& scan) override;
};
