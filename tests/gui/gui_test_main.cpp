// The GUI tests drive the real widgets on Qt's offscreen platform: no
// display is needed, and what is painted can still be read back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include <QApplication>
#include <QSettings>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Settings, recent files and Qt's runtime files go to a folder of the
  // test run's own, never the user's.
  const std::filesystem::path home = std::filesystem::temp_directory_path() / ("xrdfourier_gui_" + std::to_string(getpid()));
  std::filesystem::create_directories(home);
  setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
  std::filesystem::permissions(home, std::filesystem::perms::owner_all);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(home.string()));
  QApplication application(argc, argv);
  QApplication::setOrganizationName("xrdfourier-tests");
  QApplication::setApplicationName("xrdfourier-tests");
  const int status = RUN_ALL_TESTS();
  std::error_code ignored;
  std::filesystem::remove_all(home, ignored);
  return status;
}
