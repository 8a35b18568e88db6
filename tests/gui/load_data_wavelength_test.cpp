// Load Data's field for the wavelength of files that give none, as a person
// fills it in, and what the file's button then says of the file.

#include <fstream>
#include <string>

#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include "gui_fixture.h"

namespace {

class LoadDataWavelength : public Gui {
 protected:
  // A two-column scan: angles and counts, no wavelength.
  std::string two_columns(const std::string& name) {
    std::ofstream f(dir / name);
    for (int i = 0; i < 41; ++i) f << 39.0 + 0.05 * i << " " << 100 + i * (40 - i) << "\n";
    return (dir / name).string();
  }
  // Load Data with the wavelength field as typed.
  void load_with(const std::string& path, const std::string& wavelength) {
    platform_types::file_answer a;
    a.result = platform_types::file_answer::status::chosen;
    a.paths = {path};
    a.wavelength = wavelength;
    screen->queued_files.push_back(a);
    trigger(3153);
  }
  // What the i-th file's button shows while the mouse is over it.
  std::string file_hint(int i) {
    QWidget* b = button(4010 + i);
    if (!b) return "";
    hover(b, b->rect().center());
    return hint();
  }
};

TEST_F(LoadDataWavelength, AWavelengthTypedOnLoadDataIsWhatTheFileButtonShows) {
  const struct {
    const char* typed;
    const char* shown;
  } rows[] = {
      {"1.5418", "Lambda= 1.5418; wavelength not in the file: 1.5418 \u00c5 given on Load Data"},
      {" 0.7093 ", "Lambda= 0.7093; wavelength not in the file: 0.7093 \u00c5 given on Load Data"},
      {"", "Lambda= 1.5406; wavelength not in the file: 1.5406 \u00c5 assumed"},
  };
  int i = 0;
  for (const auto& r : rows) {
    load_with(two_columns("scan" + std::to_string(i) + ".xy"), r.typed);
    ASSERT_EQ(file_count(), i + 1) << "typed: " << r.typed;
    EXPECT_NE(file_hint(i).find(r.shown), std::string::npos) << hint();
    ++i;
  }
}

TEST_F(LoadDataWavelength, AWavelengthThatIsNoneLoadsNothingAndSaysWhy) {
  load_with(two_columns("scan.xy"), "1,54 nm");
  EXPECT_EQ(file_count(), 0);
  ASSERT_EQ(screen->messages.size(), 1u);
  EXPECT_NE(screen->messages[0].find("Load Data: the wavelength \"1,54 nm\" is not a number; no file was loaded"),
            std::string::npos)
      << screen->messages[0];
}

TEST_F(LoadDataWavelength, AFileWithItsOwnWavelengthKeepsItAndSaysSo) {
  load_with(line("own.xdd"), "1.5418");
  ASSERT_EQ(file_count(), 1);
  EXPECT_NE(file_hint(0).find("Lambda= 1.5406"), std::string::npos) << hint();
  ASSERT_EQ(screen->messages.size(), 1u);
  EXPECT_NE(screen->messages[0].find("the file's own wavelength, 1.5406 \u00c5, is kept"), std::string::npos)
      << screen->messages[0];
}

TEST_F(LoadDataWavelength, TheLoadDataDialogHasAWavelengthFieldThatTheLoadTakes) {
  const std::string path = two_columns("typed.xy");
  bool field_found = false;
  // The dialog is modal: it is answered once it shows, as a person would.
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    if (auto* field = dialog->findChild<QLineEdit*>("load_data_wavelength")) {
      field_found = true;
      field->setText("1.5418");
    }
    dialog->selectFile(QString::fromStdString(path));
    static_cast<QDialog*>(dialog)->accept();
  });
  trigger(3153);
  EXPECT_TRUE(field_found) << "the dialog shows the field";
  ASSERT_EQ(file_count(), 1);
  EXPECT_NE(file_hint(0).find("Lambda= 1.5418; wavelength not in the file: 1.5418 \u00c5 given on Load Data"),
            std::string::npos)
      << hint();
}

}  // namespace
