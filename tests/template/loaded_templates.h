#pragma once

// Loads template and outside-record texts into the process-wide tables for a
// test, with the template side installed as the tree's host.

#include <string>

#include "core/error_message.h"
#include "io/file_in.h"
#include "io/string_in.h"
#include "template/template_file.h"
#include "template/all_templates_3.h"
#include "template/out_side_recs_3.h"
#include "template/template_side.h"

struct loaded_templates {
  explicit loaded_templates(const std::string& templates, const std::string& outside = "") {
    install_template_side();
    string_in t(templates.c_str());
    t.set_comment_mode(true);
    replace_templates(t);
    string_in o(outside.c_str());
    o.set_comment_mode(true);
    replace_outside_records(o);
  }
};

// Reads both sections of a template file, as the program does at start, and
// makes it the file the program finds.
inline void load_template_file(const std::string& path) {
  set_template_path(path);
  file_in templates(path.c_str(), true);
  replace_templates(templates);
  file_in outside(path.c_str(), true);
  replace_outside_records(outside);
}

// Captures what show_error shows for the life of the object.
struct shown_errors {
  shown_errors() { previous = set_error_reporter(&recorder); }
  ~shown_errors() { set_error_reporter(previous); }
  const std::vector<recording_reporter::shown>& messages() const { return recorder.messages; }
  recording_reporter recorder;
  error_reporter* previous = nullptr;
};
