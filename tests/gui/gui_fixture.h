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
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

#include "app/qt/dialog_window.h"
#include "app/qt/graph_view_widget.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_platform.h"
#include "app/shell/application.h"
#include "app/shell/for_app_3.h"
#include "app/views/TDrawView.h"
#include "app/views/view_look.h"
#include "app/views/view_recs_9.h"
#include "core/error_message.h"
#include "core/paths.h"
#include "io/file_in.h"
#include "template/all_templates_3.h"
#include "template/out_side_recs_3.h"
#include "template/template_file.h"
#include "../template/loaded_templates.h"

// The colours a person sees in a view: the first two files' slots, the
// background, and the measuring line.
inline const QColor yellow(255, 255, 0);
inline const QColor cyan(0, 255, 255);
inline const QColor black(0, 0, 0);
inline const QColor white(255, 255, 255);

inline const std::string gui_template = XRDF_SOURCE_DIR "/resources/xrdfourier.tpl";

class Gui : public ::testing::Test {
 protected:
  Gui() {
    load_template_file(gui_template);
    screen = std::make_unique<qt_platform>();
    screen->collect_messages = true;
    // The whole window is the plot, on black, as the tests that press at
    // pixels and read them expect; the tests of the axes, the legend and
    // the light background turn them on (the settings outlive a test).
    screen->set_setting(view_look::axes_key, "0");
    screen->set_setting(view_look::legend_key, "0");
    screen->set_setting(view_look::light_key, "0");
    previous_platform_ = set_platform(screen.get());
    previous_reporter_ = install_platform_reporter();
    session = std::make_unique<application_session>();
    app = session->app();
    app->init_main_window();
    // Dropped files and recent files open as the program's start wires them.
    window().set_path_opener([this](const std::vector<std::string>& paths) { app->open_paths(paths); });
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
  // The i-th loaded file's node.
  assoc_class* file(int i) {
    assoc_class* files = find(*app, "xAdd_recs");
    return files && i < files->child_count() ? files->child(i) : nullptr;
  }
  std::vector<TDrawView*> views() { return view_list(*app)->views(); }
  std::string title(TDrawView* v) {
    QMdiSubWindow* w = v ? screen->frame_window(v->frame()) : nullptr;
    return w ? w->windowTitle().toStdString() : std::string();
  }
  // Opens a popup of the menu bar with a click, as a person does.
  QMenu* open_menu(const QString& text) {
    QMenuBar* bar = window().menuBar();
    for (QAction* a : bar->actions())
      if (a->text() == text && a->menu()) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(a).center());
        settle();
        return a->menu();
      }
    return nullptr;
  }
  // Closes the open popup with Escape.
  static void close_menu(QMenu* menu) {
    if (menu && menu->isVisible()) QTest::keyClick(menu, Qt::Key_Escape);
    settle();
  }
  // A control-bar button as it is now: the bar is rebuilt when buttons change.
  QWidget* button(int id) {
    settle();
    return window().findChild<QWidget*>(QString("button_%1").arg(id));
  }
  // A dialog made from the program's resource `resource`, or null: a window
  // of its own, or docked in the main window.
  static dialog_window* dialog(int resource) {
    const QString name = QString("dialog_%1").arg(resource);
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == name) return qobject_cast<dialog_window*>(w);
      if (auto* docked = w->findChild<dialog_window*>(name)) return docked;
    }
    return nullptr;
  }
  // Brings the mouse over a point of a widget from elsewhere, so that the
  // widget sees it arrive even when the pointer rested there already.
  static void hover(QWidget* w, QPoint at) {
    QTest::mouseMove(w, at + QPoint(3, 3));
    QTest::mouseMove(w, at);
    settle();
  }
  std::string status(int gadget) { return window().status_text(gadget); }
  std::string hint() { return window().statusBar()->currentMessage().toStdString(); }
  // Whether a colour is within a pixel of a point.
  static bool near(const QImage& img, QColor c, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (img.valid(x + dx, y + dy) && img.pixelColor(x + dx, y + dy) == c) return true;
    return false;
  }
  static int count(const QImage& img, QColor c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixelColor(x, y) == c) ++n;
    return n;
  }

  std::unique_ptr<qt_platform> screen;
  std::unique_ptr<application_session> session;
  for_app_3* app = nullptr;
  std::filesystem::path dir;

 private:
  platform* previous_platform_ = nullptr;
  error_reporter* previous_reporter_ = nullptr;
};
