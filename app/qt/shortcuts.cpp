#include "app/qt/shortcuts.h"

#include <QString>

#include "app/platform/command_ids.h"

// The keys users of desktop programs know. They are spelt out, not taken
// from QKeySequence's standard keys, which differ from one system to
// another (Close is Ctrl+F4 on one, Ctrl+W on another).
const std::vector<command_shortcut>& command_shortcuts() {
  namespace cmd = command_id;
  namespace vc = view_command;
  static const std::vector<command_shortcut> table = {
      {cmd::load_data, QKeySequence(Qt::CTRL | Qt::Key_O)},
      {cmd::save_project, QKeySequence(Qt::CTRL | Qt::Key_S)},
      {cmd::save_project_as, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
      {vc::copy, QKeySequence(Qt::CTRL | Qt::Key_C)},
      {vc::export_figure, QKeySequence(Qt::CTRL | Qt::Key_E)},
      {cmd::undo, QKeySequence(Qt::CTRL | Qt::Key_Z)},
      {cmd::redo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
      {vc::zoom_back, QKeySequence(Qt::ALT | Qt::Key_Left)},
      {vc::zoom_forward, QKeySequence(Qt::ALT | Qt::Key_Right)},
      {cmd::close_window, QKeySequence(Qt::CTRL | Qt::Key_W)},
      {cmd::next_window, QKeySequence(Qt::CTRL | Qt::Key_Tab)},
      {cmd::help, QKeySequence(Qt::Key_F1)},
      {cmd::exit, QKeySequence(Qt::CTRL | Qt::Key_Q)},
  };
  return table;
}

QKeySequence shortcut_of(int id) {
  for (const command_shortcut& s : command_shortcuts())
    if (s.id == id) return s.key;
  return {};
}

bool is_command_key(const QKeySequence& key) {
  for (const command_shortcut& s : command_shortcuts())
    if (s.key == key) return true;
  return false;
}

QString shortcut_suffix(int id) {
  const QKeySequence key = shortcut_of(id);
  return key.isEmpty() ? QString() : "\t" + key.toString(QKeySequence::NativeText);
}
