#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "core/paths.h"
#include "template/tem_node_3.h"
#include "loaded_templates.h"

namespace {

const char* const pieces[] = {"{",     "}",      ";",         "\n",     "   ",     "\t",    " ",        "'",
                              "/*",    "*/",     "\"",        "A",      "B",       "C",     "_int",     "_min",
                              "_max",  "_name",  "_switch",   "_array", "_alias",  "{^",    "{%",       "#app",
                              "app",   "xdds",   "_tem_plate", "plot",  "tBime",   "x|y",   "_on_creation",
                              "start_templates", "end_templates", "start_out_side_recs", "_creator", "1e999", "-"};

std::string random_text(std::mt19937& rng, int pieces_count) {
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  std::string s;
  for (int i = 0; i < pieces_count; ++i) {
    s += pieces[pick(rng)];
    if (rng() % 3 == 0) s += ' ';
  }
  return s;
}

// Whatever the text, loading it and making objects by name must neither crash
// nor hang: the sanitizers watch every run.
void exercise(const std::string& text) {
  loaded_templates t(text, text);
  struct app_node : assoc_class {
    const char* class_name() const override { return "app"; }
  };
  top_3 root;
  assoc_class* app = root.add_child(std::make_unique<app_node>());
  for (const char* name : {"xdds", "tBime", "plot", "pRath_name", "mAanip", "app"}) find(*app, name);
  query_value("app_name");
}

TEST(LoaderRobustness, RandomTemplateTextsNeverCrash) {
  shown_errors quiet;
  std::mt19937 rng(20261206);
  for (int i = 0; i < 2000; ++i) {
    const std::string prefix = (i % 2) ? "start_templates {#app ;\n   app _tem_plate #app ;\n" : "start_templates ";
    exercise(prefix + random_text(rng, 5 + static_cast<int>(rng() % 60)) + "\nstart_out_side_recs {" +
             random_text(rng, static_cast<int>(rng() % 30)));
  }
}

TEST(LoaderRobustness, EveryTruncationOfTheBundledFileLoads) {
  shown_errors quiet;
  std::ifstream f(XRDF_SOURCE_DIR "/resources/xrdfourier.tpl");
  std::stringstream all;
  all << f.rdbuf();
  const std::string text = all.str();
  ASSERT_GT(text.size(), 100u);
  const std::size_t step = text.size() > 4000 ? text.size() / 4000 : 1;
  for (std::size_t n = 0; n <= text.size(); n += step) exercise(text.substr(0, n));
}

}  // namespace
