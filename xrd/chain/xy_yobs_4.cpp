#include "xrd/chain/xy_yobs_4.h"

std::unique_ptr<assoc_class> xy_yobs_4::clone_empty() const { return clone_like(*this); }

void xy_yobs_4::copy_from(assoc_class& source) {
  xy_data_for_3::copy_from(source);
  invalidate_chain();
}
