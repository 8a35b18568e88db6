#pragma once

#include <vector>

#include "app/platform/command_ids.h"
#include "app/platform/platform.h"

// The commands whose action and enabler are scripts of the outside records.
const std::vector<int>& scripted_commands();

// The menu "COMMANDS": popups with their items, texts and hints.
const std::vector<platform_types::menu_item>& main_menu();

// The status-bar hint of a command, or "" (also for ids without a menu item).
const char* command_hint(int id);
