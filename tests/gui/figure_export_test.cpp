// File > Export Figure in the workbench: a PNG picture through Qt's image
// writer and an SVG drawing through Qt SVG, with the size asked in its
// dialog.
#include "gui_fixture.h"

#include <regex>

#include <QSpinBox>
#include <QTimer>

#include "app/qt/figure_size_dialog.h"
#include "app/views/paper_surface.h"

namespace {

QColor on_paper(QColor screen_colour) {
  const platform_types::colour c = readable_on_white(
      {static_cast<std::uint8_t>(screen_colour.red()), static_cast<std::uint8_t>(screen_colour.green()),
       static_cast<std::uint8_t>(screen_colour.blue())});
  return QColor(c.r, c.g, c.b);
}

class Figures : public Gui {
 protected:
  void answer_file(const std::string& path) {
    platform_types::file_answer a;
    a.result = platform_types::file_answer::status::chosen;
    a.paths = {path};
    screen->queued_files.push_back(a);
  }
};

TEST_F(Figures, APngIsWhiteWithTheCurveInsideTheFrameInItsDarkenedColourAndItsLegendBeside) {
  load({line("a.xdd")});
  const std::string path = (dir / "fig.png").string();
  answer_file(path);
  screen->queued_figure_sizes.push_back(platform_types::figure_size{480, 320, 192});
  trigger(4260);
  EXPECT_TRUE(screen->messages.empty()) << screen->messages.front();
  const QImage img(QString::fromStdString(path));
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.size(), QSize(480, 320));
  EXPECT_NEAR(img.dotsPerMeterX(), 192 / 0.0254, 1.0) << "marked with the resolution chosen";
  EXPECT_EQ(img.pixelColor(0, 0), white);

  // The frame: the rows and columns of black long enough for no text.
  int top = -1, bottom = -1, left = -1, right = -1;
  for (int y = 0; y < img.height(); ++y) {
    int n = 0;
    for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y) == black;
    if (n > img.width() / 3) (top < 0 ? top : bottom) = y;
  }
  for (int x = 0; x < img.width(); ++x) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) n += img.pixelColor(x, y) == black;
    if (n > img.height() / 3) (left < 0 ? left : right) = x;
  }
  ASSERT_TRUE(top >= 0 && bottom > top + 100 && left >= 0 && right > left + 100);

  const QColor ink = on_paper(yellow);
  int inside = 0, legend = 0, elsewhere = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      if (img.pixelColor(x, y) != ink) continue;
      if (x > left && x < right && y > top && y < bottom) ++inside;
      else if (x > right) ++legend;
      else ++elsewhere;
    }
  EXPECT_GT(inside, 200) << "the curve, drawn twice as wide at 192 dpi";
  EXPECT_GT(legend, 20) << "the legend's stroke";
  EXPECT_EQ(elsewhere, 0) << "nothing of the curve outside the plot";
  EXPECT_EQ(count(img, yellow), 0) << "no yellow on white";
}

TEST_F(Figures, AnSvgTakesTheSizeGivenInTheDialogAndHoldsTheCurveTheNumbersAndTheLegend) {
  load({line("a.xdd")});
  const std::string path = (dir / "fig.svg").string();
  answer_file(path);
  bool resolution_offered = true;
  // The dialog runs its own loop: the user's answer comes from inside it.
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<figure_size_dialog*>(w); d && d->isVisible()) {
        resolution_offered = d->dpi_box()->isEnabled();
        d->width_box()->setValue(321);
        d->height_box()->setValue(234);
        d->accept();
      }
  });
  trigger(4260);
  EXPECT_FALSE(resolution_offered) << "a drawing has no resolution";
  std::ifstream f(path);
  const std::string svg((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  EXPECT_NE(svg.find("viewBox=\"0 0 321 234\""), std::string::npos);
  EXPECT_NE(svg.find("stroke=\"" + on_paper(yellow).name().toStdString() + "\""), std::string::npos)
      << "the curve's colour";
  std::vector<std::string> texts;
  std::vector<double> numbers;
  static const std::regex element(">([^<]*)</text>");
  for (std::sregex_iterator it(svg.begin(), svg.end(), element), end; it != end; ++it) {
    texts.push_back((*it)[1]);
    char* rest = nullptr;
    const double v = std::strtod(texts.back().c_str(), &rest);
    if (!texts.back().empty() && *rest == '\0') numbers.push_back(v);
  }
  auto has = [&](const std::string& t) { return std::find(texts.begin(), texts.end(), t) != texts.end(); };
  // A figure this narrow shortens the legend's name ("a.xdd obs...").
  const bool named =
      std::any_of(texts.begin(), texts.end(), [](const std::string& t) { return t.rfind("a.xdd", 0) == 0; });
  EXPECT_TRUE(named && has("Intensity")) << "the legend and the y caption";
  // The line runs from 39 to 41 degrees and up to 1010 counts.
  for (double end : {39.0, 41.0, 1000.0})
    EXPECT_NE(std::find(numbers.begin(), numbers.end(), end), numbers.end()) << "a tick at " << end;
}

}  // namespace
