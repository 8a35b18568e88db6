#pragma once

#include <memory>
#include <string>

#include "xrd/files/point_list_reader.h"

// Reader of Bruker's binary RAW scans, versions 1 ("RAW "), 2 ("RAW2"),
// 3 ("RAW1.01") and 4 ("RAW4.00"), told apart by the magic at the start:
// other vendors write ".raw" files too, so the extension alone proves
// nothing. Each range of the file is one scan, its angles from the range's
// start and step. Every offset and size is checked against the file's
// length before it is read: a range that claims more points than the file
// holds is refused, not read past the end.
class load_raw_3 : public point_list_reader {
 public:
  const char* class_name() const override { return "load_raw"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  bool reads_binary() const override { return true; }

 protected:
  bool read(xdd_data_3& data, const std::string& bytes, scan_points& scan) override;
};
