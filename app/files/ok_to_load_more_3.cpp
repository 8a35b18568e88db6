#include "app/files/ok_to_load_more_3.h"

#include "core/error_message.h"
#include "core/paths.h"

assoc_class* ok_to_load_more_3::execute() {
  const int maximum = get_int_named(*this, "mBax_num_files");
  assoc_class* files = find(*this, "xAdd_recs");
  const int loaded = files ? files->child_count() : 0;
  // At or above the maximum: a template that lowered the limit below the
  // number already loaded must not let the count grow further.
  if (loaded >= maximum) {
    global_error_message().append("Cannot load any more files: Maximum of ").append(maximum);
    show_error(this);
    return nullptr;
  }
  assoc_class::execute();
  return this;
}
