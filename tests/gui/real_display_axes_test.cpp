// The program itself on a real (virtual) X server, started on the demo
// project as run.sh starts it: its view shows the axes' numbers beside the
// plot's frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include <QColor>
#include <QImage>

namespace {

namespace fs = std::filesystem;

bool on_path(const char* program) {
  const std::string probe = std::string("command -v ") + program + " >/dev/null 2>&1";
  return std::system(probe.c_str()) == 0;
}

bool dark(QColor c) { return c.red() < 40 && c.green() < 40 && c.blue() < 40; }

TEST(RealDisplay, TheDemoOpensWithTheAxesNumbersBesideThePlot) {
  if (!on_path("xvfb-run")) GTEST_SKIP() << "no virtual X server (package xvfb)";
  const fs::path dir = fs::temp_directory_path() / ("real_display_axes_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path picture = dir / "window.png";
  // A settings folder of its own: the axes are on, as a new user finds them.
  const std::string command = "cd '" XRDF_SOURCE_DIR "' && env -u QT_QPA_PLATFORM XDG_CONFIG_HOME='" + dir.string() +
                              "' timeout 10 xvfb-run -a -s '-screen 0 1280x800x24' '" XRDF_GUI_PROGRAM
                              "' --template '" XRDF_SOURCE_DIR "/resources/xrdfourier.tpl' --snapshot '" +
                              picture.string() + "' --show deconv resources/demo/demo.prj >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << "the program started, drew and ended in time";
  const QImage shot(QString::fromStdString(picture.string()));
  ASSERT_FALSE(shot.isNull()) << "the window was pictured";
  // The plot's frame: a white column of at least 100 pixels with black
  // (the plot) right of it. Left of it, on black, the y numbers.
  int numbers = 0, frames = 0;
  for (int x = 60; x + 1 < shot.width() && frames == 0; ++x) {
    int run = 0;
    for (int y = 0; y < shot.height(); ++y) {
      run = shot.pixelColor(x, y) == QColor(Qt::white) && dark(shot.pixelColor(x + 1, y)) ? run + 1 : 0;
      if (run < 100) continue;
      ++frames;
      const int top = y - run + 1;
      for (int yy = top; yy <= y; ++yy)
        for (int xx = x - 50; xx < x - 7; ++xx) numbers += !dark(shot.pixelColor(xx, yy));
      break;
    }
  }
  ASSERT_EQ(frames, 1) << "the plot's frame";
  EXPECT_GT(numbers, 40) << "the y numbers left of it";
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

}  // namespace
