#include "app/files/do_unload_3.h"

#include <string>

#include "core/node_watch.h"
#include "core/paths.h"

std::unique_ptr<assoc_class> do_unload_3::clone_empty() const { return clone_like(*this); }

bool do_unload_3::may_unload(assoc_class& file, assoc_class& from) {
  if (!file.is_changed()) return true;
  assoc_class* path = find_existing(file, "xDdd_path_name");
  const char* text = path ? path->get_text() : nullptr;
  assoc_class* question = find(from, "yes_no_dlg");
  if (!question) return false;
  const std::string ask = std::string("File : ") + (text ? text : "") + " has been Modified.\n Unload Anyway ?";
  question->set_text(ask.c_str());
  node_watch still_there(&file);
  question->execute();
  const char* answer = question->get_text();
  return answer && answer[0] == 'Y' && still_there;
}

assoc_class* do_unload_3::execute() {
  assoc_class* file = get_object();
  if (!file || !file->parent()) return nullptr;
  if (!may_unload(*file, *this)) return nullptr;
  file->parent()->delete_child(file);
  assoc_class::execute();
  return this;
}
