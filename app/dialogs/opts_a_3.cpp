#include "app/dialogs/opts_a_3.h"

std::unique_ptr<assoc_class> opts_a_3::clone_empty() const { return clone_like(*this); }
