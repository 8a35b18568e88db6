#include "app/files/xdd_loaded_3.h"

#include <cstring>

#include "core/error_message.h"
#include "core/paths.h"

bool xdd_loaded_3::is_loaded(const char* path) {
  assoc_class* files = find(*this, "xAdd_recs");
  if (!files || !path) return false;
  node_list paths;
  files->collect_named(paths, "xDdd_path_name");
  for (assoc_class* p : paths) {
    const char* text = p->get_text();
    if (text && std::strcmp(text, path) == 0) return true;
  }
  return false;
}

assoc_class* xdd_loaded_3::execute_with(assoc_class* path) {
  const char* text = path ? path->get_text() : nullptr;
  if (!text || !is_loaded(text)) return nullptr;
  global_error_message().append("File : ").append(text).append(" already loaded");
  show_error(this);
  return this;
}
