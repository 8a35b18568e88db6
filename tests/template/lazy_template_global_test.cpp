#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "io/string_in.h"
#include "template/lazy_template_global.h"
#include "template/template_file.h"

namespace fs = std::filesystem;

namespace {

// Says what it was asked to do, in order, and the first word of each text
// it read.
struct recording_table {
  void load(stream_in& in) { calls += std::string("load ") + in.read_word() + ";"; }
  void unload() { calls += "unload;"; }
  std::string calls;
};

using recorded_global = lazy_template_global<recording_table>;

TEST(TemplateGlobals, AGlobalIsReadFromTheTemplateFileOnceUnlessReplaced) {
  const fs::path dir = fs::path(testing::TempDir()) / "xrdf_template_globals";
  fs::create_directories(dir);
  const std::string file = (dir / "templates.tpl").string();
  std::ofstream(file) << "from_file\n";
  const std::string previous = locate_template_file();

  const auto replace = [](recorded_global& g) {
    string_in in("from_stream");
    g.replace(in);
  };
  const auto use = [](recorded_global& g) { g.get(); };
  const struct {
    const char* what;
    std::string template_path;
    std::function<void(recorded_global&)> steps;
    std::string expected;
  } rows[] = {
      {"used twice, the template file is read once", file,
       [&](recorded_global& g) {
         use(g);
         use(g);
       },
       "load from_file;"},
      {"replaced before its first use, the template file is never read", file,
       [&](recorded_global& g) {
         replace(g);
         use(g);
       },
       "unload;load from_stream;"},
      {"replaced after use, what was read goes before the new text is read", file,
       [&](recorded_global& g) {
         use(g);
         replace(g);
         use(g);
       },
       "load from_file;unload;load from_stream;"},
      {"with no template file to open, it stays empty", (dir / "missing.tpl").string(),
       [&](recorded_global& g) {
         use(g);
         use(g);
       },
       ""},
  };
  for (const auto& r : rows) {
    set_template_path(r.template_path);
    recorded_global global;
    r.steps(global);
    EXPECT_EQ(global.get().calls, r.expected) << r.what;
  }
  set_template_path(previous);
  fs::remove_all(dir);
}

}  // namespace
