#pragma once

#include <string>

#include "core/assoc_class.h"

class xdd_data_3;
struct scan_points;

// What the readers of layouts that list their points (text columns, XRDML,
// RAS) share: the whole file is read as it is, parsed into a point list by
// the layout's reader, and handed to the profile at an even step.
class point_list_reader : public assoc_class {
 public:
  // As every reader: the data node on success, null on failure.
  assoc_class* execute_with(assoc_class* data) final;
  assoc_class* execute() override { return nullptr; }

 protected:
  // Fills `scan` from the file's bytes; false, with the load error reported
  // through `data`, when the file is refused.
  virtual bool read(xdd_data_3& data, const std::string& text, scan_points& scan) = 0;

 public:
  // A binary layout gets the file's bytes as they are, and is spared the
  // check that refuses binary files before a text reader sees them.
  virtual bool reads_binary() const { return false; }
};
