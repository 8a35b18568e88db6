// Repainting a graph view of many large scans, as the window does when it is
// uncovered or resized:
//
//   BM_PaintView      32 files of 30000 points with their transforms shown
//                     (real and imaginary parts: 64 curves of 32768 points),
//                     painted into an off-screen image of 1200 x 800, dense
//                     curves drawn column by column, with the axes and the
//                     legend (on by default) round and over them
//   BM_PaintViewFull  the same, every curve drawn point by point
//   BM_PaintViewBare  the same as BM_PaintView without the axes and legend
//
// The transforms are computed once before the timing: a repaint draws what
// is there.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "app/qt/qt_platform.h"
#include "app/qt/qt_surface.h"
#include "app/shell/application.h"
#include "app/shell/for_app_3.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/view_look.h"
#include "app/views/view_recs_9.h"
#include "app/views/view_surface.h"
#include "core/error_message.h"
#include "core/paths.h"
#include "template/template_file.h"

namespace {

constexpr int files = 32;
constexpr int points = 30000;
constexpr int width = 1200;
constexpr int height = 800;

// A scan of `points` steps: a few lines on a sloping background, with noise.
void write_scan(const std::filesystem::path& path, int seed) {
  std::ofstream f(path);
  const double x1 = 20.0, dx = 0.003;
  f << "Synthetic scan\n" << x1 << " " << dx << " " << x1 + dx * (points - 1) << "\n1 1 1.5406\n";
  unsigned state = 12345u + static_cast<unsigned>(seed);
  for (int i = 0; i < points; ++i) {
    const double x = x1 + dx * i;
    double y = 50.0 + 0.2 * (x - x1);
    for (double centre : {35.0 + seed * 0.1, 52.0, 71.5, 88.0}) y += 800.0 / (1.0 + std::pow((x - centre) / 0.05, 2));
    state = state * 1103515245u + 12345u;
    y += static_cast<double>((state >> 16) % 21) - 10.0;
    f << y << "\n";
  }
}

struct painted_workbench {
  painted_workbench() {
    folder = std::filesystem::temp_directory_path() / ("view_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    set_template_path(XRDF_SOURCE_DIR "/resources/xrdfourier.tpl");
    screen = std::make_unique<qt_platform>();
    screen->collect_messages = true;
    set_platform(screen.get());
    install_platform_reporter();
    session = std::make_unique<application_session>();
    session->app()->init_main_window();
    // What a person's settings chose does not change what is timed.
    view_look::current() = view_look{};
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i) {
      const auto p = folder / ("scan" + std::to_string(i) + ".xdd");
      write_scan(p, i);
      paths.push_back(p.string());
    }
    session->app()->open_paths(paths);
    view = dynamic_cast<for_dr_vw_3*>(view_list(*session->app())->last_view());
    if (view) view->show_families(show_bits::transform_re_im);
    paint();  // the transforms are made here, before any timing
  }
  ~painted_workbench() {
    session.reset();
    set_platform(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  void paint() {
    QPainter painter(&image);
    qt_surface target(painter, width, height);
    if (view) view->paint(target);
  }

  std::filesystem::path folder;
  std::unique_ptr<qt_platform> screen;
  std::unique_ptr<application_session> session;
  for_dr_vw_3* view = nullptr;
  QImage image{width, height, QImage::Format_RGB32};
};

// Made once, and gone before the application object is.
std::unique_ptr<painted_workbench> made;

painted_workbench& workbench() {
  if (!made) made = std::make_unique<painted_workbench>();
  return *made;
}

void paint_view(benchmark::State& state, bool by_columns) {
  painted_workbench& w = workbench();
  if (!w.view) {
    state.SkipWithError("no view");
    return;
  }
  view_surface::set_column_drawing(by_columns);
  for (auto _ : state) w.paint();
  view_surface::set_column_drawing(true);
}

void BM_PaintView(benchmark::State& state) { paint_view(state, true); }
void BM_PaintViewFull(benchmark::State& state) { paint_view(state, false); }
void BM_PaintViewBare(benchmark::State& state) {
  view_look::current().axes = view_look::current().legend = false;
  paint_view(state, true);
  view_look::current() = view_look{};
}

BENCHMARK(BM_PaintView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintViewFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintViewBare)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  made.reset();
  return 0;
}
