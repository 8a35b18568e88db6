// Feeds bytes to the template loader as a whole template file: the
// templates section and the outside records, each found by its opening word.
// Objects are then made by name from the loaded templates, as the program
// makes them, so that what the loader built is also used.

#include <string>
#include <vector>

#include "core/paths.h"
#include "fuzz_support.h"
#include "xrd/xrd_classes.h"

namespace {

// Names the program itself asks for.
const char* const program_names[] = {"xdds", "xAdd_recs", "xdd", "xdd_data", "tBime", "lBambda",
                                      "pBath_name", "pRath_name", "dAo_unload_all", "app"};

// Asking for every name a large template declares would make each run slow;
// the first few of each top-level template reach all the code that matters.
constexpr int names_per_template = 8;

std::vector<std::string> declared_names() {
  std::vector<std::string> names;
  all_templates_3& tree = template_tree();
  for (int i = 0; i < tree.child_count(); ++i) {
    assoc_class* top = tree.child(i);
    for (int j = 0; j < top->child_count() && j < names_per_template; ++j) {
      const char* name = top->child(j)->class_name();
      if (name) names.emplace_back(name);
      assoc_class* sub = top->child(j);
      for (int k = 0; k < sub->child_count() && k < names_per_template; ++k)
        if (const char* n = sub->child(k)->class_name()) names.emplace_back(n);
    }
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::prepare();
  install_template_side();
  register_xrd_classes();
  fuzz::register_shell_stand_ins();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::text_of(data, size);
  fuzz::load_template_text(text.c_str());
  {
    fuzz::app_tree tree;
    for (const char* name : program_names) find(*tree.app, name);
    for (const std::string& name : declared_names()) find(*tree.app, name.c_str());
    outside_value("app_name");
    query_value("win_misc c exts_load");
  }
  global_error_message().assign("");
  return 0;
}
