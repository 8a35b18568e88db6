#pragma once

#include <vector>

#include "app/views/view_hooks.h"

// Every command and key of a graph view: what it does, and when it is
// checked. The actions reach the analyses, the reports and the figures,
// which the views themselves may not.
std::vector<view_command_row> view_command_table();

// Installs into the views their commands, the plots drawn over their lines,
// and the status bar that shows their limits and cursor.
void install_view_commands();
