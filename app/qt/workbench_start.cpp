#include "app/qt/workbench_start.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "app/qt/main_window.h"
#include "app/qt/qt_platform.h"
#include "app/shell/application.h"
#include "app/shell/for_app_3.h"
#include "app/views/TDrawView.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/view_recs_9.h"
#include "core/error_message.h"
#include "core/paths.h"
#include "template/template_file.h"

namespace {

// How long after start the snapshot is taken: time for the views to paint.
constexpr int snapshot_delay_ms = 600;

// One more view, of the families asked for on the command line, holding
// every loaded file.
void open_family_view(for_app_3& app, const std::vector<std::string>& names) {
  const std::uint32_t bits = family_bits(names);
  assoc_class* loaded = find(app, "xAdd_recs");
  if (!bits || !loaded || loaded->child_count() == 0) return;
  auto* view = dynamic_cast<for_dr_vw_3*>(app.new_graph_view());
  if (!view) return;
  for (int i = 0; i < loaded->child_count(); ++i) view->add_file(loaded->child(i));
  view->lines_changed();
  view->show_families(bits);
}

}  // namespace

const char* workbench_usage() {
  return "Usage: xrdfourier [--template PATH] [--show LIST] [--snapshot FILE.png] [FILE.xdd|FILE.cpi ...] "
         "[PROJECT.prj]\n"
         "\n"
         "Starts the workbench. The data files given load into one new view, as Load Data loads\n"
         "them; a project is loaded as Load Project loads it.\n"
         "\n"
         "Options:\n"
         "  --template PATH      Read the template file PATH instead of the default.\n"
         "  --show LIST          Open one more view of every loaded file showing the families of\n"
         "                       LIST (comma-separated): yobs, inv, deconv, or re, im, mod,\n"
         "                       br_re, br_im, br_mod, al.\n"
         "  --snapshot FILE.png  Write a picture of the main window once it has drawn, then quit.\n"
         "  --help               Show this text.\n";
}

std::string read_workbench_options(int argc, const char* const* argv, workbench_options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      options.help = true;
    } else if (a == "--template" || a == "--show" || a == "--snapshot") {
      if (i + 1 >= argc) return a + " needs a value";
      const std::string v = argv[++i];
      if (a == "--template") options.template_path = v;
      if (a == "--snapshot") options.snapshot = v;
      if (a == "--show") {
        std::size_t start = 0;
        while (start <= v.size()) {
          const std::size_t comma = v.find(',', start);
          const std::string name = v.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
          if (!name.empty()) options.show.push_back(name);
          if (comma == std::string::npos) break;
          start = comma + 1;
        }
        if (const std::string why = check_families(options.show); !why.empty()) return why;
      }
    } else if (a.size() > 1 && a[0] == '-') {
      return "unknown option " + a;
    } else {
      options.paths.push_back(a);
    }
  }
  return "";
}

int run_workbench(const workbench_options& options) {
  if (!options.template_path.empty()) set_template_path(options.template_path);
  std::string template_path;
  if (!template_file_readable(template_path)) {
    QMessageBox::critical(nullptr, "xrdfourier", QString::fromStdString(missing_template_message(template_path)));
    return 1;
  }
  qt_platform screen;
  platform* previous = set_platform(&screen);
  error_reporter* previous_reporter = install_platform_reporter();
  int status = 0;
  {
    application_session session;
    for_app_3* app = session.app();
    if (!app) {
      QMessageBox::critical(nullptr, "xrdfourier",
                            QString::fromStdString("The template file " + template_path +
                                                   " defines no application object."));
      status = 1;
    } else {
      screen.window().set_path_opener([app](const std::vector<std::string>& paths) { app->open_paths(paths); });
      // The start's work runs inside the event loop, with the window shown.
      QTimer::singleShot(0, &screen, [&screen, app, &options] {
        if (!options.paths.empty()) app->open_paths(options.paths);
        if (!options.show.empty()) open_family_view(*app, options.show);
        // Several views at start: side by side, each fully in sight.
        if (view_recs_9* views = view_list(*app); views && views->views().size() > 1) screen.tile_frames();
        if (!options.snapshot.empty())
          QTimer::singleShot(snapshot_delay_ms, &screen, [&screen, &options] {
            screen.window().grab().save(QString::fromStdString(options.snapshot));
            screen.quit();
          });
      });
      app->execute();
    }
  }
  set_error_reporter(previous_reporter);
  set_platform(previous);
  return status;
}
