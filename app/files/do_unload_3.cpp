#include "app/files/do_unload_3.h"

#include <string>

#include "core/node_watch.h"
#include "core/paths.h"

std::unique_ptr<assoc_class> do_unload_3::clone_empty() const {
  auto copy = std::make_unique<do_unload_3>();
  copy->set_tem(tem());
  return copy;
}

assoc_class* do_unload_3::execute() {
  assoc_class* file = get_object();
  if (!file || !file->parent()) return nullptr;
  if (file->is_changed()) {
    assoc_class* path = find_existing(*file, "xDdd_path_name");
    const char* text = path ? path->get_text() : nullptr;
    assoc_class* question = find(*this, "yes_no_dlg");
    if (!question) return nullptr;
    const std::string ask = std::string("File : ") + (text ? text : "") + " has been Modified.\n Unload Anyway ?";
    question->set_text(ask.c_str());
    node_watch still_there(file);
    question->execute();
    const char* answer = question->get_text();
    if (!answer || answer[0] != 'Y' || !still_there) return nullptr;
  }
  file->parent()->delete_child(file);
  assoc_class::execute();
  return this;
}
