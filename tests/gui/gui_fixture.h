#pragma once

// The workbench as a person meets it, on the offscreen platform: the real
// main window, menus, views and dialogs, with the bundled template. File
// dialogs and questions take queued answers; message boxes are collected.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <cmath>
#include <memory>
#include <vector>
#include <string>

#include <QApplication>
#include <QImage>
#include <QMdiArea>
#include <QMenu>
#include <QMdiSubWindow>
#include <QTest>

#include "app/qt/graph_view_widget.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_platform.h"
#include "app/shell/application.h"
#include "app/shell/for_app_3.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "core/error_message.h"
#include "core/paths.h"
#include "io/file_in.h"
#include "template/all_templates_3.h"
#include "template/out_side_recs_3.h"
#include "template/template_file.h"

inline const std::string gui_template = XRDF_SOURCE_DIR "/resources/xrdfourier.tpl";

class Gui : public ::testing::Test {
 protected:
  Gui() {
    set_template_path(gui_template);
    file_in templates(gui_template.c_str(), true);
    replace_templates(templates);
    file_in outside(gui_template.c_str(), true);
    replace_outside_records(outside);
    screen = std::make_unique<qt_platform>();
    screen->collect_messages = true;
    previous_platform_ = set_platform(screen.get());
    previous_reporter_ = install_platform_reporter();
    session = std::make_unique<application_session>();
    app = session->app();
    app->init_main_window();
    window().show();
    settle();
    std::string pattern = (std::filesystem::temp_directory_path() / "gui_XXXXXX").string();
    if (mkdtemp(pattern.data())) dir = pattern;
  }
  ~Gui() override {
    session.reset();
    screen.reset();
    set_error_reporter(previous_reporter_);
    set_platform(previous_platform_);
    set_template_path("");
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  main_window& window() { return screen->window(); }
  // Lets Qt do what is pending: painting, deferred rebuilds, activation.
  static void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }

  // A Gaussian line of height `top` at `centre` on a flat background: 201
  // points from 39 to 41.
  std::string line(const std::string& name, double centre = 40.0, double sigma = 0.1, double top = 1000.0) {
    std::ofstream f(dir / name);
    f << "A test line\n39 0.01 41\n1 1 1.5406\n";
    for (int i = 0; i < 201; ++i) {
      const double x = 39.0 + 0.01 * i;
      f << 10.0 + top * std::exp(-(x - centre) * (x - centre) / (2 * sigma * sigma)) << "\n";
    }
    return (dir / name).string();
  }

  // Loads files through File > Load Data, answering its dialog.
  void load(const std::vector<std::string>& paths) {
    platform_types::file_answer a;
    a.result = platform_types::file_answer::status::chosen;
    a.paths = paths;
    screen->queued_files.push_back(a);
    trigger(3153);
  }
  // Chooses a menu command as a person does: through its action.
  void trigger(int id) {
    QAction* a = window().action(id);
    ASSERT_NE(a, nullptr) << "the menu has command " << id;
    window().update_enablers(qobject_cast<QMenu*>(a->parent()));
    ASSERT_TRUE(a->isEnabled()) << "command " << id << " is enabled";
    a->trigger();
    settle();
  }
  TDrawView* focused() { return view_list(*app)->focused(); }
  graph_view_widget* widget(TDrawView* v) { return v ? screen->frame_widget(v->frame()) : nullptr; }
  // What the view's widget shows now.
  QImage shown(TDrawView* v) {
    graph_view_widget* w = widget(v);
    return w ? w->grab().toImage() : QImage();
  }
  int file_count() {
    assoc_class* files = find(*app, "xAdd_recs");
    return files ? files->child_count() : 0;
  }

  std::unique_ptr<qt_platform> screen;
  std::unique_ptr<application_session> session;
  for_app_3* app = nullptr;
  std::filesystem::path dir;

 private:
  platform* previous_platform_ = nullptr;
  error_reporter* previous_reporter_ = nullptr;
};
