#include "xrd/files/point_list_reader.h"

#include "xrd/files/scan_points.h"
#include "xrd/files/xdd_data_3.h"

assoc_class* point_list_reader::execute_with(assoc_class* argument) {
  xdd_data_3* data = xdd_data_3::start_reading(argument);
  if (!data) return nullptr;
  scan_points scan;
  const std::string bytes = reads_binary() ? data->read_all_bytes() : xdd_data_3::read_all(*data->input());
  if (!read(*data, bytes, scan)) return nullptr;
  return data->accept_points(scan) ? data : nullptr;
}
