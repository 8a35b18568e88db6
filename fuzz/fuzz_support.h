#pragma once

// What the fuzz targets share: a quiet error reporter, the real template
// loaded once, and the application node that names resolve from.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/assoc_class.h"
#include "core/error_message.h"
#include "io/file_in.h"
#include "io/string_in.h"
#include "template/all_templates_3.h"
#include "template/get_objs_3.h"
#include "template/out_side_recs_3.h"
#include "template/process_strs_fns_3.h"
#include "template/tem_node_3.h"
#include "template/template_side.h"

namespace fuzz {

// Refusals are the readers' ordinary answer to bad input; printing each one
// would bury the fuzzer's own output.
class silent_reporter : public error_reporter {
 public:
  void report(const char*, const char*) override {}
};

// "O" ends the program; under the fuzzer it only stops the process string.
inline void ignore_exit(int) {}

// Quiet, and with scripts bounded tightly: a script may take time in
// proportion to its commands times the objects it walks, and an input that
// runs for seconds only slows the search without finding anything more.
inline void prepare() {
  static silent_reporter reporter;
  set_error_reporter(&reporter);
  set_exit_handler(ignore_exit);
  process_limits tight;
  tight.commands = 10000;
  tight.new_objects = 2000;
  set_process_limits(tight);
}

// The input as a text. The streams end a text at its first NUL, as they end
// every C string.
inline std::string text_of(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Both sections of a template text into the process-wide tables.
inline void load_template_text(const char* text) {
  string_in t(text);
  t.set_comment_mode(true);
  replace_templates(t);
  string_in o(text);
  o.set_comment_mode(true);
  replace_outside_records(o);
}

// Both sections of the template file that the program ships. A target that
// needs it cannot run without it: stop rather than fuzz an empty tree.
inline void load_real_template() {
  file_in templates(XRDF_TEMPLATE_FILE, true);
  file_in outside(XRDF_TEMPLATE_FILE, true);
  if (!templates.is_open() || !outside.is_open()) {
    std::fprintf(stderr, "cannot read %s\n", XRDF_TEMPLATE_FILE);
    std::abort();
  }
  replace_templates(templates);
  replace_outside_records(outside);
  if (!template_tree().top_level("#app")) {
    std::fprintf(stderr, "%s has no #app template\n", XRDF_TEMPLATE_FILE);
    std::abort();
  }
}

// The shell's plain nodes that the data files live under.
struct xdds_node : assoc_class {
  const char* class_name() const override { return "xdds"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<xdds_node>(); }
};

inline void register_shell_stand_ins() {
  if (!class_registry().knows("xdds")) register_class<xdds_node>("xdds");
}

struct app_node : assoc_class {
  const char* class_name() const override { return "app"; }
};

// A live root with an "app" bound to the "#app" template of whatever
// templates are loaded (none: an unbound "app", which finds nothing).
class app_tree {
 public:
  app_tree() {
    auto a = std::make_unique<app_node>();
    if (tem_node_3* top = template_tree().top_level("#app")) a->set_tem(top->find_child("app"));
    app = root_.add_child(std::move(a));
  }
  assoc_class* app = nullptr;

 private:
  top_3 root_;
};

}  // namespace fuzz
