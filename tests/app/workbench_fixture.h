#pragma once

// The application as the workbench runs it, on the scripted platform: the
// bundled template, the application object and its main window, and a
// folder of scan files made for the test.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "app/headless/headless_platform.h"
#include "app/shell/application.h"
#include "app/shell/for_app_3.h"
#include "app/platform/platform.h"
#include "app/views/view_look.h"
#include "core/error_message.h"
#include "core/paths.h"
#include "io/file_in.h"
#include "template/all_templates_3.h"
#include "template/out_side_recs_3.h"
#include "template/template_file.h"
#include "../template/loaded_templates.h"

inline const std::string bundled_template = XRDF_SOURCE_DIR "/resources/xrdfourier.tpl";

// A new, empty folder of its own: tests run in parallel processes.
inline std::filesystem::path fresh_directory(const std::string& prefix) {
  std::string pattern = (std::filesystem::path(testing::TempDir()) / (prefix + "_XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a folder from " << pattern;
  return pattern;
}

// The bytes of a file, as the tests compare them.
inline std::string contents(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream text;
  text << f.rdbuf();
  return text.str();
}

// The names in a folder, to show that nothing was left or written there.
inline std::set<std::string> names_in(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// Works in another folder for as long as it lives.
class working_folder {
 public:
  explicit working_folder(const std::filesystem::path& to) : before_(std::filesystem::current_path()) {
    std::filesystem::current_path(to);
  }
  ~working_folder() { std::filesystem::current_path(before_); }
  working_folder(const working_folder&) = delete;
  working_folder& operator=(const working_folder&) = delete;

 private:
  std::filesystem::path before_;
};

class Workbench : public ::testing::Test {
 protected:
  Workbench() {
    load_template_file(bundled_template);
    // The whole window is the plot, as the tests that press at pixels and
    // read what was drawn expect; the tests of the axes and the legend turn
    // them on.
    screen.settings[view_look::axes_key] = "0";
    screen.settings[view_look::legend_key] = "0";
    previous_platform_ = set_platform(&screen);
    previous_reporter_ = install_platform_reporter();
    session = std::make_unique<application_session>();
    app = session->app();
    if (app) app->init_main_window();
    dir = fresh_directory("workbench");
  }
  ~Workbench() override {
    session.reset();
    set_error_reporter(previous_reporter_);
    set_platform(previous_platform_);
    set_template_path("");
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  // A small scan in the XDD layout: start, step, end, time, unused, wavelength.
  std::string scan(const std::string& name, int points = 8) {
    std::ofstream f(dir / name);
    f << "A test scan\n20 0.5 " << 20 + 0.5 * (points - 1) << "\n2.5 1 1.5406\n";
    for (int i = 0; i < points; ++i) f << 100 + i * (points - i) << "\n";
    return (dir / name).string();
  }
  std::string write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  }

  assoc_class* files() { return find(*app, "xAdd_recs"); }
  int file_count() { return files() ? files()->child_count() : 0; }
  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const std::string& c : screen.calls())
      if (c.rfind("message ", 0) == 0) out.push_back(c);
    return out;
  }

  // How many message boxes showed this text.
  int shown(const std::string& text) const {
    int n = 0;
    for (const std::string& m : messages())
      if (m.find("'" + text + "'") != std::string::npos) ++n;
    return n;
  }

  headless_platform screen;
  std::unique_ptr<application_session> session;
  for_app_3* app = nullptr;
  std::filesystem::path dir;

 private:
  platform* previous_platform_ = nullptr;
  error_reporter* previous_reporter_ = nullptr;
};
