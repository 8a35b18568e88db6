#include "app/files/load_data_file.h"

#include "core/assoc_class.h"
#include "core/error_message.h"
#include "core/numeric_abort.h"
#include "core/paths.h"

load_result load_data_file(assoc_class& from, const std::string& path, assoc_class** loaded) {
  if (loaded) *loaded = nullptr;
  try {
    // The path under test is a free-standing path value of the application.
    assoc_class* app = from.app_object();
    if (assoc_class* probe = app ? app->child_or_create("pRath_name") : nullptr) {
      probe->set_text(path.c_str());
      assoc_class* duplicate = find(from, "xdd_loaded");
      if (duplicate && duplicate->execute_with(probe)) return load_result::duplicate;
    }
    assoc_class* more = find(from, "ok_to_load_more");
    if (more && !more->execute()) return load_result::limit_reached;
    assoc_class* files = find(from, "xAdd_recs");
    const int before = files ? files->child_count() : 0;
    assoc_class* loader = find(from, "pBath_name");
    if (!loader) return load_result::failed;
    loader->set_text(path.c_str());
    loader->execute();
    files = find_existing(from, "xAdd_recs");
    if (!files || files->child_count() <= before) return load_result::failed;
    if (loaded) *loaded = files->last_child();
    return load_result::loaded;
  } catch (const numeric_abort& abort) {
    // A numerical stage gave up: this file is not loaded, and the next one
    // of a list or a project is tried.
    global_error_message().append(path).append(": ");
    report_numeric_abort(abort);
    return load_result::failed;
  }
}
