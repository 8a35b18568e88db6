#include "app/views/view_hooks.h"

#include <utility>

namespace {

view_hooks& hooks() {
  static view_hooks installed;
  return installed;
}

}  // namespace

void install_view_hooks(view_hooks h) { hooks() = std::move(h); }

const view_hooks& installed_view_hooks() { return hooks(); }

const view_command_row* view_command_row_for(int id) {
  if (id == 0) return nullptr;
  for (const view_command_row& row : hooks().commands)
    if (id == row.id || (row.id != 0 && id > row.id && id <= row.last_id)) return &row;
  return nullptr;
}

const view_command_row* view_key_row_for(char key) {
  if (key == 0) return nullptr;
  for (const view_command_row& row : hooks().commands)
    if (row.key == key) return &row;
  return nullptr;
}
