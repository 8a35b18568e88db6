// A series table loaded through the real File > Load Data, as a person sees
// its graph: the points where the column puts them, the captions, and the
// column chosen from its window's menu changing the curve.
#include <string>
#include <vector>

#include "app/platform/command_ids.h"
#include "app/qt/qt_surface.h"
#include "app/views/series_window.h"
#include "gui_fixture.h"

namespace {

// Draws as the window does, and keeps the points of its joined runs and
// its texts, to say where on the screen the curve must be.
class watching_surface : public qt_surface {
 public:
  using qt_surface::qt_surface;
  void polyline(const std::vector<int>& xy) override {
    for (std::size_t i = 0; i + 1 < xy.size(); i += 2) points.emplace_back(xy[i], xy[i + 1]);
    qt_surface::polyline(xy);
  }
  void placed_text(int x, int y, const std::string& s, platform_types::text_anchor anchor, int size) override {
    texts.push_back(s);
    qt_surface::placed_text(x, y, s, anchor, size);
  }
  std::vector<QPoint> points;
  std::vector<std::string> texts;
};

class SeriesTableGui : public Gui {
 protected:
  std::string table() {
    std::ofstream f(dir / "cycling.csv");
    f << "index,file,scan,name,start_time,temperature_C,fwhm,area_weighted_length,area_weighted_length_u,warning\n"
         "1,c.ras,1,,,25,0.30,100,2,\n"
         "2,c.ras,2,,,100,0.25,150,2,\n"
         "3,c.ras,3,,,200,0.20,120,2,\n"
         "4,c.ras,4,,,300,,,,\"no peak, background only\"\n"
         "5,c.ras,5,,,400,0.35,180,3,\n";
    return (dir / "cycling.csv").string();
  }
  // What the window's drawing puts where, at the size of its widget.
  static std::unique_ptr<watching_surface> drawing(const series_plot& plot, QWidget* w, QImage& image) {
    image = QImage(w->width(), w->height(), QImage::Format_RGB32);
    auto s = std::make_unique<watching_surface>(image, w->width(), w->height());
    plot.draw(*s, view_look::current());
    s->end();
    return s;
  }
  static bool has(const std::vector<std::string>& texts, const std::string& t) {
    return std::find(texts.begin(), texts.end(), t) != texts.end();
  }
};

TEST_F(SeriesTableGui, LoadingATableShowsItsPointsCaptionedAndTheChosenColumnMovesTheCurve) {
  load({table()});
  ASSERT_EQ(series_windows().size(), 1u);
  EXPECT_EQ(file_count(), 0) << "no scan was loaded";
  const platform::frame_id frame = series_windows().front();
  QWidget* w = screen->frame_widget(frame);
  ASSERT_NE(w, nullptr);
  QMdiSubWindow* sub = screen->frame_window(frame);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->windowTitle().toStdString(), "cycling.csv: fwhm");
  EXPECT_NE(hint().find("4 of 5 rows drawn; left out: row 4 (no peak, background only)"), std::string::npos)
      << hint();
  series_plot* plot = series_window_plot(frame);
  ASSERT_NE(plot, nullptr);

  // The widths: three points joined, then the fifth alone after the gap;
  // each joined point yellow on the screen where the drawing puts it.
  QImage expected;
  std::unique_ptr<watching_surface> widths = drawing(*plot, w, expected);
  ASSERT_EQ(widths->points.size(), 3u);
  QImage seen = w->grab().toImage();
  for (const QPoint& p : widths->points) EXPECT_TRUE(near(seen, yellow, p.x(), p.y())) << p.x() << "," << p.y();
  EXPECT_TRUE(has(widths->texts, "fwhm (°)"));
  EXPECT_TRUE(has(widths->texts, "scan index"));
  EXPECT_TRUE(has(widths->texts, "cycling.csv: fwhm"));

  // A right click in the window, and the sizes from its menu. The second
  // point, a width below the first, is a size above it now.
  EXPECT_NE(hint().find("right-click for another column"), std::string::npos) << hint();
  screen->queued_popups.push_back(series_choice::first_column + 1);
  QTest::mouseClick(w, Qt::RightButton, {}, QPoint(w->width() / 2, w->height() / 2));
  settle();
  EXPECT_EQ(plot->column(), "area_weighted_length");
  EXPECT_EQ(sub->windowTitle().toStdString(), "cycling.csv: area_weighted_length");
  std::unique_ptr<watching_surface> sizes = drawing(*plot, w, expected);
  ASSERT_EQ(sizes->points.size(), 3u);
  EXPECT_GT(widths->points[1].y(), widths->points[0].y()) << "a smaller width is lower";
  EXPECT_LT(sizes->points[1].y(), sizes->points[0].y()) << "a larger size is higher";
  seen = w->grab().toImage();
  for (const QPoint& p : sizes->points) EXPECT_TRUE(near(seen, yellow, p.x(), p.y())) << p.x() << "," << p.y();
  EXPECT_FALSE(near(seen, yellow, widths->points[1].x(), widths->points[1].y())) << "the widths' curve is gone";
  EXPECT_TRUE(has(sizes->texts, "area_weighted_length (Å)"));
}

}  // namespace
