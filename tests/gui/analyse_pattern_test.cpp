// Edit > Analyse Pattern in the real workbench, chosen from the menu with the
// mouse: the instrument file from the file dialog, the lattice typed into
// its dialog, and the results, marks and Williamson-Hall window a person
// then sees.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <algorithm>
#include <sstream>
#include <string>

#include "app/analysis/line_marks.h"
#include "gui_fixture.h"

namespace {

constexpr int lattice_dialog = 4270;

class AnalysePatternMenu : public Gui {
 protected:
  // Chooses the item from the open menu with a click, as a person does.
  void click_item(QMenu* menu, const QString& text) {
    ASSERT_NE(menu, nullptr);
    for (QAction* a : menu->actions())
      if (a->text() == text) {
        ASSERT_TRUE(a->isEnabled()) << text.toStdString();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
        settle();
        return;
      }
    ADD_FAILURE() << "no item " << text.toStdString();
  }
  QMdiSubWindow* sub_window(const QString& title) {
    for (QMdiSubWindow* w : window().findChildren<QMdiSubWindow*>())
      if (w->windowTitle() == title) return w;
    return nullptr;
  }
};

TEST_F(AnalysePatternMenu, ChoosingAnalysePatternWithAnInstrumentAndALatticeShowsTheResultsMarksAndWilliamsonHall) {
  const std::string instrument = (dir / "d8_lab6.txt").string();
  std::ostringstream err;
  ASSERT_TRUE(session->instrument(XRDF_TEST_DATA "/d8_lab6_standard.csv", 1, "sc:4.1569", instrument, err).made)
      << err.str();
  load({XRDF_TEST_DATA "/d8_fe_sample.csv"});
  TDrawView* view = focused();
  ASSERT_NE(view, nullptr);

  platform_types::file_answer a;
  a.result = platform_types::file_answer::status::chosen;
  a.paths = {instrument};
  screen->queued_files.push_back(a);
  // The lattice dialog runs its own loop: the user types into it from there.
  bool typed = false;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    dialog_window* d = dialog(lattice_dialog);
    if (!d || !d->isVisible()) return;
    auto* edit = d->findChild<QLineEdit*>();
    if (!edit) return;
    QTest::keyClicks(edit, "bcc:2.8665");
    typed = true;
    user.stop();
    d->accept();
  });
  user.start(20);
  click_item(open_menu("&Edit"), "Analyse &Pattern...");
  user.stop();
  settle();
  ASSERT_TRUE(typed) << "the lattice dialog was shown";
  ASSERT_TRUE(screen->messages.empty()) << screen->messages.front();

  QMdiSubWindow* results = sub_window("Pattern analysis: d8_fe_sample.csv");
  ASSERT_NE(results, nullptr);
  auto* text = results->findChild<QPlainTextEdit*>();
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->toPlainText().contains("\nWilliamson-Hall volume-weighted size = "))
      << text->toPlainText().toStdString();

  EXPECT_EQ(line_marks_of(*view).size(), 5u);

  QMdiSubWindow* wh = sub_window("d8_fe_sample.csv: Williamson-Hall");
  ASSERT_NE(wh, nullptr);
  QWidget* figure = wh->widget();
  ASSERT_NE(figure, nullptr);
  const QImage img = figure->grab().toImage();
  ASSERT_FALSE(img.isNull());
  // The figure is drawn on white, with its points and lines in colour.
  EXPECT_GT(count(img, white), img.width() * img.height() / 2);
  int coloured = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      if (c.saturation() > 100) ++coloured;
    }
  EXPECT_GT(coloured, 50) << "the series' markers and fitted lines";
}

}  // namespace
