#pragma once

// Runs the batch tool in the test's process, on the bundled template, and
// keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "app/batch/batch_tool.h"
#include "template/template_file.h"

inline const std::string bundled_batch_template = XRDF_SOURCE_DIR "/resources/xrdfourier.tpl";

struct run_result {
  int status = 0;
  std::string out;
  std::string err;
};

inline run_result run(std::vector<std::string> args) {
  std::vector<std::string> all = {"xrdfourier-cli", "--template", bundled_batch_template};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<const char*> argv;
  for (const std::string& a : all) argv.push_back(a.c_str());
  std::ostringstream out, err;
  run_result r;
  r.status = run_batch_tool(static_cast<int>(argv.size()), argv.data(), out, err);
  r.out = out.str();
  r.err = err.str();
  set_template_path("");
  return r;
}
