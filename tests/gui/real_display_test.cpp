// The program itself, started as a person starts it, on a real (virtual) X
// server: its window must show the files' curves within a few seconds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

void write_line(const fs::path& file, double centre) {
  std::ofstream f(file);
  f << "A test line\n39 0.01 41\n1 1 1.5406\n";
  for (int i = 0; i < 201; ++i) {
    const double x = 39.0 + 0.01 * i;
    f << 10.0 + 1000.0 * std::exp(-(x - centre) * (x - centre) / 0.02) << "\n";
  }
}

TEST(RealDisplay, TheProgramShowsBothFilesInTheirColoursWithinSixSeconds) {
  if (!on_path("xvfb-run")) GTEST_SKIP() << "no virtual X server (package xvfb)";
  const fs::path dir = fs::temp_directory_path() / ("real_display_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  write_line(dir / "a.xdd", 39.7);
  write_line(dir / "b.xdd", 40.3);
  const fs::path picture = dir / "window.png";
  // The window is pictured once it has drawn, and the program ends: the
  // whole start must fit in the time a person would wait.
  const std::string command = "cd '" + dir.string() + "' && env -u QT_QPA_PLATFORM XDG_CONFIG_HOME='" + dir.string() +
                              "' timeout 6 xvfb-run -a -s '-screen 0 1280x800x24' '" XRDF_GUI_PROGRAM
                              "' --template '" XRDF_SOURCE_DIR "/resources/xrdfourier.tpl' --snapshot '" +
                              picture.string() + "' a.xdd b.xdd >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << "the program started, drew and ended in time";
  const QImage shot(QString::fromStdString(picture.string()));
  ASSERT_FALSE(shot.isNull()) << "the window was pictured";
  int yellow = 0, cyan = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) {
      const QColor c = shot.pixelColor(x, y);
      yellow += c == QColor(255, 255, 0);
      cyan += c == QColor(0, 255, 255);
    }
  EXPECT_GT(yellow, 50) << "the first file's curve, in the first colour";
  EXPECT_GT(cyan, 50) << "the second file's, in the second";
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

}  // namespace
