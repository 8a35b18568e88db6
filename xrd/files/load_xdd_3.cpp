#include "xrd/files/load_xdd_3.h"

#include <string>

#include "core/my_string.h"
#include "core/stream_in.h"
#include "core/text_helpers.h"
#include "xrd/files/abscissa_check.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/curves/xy_data_3.h"

std::unique_ptr<assoc_class> load_xdd_3::clone_empty() const { return clone_like(*this); }

assoc_class* load_xdd_3::execute_with(assoc_class* argument) {
  xdd_data_3* data = xdd_data_3::start_reading(argument);
  if (!data) return nullptr;
  stream_in& in = *data->input();

  // A first line that starts like a number is data: the file has no comment.
  if (in.skip_blanks()) {
    const char c = in.get();
    in.unget();
    if (!is_number_char(c)) data->read_comment(in);
  }

  x1_xd_x2_3 axis = *data->profile();
  if (!data->read_number(in, axis.x1) || !data->read_number(in, axis.xd) || !data->read_number(in, axis.x2))
    return nullptr;
  // Checked twice: the second check sees the recomputed step, which may
  // have fallen below the smallest allowed step.
  check_abscissa(axis);
  if (std::string why; !check_abscissa(axis, why)) {
    data->report_load_error(("\n" + why).c_str());
    return nullptr;
  }

  // Each value converts its text as its type requires; the shared word
  // buffer is copied first, since setting a value may run scripts.
  const my_string time = xdd_data_3::number_word(in);
  if (assoc_class* t = data->time_node(true)) t->set_text(time.c_str());
  in.read_word();  // a field nothing uses
  const my_string lambda = xdd_data_3::number_word(in);
  if (assoc_class* l = data->wavelength_node(true)) l->set_text(lambda.c_str());

  float_vec values;
  const int held = data->read_ordinates(in, axis.n, values);
  if (held < 0) return nullptr;
  return data->accept(axis, values, held) ? data : nullptr;
}
