#pragma once

#include <memory>
#include <string>

#include "core/assoc_class.h"

class for_app_3;

// Registers every class the template may name, for every layer: done before
// the template is read.
void register_all_classes();

// The running program's tree: the root "top" and under it the application
// object "app", made from the template. Destroying the session destroys the
// whole tree.
class application_session {
 public:
  application_session();
  ~application_session();
  application_session(const application_session&) = delete;
  application_session& operator=(const application_session&) = delete;

  // Null when the template gives no application object.
  for_app_3* app() const { return app_; }
  top_3& root() { return root_; }

  // Loads one data file as "Load Data" does: the duplicate check, the file
  // limit, then the template's loading script. The new file's node, or null
  // when it was not loaded (the user has been told why).
  assoc_class* load_file(const std::string& path);

 private:
  top_3 root_;
  for_app_3* app_ = nullptr;
};

// The message shown when the template file cannot be read.
std::string missing_template_message(const std::string& path);
