// Feeds bytes to the project reader as a project's records: first the
// check that decides whether a project is opened, then the reading itself
// into a fresh "xdds" of the real template, with the diffraction classes
// registered. Data-file records make a data-file node without reading any
// file (a path beginning with "missing" stands for one that cannot be
// loaded, whose records are passed over).
//
// What is read is saved, and what is saved must read back and save again to
// the same text: a project that is saved and opened keeps its settings.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/paths.h"
#include "fuzz_support.h"
#include "io/string_out.h"
#include "io/tree_text.h"
#include "xrd/xrd_classes.h"

namespace {

class stand_in_files : public data_file_records {
 public:
  explicit stand_in_files(assoc_class& app) : app_(app) {}
  assoc_class* load_record(const char* path, assoc_class&) override {
    if (std::strncmp(path, "missing", 7) == 0) return nullptr;
    assoc_class* list = find(app_, "xAdd_recs");
    assoc_class* file = list ? list->create_child_by_name("xdd") : nullptr;
    if (file) set_text_named(*file, "xDdd_path_name", path);
    return file;
  }

 private:
  assoc_class& app_;
};

// Reads `records` into a fresh tree and answers what saving it writes.
std::string read_and_save(const char* records) {
  fuzz::app_tree tree;
  assoc_class* xdds = find(*tree.app, "xdds");
  if (!xdds) std::abort();
  string_in in(records);
  stand_in_files files(*tree.app);
  load_subtree(*xdds, in, &files);
  string_out out;
  save_subtree(*xdds, out);
  return out.text();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::prepare();
  install_template_side();
  register_xrd_classes();
  fuzz::register_shell_stand_ins();
  fuzz::load_real_template();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text = fuzz::text_of(data, size);
  {
    string_in check(text.c_str());
    check_subtree("xdds", check);
  }
  const std::string saved = read_and_save(text.c_str());
  const std::string again = read_and_save(saved.c_str());
  if (again != saved) {
    std::fprintf(stderr, "a saved project does not save again the same:\n--- saved\n%s\n--- again\n%s\n",
                 saved.c_str(), again.c_str());
    std::abort();
  }
  global_error_message().assign("");
  return 0;
}
