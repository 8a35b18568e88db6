#pragma once

#include <vector>

#include <QKeySequence>

// The keys of the workbench's menu commands, in one table: the menus show
// them beside their items, and the main window acts on them.
struct command_shortcut {
  int id = 0;
  QKeySequence key;
};

const std::vector<command_shortcut>& command_shortcuts();

// The key of a command, or an empty sequence.
QKeySequence shortcut_of(int id);

// Whether a key is one of the table's.
bool is_command_key(const QKeySequence& key);

// "\tCtrl+O" for a command with a key, as a menu shows it after the item's
// text; empty for one without.
QString shortcut_suffix(int id);
