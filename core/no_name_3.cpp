#include "core/no_name_3.h"

const char* no_name_3::class_name() const { return tem() ? tem()->class_name() : "no_name_3"; }

std::unique_ptr<assoc_class> no_name_3::clone_empty() const { return clone_like(*this); }
