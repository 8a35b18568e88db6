#include "xrd/xrd_classes.h"

void register_xrd_classes() {
  register_data_file_classes();
  register_chain_classes();
}
