#include "app/files/save_xdd_as_3.h"

#include <string>

#include "core/paths.h"
#include "template/out_side_recs_3.h"
#include "xrd/files/xdd_data_3.h"

namespace {

constexpr std::uint32_t save_flags = 0x806;  // overwrite prompt, hide read-only, path must exist

const char* or_empty(const char* text) { return text ? text : ""; }

}  // namespace

std::unique_ptr<assoc_class> save_xdd_as_3::clone_empty() const {
  auto copy = std::make_unique<save_xdd_as_3>();
  copy->set_tem(tem());
  return copy;
}

assoc_class* save_xdd_as_3::execute() {
  assoc_class* file = get_object();
  if (!file) return nullptr;
  assoc_class* path = find_existing(*file, "xDdd_path_name");
  auto* data = dynamic_cast<xdd_data_3*>(find_existing(*file, "xdd_data"));
  if (!path || !data) return nullptr;
  const std::string old_path = or_empty(path->get_text());
  const char* caption = data->is_changed() ? "Save File : File has been modified" : "Save File";
  if (!dialog_.run_dialog(save_flags, old_path.c_str(), or_empty(outside_value("all_exts")),
                          or_empty(outside_value("def_xdd_ext")), this, platform_types::window_ref::main_window(),
                          caption, true))
    return nullptr;
  if (dialog_.chosen_paths().empty()) return nullptr;
  path->set_text(dialog_.chosen_paths().front().c_str());
  if (!data->write_xdd()) {
    // The data stay unsaved: keep the old name and the changed mark.
    path->set_text(old_path.c_str());
    return nullptr;
  }
  file->set_changed(false);
  data->set_changed(false);
  return assoc_class::execute();
}
