#pragma once

// Runs the batch tool in the test's process, on the bundled template, and
// keeps what it printed; and a folder of its own for a test's files.

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "../app/workbench_fixture.h"
#include "cli/batch_tool.h"
#include "template/template_file.h"

struct run_result {
  int status = 0;
  std::string out;
  std::string err;
};

inline run_result run(std::vector<std::string> args) {
  std::vector<std::string> all = {"xrdfourier-cli", "--template", bundled_template};
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

class BatchFolder : public ::testing::Test {
 protected:
  BatchFolder() : dir(fresh_directory("batch")) {}
  ~BatchFolder() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  std::string write(const std::string& name, const std::string& text) const {
    std::ofstream(dir / name, std::ios::binary) << text;
    return path(name);
  }
  // A scan of 20 points in the XDD layout.
  std::string scan(const std::string& name) const {
    std::string text = "A test scan\n20 0.5 29.5\n2.5 1 1.5406\n";
    for (int i = 0; i < 20; ++i) text += std::to_string(100 + i) + "\n";
    return write(name, text);
  }

  std::filesystem::path dir;
};

// "LABEL = NUMBER ± U UNIT": the number and its uncertainty; false when the
// summary gives no such figure.
inline bool figure_of(const std::string& out, const std::string& label, double& value, double& u) {
  std::smatch m;
  if (!std::regex_search(out, m, std::regex("(^|\n)" + label + " = ([-+0-9.e]+) \u00b1 ([-+0-9.e]+)"))) return false;
  value = std::stod(m[2]);
  u = std::stod(m[3]);
  return true;
}
