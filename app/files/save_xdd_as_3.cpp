#include "app/files/save_xdd_as_3.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "core/paths.h"
#include "template/out_side_recs_3.h"
#include "xrd/chain/ref_prof_3.h"
#include "xrd/files/xdd_data_3.h"

namespace {

constexpr std::uint32_t save_flags = 0x806;  // overwrite prompt, hide read-only, path must exist

const char* or_empty(const char* text) { return text ? text : ""; }

// The files whose reference was the file at `old_path` name it by `new_path`:
// a project saved next must find it there.
void follow_to_new_name(assoc_class& file, const std::string& old_path, const std::string& new_path) {
  assoc_class* loaded = file.parent();
  if (!loaded || old_path == new_path) return;
  node_list others;
  for (int i = 0; i < loaded->child_count(); ++i)
    if (loaded->child(i) != &file) others.push_back(loaded->child(i));
  for (assoc_class* other : others) {
    auto* reference = dynamic_cast<ref_prof_3*>(find_existing(*other, "ref_prof"));
    if (!reference) continue;
    const char* named = reference->get_text();
    if (reference->reference_file() == &file || (named && old_path == named)) reference->set_text(new_path.c_str());
  }
}

}  // namespace

bool never_written(assoc_class& file) {
  auto* data = dynamic_cast<xdd_data_3*>(find_existing(file, "xdd_data"));
  if (data && data->never_written()) return true;
  assoc_class* path = find_existing(file, "xDdd_path_name");
  const char* text = path ? path->get_text() : nullptr;
  std::error_code ec;
  return !text || !*text || !std::filesystem::exists(text, ec);
}

std::unique_ptr<assoc_class> save_xdd_as_3::clone_empty() const { return clone_like(*this); }

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
  follow_to_new_name(*file, old_path, or_empty(path->get_text()));
  // Its own file now: where a project once looked for it no longer matters.
  delete_named(*file, "mBoved_from");
  return assoc_class::execute();
}
