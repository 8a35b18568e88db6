#pragma once

#include <string>

#include "app/platform/platform.h"

namespace platform_types {

// A control of a dialog or form at its place, in dialog units, with every
// other property at its default: what the program's dialogs and the report
// editor's window are built from.
control make_control(control_kind kind, int id, int x, int y, int width, int height, std::string text = "");

}  // namespace platform_types
