#pragma once

#include <memory>
#include <string>

#include "xrd/files/point_list_reader.h"

// Reader of Bruker BRML scans (a zip of XML): each Experiment0/RawData*.xml
// is one scan, the first unless another is asked. Its 2-theta and count
// columns are those its data views name, the counts as recorded (already
// corrected for the absorber). The time per step and the
// tube's K-alpha1 wavelength come with it.
class load_brml_3 : public point_list_reader {
 public:
  const char* class_name() const override { return "load_brml"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

 protected:
  bool read(xdd_data_3& data, const std::string& text, scan_points& scan) override;
  bool reads_binary() const override { return true; }
};
