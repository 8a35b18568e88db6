#include <QPainter>

#include "app/qt/qt_surface.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/view_surface.h"
#include "gui_fixture.h"

namespace {

// A noisy scan of 30000 points with a few lines: far denser than a view has
// pixel columns.
std::string dense_scan(const std::filesystem::path& file, int seed) {
  std::ofstream f(file);
  f << "Dense scan\n20 0.003 " << 20 + 0.003 * 29999 << "\n1 1 1.5406\n";
  unsigned state = 99u + static_cast<unsigned>(seed);
  for (int i = 0; i < 30000; ++i) {
    const double x = 20 + 0.003 * i;
    double y = 40 + 0.1 * (x - 20);
    for (double c : {31.0 + seed, 55.0, 80.0}) y += 900 / (1 + std::pow((x - c) / 0.04, 2));
    state = state * 1103515245u + 12345u;
    f << y + static_cast<double>((state >> 16) % 31) << "\n";
  }
  return file.string();
}

QImage painted(for_dr_vw_3& view, bool by_columns) {
  view_surface::set_column_drawing(by_columns);
  QImage image(900, 500, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    qt_surface target(painter, image.width(), image.height());
    view.paint(target);
  }
  view_surface::set_column_drawing(true);
  return image;
}

// Curves denser than the pixels are drawn column by column. The tolerance is
// none: the picture of a solid curve must be the full drawing's, pixel for
// pixel. (The transforms' families are patterned, and a dense patterned
// curve counts its pattern across the columns instead of along its path:
// the dashed curves' own tests show those.)
TEST_F(Gui, DenseCurvesDrawnByColumnsLookLikeTheFullDrawing) {
  std::vector<std::string> scans;
  for (int i = 0; i < 4; ++i) scans.push_back(dense_scan(dir / ("dense" + std::to_string(i) + ".xdd"), i));
  load(scans);
  auto* view = dynamic_cast<for_dr_vw_3*>(view_list(*app)->last_view());
  ASSERT_NE(view, nullptr);
  struct shown_case {
    const char* name;
    std::uint32_t families;
    double x1, x2;  // 0, 0: all of it
  };
  for (const shown_case& c : {shown_case{"the profiles", show_bits::observed, 0, 0},
                              shown_case{"a window of the profiles", show_bits::observed, 50, 60},
                              shown_case{"a narrow window of the profiles", show_bits::observed, 54.9, 55.1}}) {
    view->show_families(c.families);
    if (c.x2 > c.x1) {
      view->x1 = c.x1;
      view->x2 = c.x2;
      view->recompute_scale();
    }
    const QImage columns = painted(*view, true);
    const QImage full = painted(*view, false);
    int differing = 0, lit = 0;
    for (int y = 0; y < full.height(); ++y)
      for (int x = 0; x < full.width(); ++x) {
        differing += columns.pixel(x, y) != full.pixel(x, y);
        lit += full.pixelColor(x, y) != black;
      }
    EXPECT_GT(lit, 1000) << c.name << ": the curves are drawn";
    EXPECT_EQ(differing, 0) << c.name << ": " << differing << " pixels differ";
  }
}

}  // namespace
