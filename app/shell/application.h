#pragma once

#include "app/shell/application_session.h"

// Registers every class the template may name, for every layer: done before
// the template is read.
void register_all_classes();
