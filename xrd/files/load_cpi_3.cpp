#include "xrd/files/load_cpi_3.h"

#include <string>

#include "core/my_string.h"
#include "core/stream_in.h"
#include "xrd/files/abscissa_check.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/curves/xy_data_3.h"

std::unique_ptr<assoc_class> load_cpi_3::clone_empty() const { return clone_like(*this); }

assoc_class* load_cpi_3::execute_with(assoc_class* argument) {
  xdd_data_3* data = xdd_data_3::start_reading(argument);
  if (!data) return nullptr;
  stream_in& in = *data->input();

  data->read_comment(in);

  x1_xd_x2_3 axis = *data->profile();
  if (!data->read_number(in, axis.x1) || !data->read_number(in, axis.x2) || !data->read_number(in, axis.xd))
    return nullptr;
  if (std::string why; !check_abscissa(axis, why)) {
    data->report_load_error(("\n" + why).c_str());
    return nullptr;
  }

  in.read_word();  // a field nothing uses
  const my_string lambda = xdd_data_3::number_word(in);
  if (assoc_class* l = data->wavelength_node(true)) l->set_text(lambda.c_str());

  if (!in.find_word("SCANDATA")) {
    data->report_load_error("\nCannot find SCANDATA");
    return nullptr;
  }
  float_vec values;
  const int held = data->read_ordinates(in, axis.n, values);
  if (held < 0) return nullptr;
  return data->accept(axis, values, held) ? data : nullptr;
}
