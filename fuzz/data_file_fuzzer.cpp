// Feeds bytes to a data-file reader as the program loads a file: a data-file
// node made from the real template, its path set, its load requested. The
// reader is chosen by the extension through the template's extension table,
// so the same code serves every layout (XRDF_FUZZ_EXTENSION).
//
// A file that loads is saved and loaded again: what the writer writes, the
// reader must read back as the same profile.

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "core/paths.h"
#include "fuzz_support.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/files/xdd_10.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/xrd_classes.h"

namespace {

struct state {
  std::string dir;
  std::string input_path;
  std::string saved_path;
  fuzz::app_tree* tree = nullptr;
  assoc_class* files = nullptr;
};
state s;

void remove_dir() {
  std::error_code ignored;
  if (!s.dir.empty()) std::filesystem::remove_all(s.dir, ignored);
}

void write_file(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

assoc_class* load(const std::string& path) {
  assoc_class* file = s.files->create_child_by_name("xdd");
  if (!file) std::abort();
  set_text_named(*file, "xDdd_path_name", path.c_str());
  return file->execute() ? file : nullptr;
}

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

void fail(const char* what, const std::string& read = "", const std::string& read_back = "") {
  std::fprintf(stderr, "saved file does not read back: %s\n", what);
  if (!read.empty() || !read_back.empty())
    std::fprintf(stderr, "read:      [%s]\nread back: [%s]\n", read.c_str(), read_back.c_str());
  std::abort();
}

std::string text(double x) { return std::to_string(x); }

// The profile that `copy` read from the file that `original` wrote.
void compare_profiles(assoc_class& original, assoc_class& copy) {
  auto* a = dynamic_cast<xdd_10&>(original).observed();
  auto* b = dynamic_cast<xdd_10&>(copy).observed();
  if (!a || !b) fail("no profile");
  if (a->n != b->n) fail("point count", text(a->n), text(b->n));
  if (!same(a->x1, b->x1) || !same(a->x2, b->x2) || !same(a->xd, b->xd))
    fail("abscissa", text(a->x1) + " " + text(a->xd) + " " + text(a->x2),
         text(b->x1) + " " + text(b->xd) + " " + text(b->x2));
  for (int i = 0; i < a->n; ++i)
    if (!same(a->y[a->y.base() + i], b->y[b->y.base() + i]))
      fail("ordinate", text(a->y[a->y.base() + i]), text(b->y[b->y.base() + i]));
  for (const char* name : {"tBime", "lBambda"}) {
    assoc_class* va = dynamic_cast<xdd_10&>(original).member(name);
    assoc_class* vb = dynamic_cast<xdd_10&>(copy).member(name);
    if (va && vb && !same(va->get_double(), vb->get_double())) fail(name, text(va->get_double()), text(vb->get_double()));
  }
}

const char* comment_of(assoc_class& file) { return dynamic_cast<xdd_10&>(file).data()->comment.c_str(); }

// Saves the file under the other name and loads that.
assoc_class* save_and_load(assoc_class& file) {
  set_text_named(file, "xDdd_path_name", s.saved_path.c_str());
  if (!dynamic_cast<xdd_10&>(file).data()->write_xdd()) fail("not written");
  assoc_class* again = load(s.saved_path);
  if (!again) fail("refused");
  return again;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::prepare();
  install_template_side();
  register_xrd_classes();
  fuzz::register_shell_stand_ins();
  fuzz::load_real_template();
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/xrdf_fuzz_XXXXXX";
  if (!::mkdtemp(pattern.data())) std::abort();
  s.dir = pattern;
  std::atexit(remove_dir);
  s.input_path = s.dir + "/input." XRDF_FUZZ_EXTENSION;
  s.saved_path = s.dir + "/saved.xdd";
  s.tree = new fuzz::app_tree;  // lives as long as the process
  s.files = find(*s.tree->app, "xAdd_recs");
  if (!s.files) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  write_file(s.input_path, data, size);
  if (assoc_class* file = load(s.input_path)) {
    // A comment the saved layout cannot hold as it is (a CPI comment that
    // starts like a number, a carriage return at its end) may change once;
    // after that, saving and loading changes nothing.
    assoc_class* once = save_and_load(*file);
    compare_profiles(*file, *once);
    const std::string comment = comment_of(*once);
    assoc_class* twice = save_and_load(*once);
    compare_profiles(*once, *twice);
    if (comment != comment_of(*twice)) fail("comment", comment, comment_of(*twice));
  }
  while (s.files->child_count() > 0) s.files->delete_child(s.files->last_child());
  global_error_message().assign("");
  return 0;
}
