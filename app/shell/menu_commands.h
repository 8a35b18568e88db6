#pragma once

#include <vector>

#include "app/platform/platform.h"

// Command ids of the menu and the control bar.
namespace command_id {
inline constexpr int about = 205;
inline constexpr int load_data = 3153;
inline constexpr int unload_data = 3156;
inline constexpr int new_txt = 4230;
inline constexpr int load_txt = 24332;
inline constexpr int save_txt = 24333;
inline constexpr int save_txt_as = 24334;
inline constexpr int load_project = 4130;
inline constexpr int save_project_as = 3155;
inline constexpr int save_project = 3157;
inline constexpr int exit = 24310;
inline constexpr int show_options = 4156;
inline constexpr int edit_scales = 4244;
inline constexpr int xy_report = 4246;
inline constexpr int add_view = 4004;
inline constexpr int view_all_files = 1283;
inline constexpr int view_selected_files = 1284;
inline constexpr int help = 4239;
inline constexpr int refine = 4006;
inline constexpr int refine_marquardt = 4007;
inline constexpr int errors_correlation = 4159;
inline constexpr int errors = 4236;
inline constexpr int cascade = 24361;
inline constexpr int tile_vertical = 24362;
inline constexpr int tile_horizontal = 24363;
inline constexpr int arrange_icons = 24364;
}  // namespace command_id

// The commands whose action and enabler are scripts of the outside records.
const std::vector<int>& scripted_commands();

// The menu "COMMANDS": popups with their items, texts and hints.
const std::vector<platform_types::menu_item>& main_menu();

// The status-bar hint of a command, or "" (also for ids without a menu item).
const char* command_hint(int id);
