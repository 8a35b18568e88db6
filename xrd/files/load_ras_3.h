#pragma once

#include <memory>
#include <string>

#include "xrd/files/point_list_reader.h"

// Reader of Rigaku RAS scans: between *RAS_DATA_START and *RAS_DATA_END,
// one or more scans, each a header of *KEY "value" lines and a block of
// rows "angle intensity attenuation" whose count is intensity times
// attenuation. Other blocks (temperatures and the like) are passed over.
// Header values may be in Shift-JIS: only the few the reader needs are
// read, as numbers or as plain ASCII; the rest are never decoded.
class load_ras_3 : public point_list_reader {
 public:
  const char* class_name() const override { return "load_ras"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

 protected:
  bool read(xdd_data_3& data, const std::string& text, scan_points& scan) override;
};
