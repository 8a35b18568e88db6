#pragma once

#include <memory>
#include <string>

#include "xrd/files/point_list_reader.h"

// Reader of Rigaku RASX scans (a zip): each Data*/Profile*.txt is one scan,
// the first unless another is asked, its rows angle, intensity and
// attenuation (the count is their product). The conditions beside it
// (MesurementConditions*.xml, as the instruments spell it) give the K-alpha1
// wavelength, the speed and step for the time per point, and the sample.
class load_rasx_3 : public point_list_reader {
 public:
  const char* class_name() const override { return "load_rasx"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

 protected:
  bool read(xdd_data_3& data, const std::string& text, scan_points& scan) override;
  bool reads_binary() const override { return true; }
};
