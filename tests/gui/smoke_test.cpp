#include "gui_fixture.h"

namespace {

TEST_F(Gui, LoadDataShowsBothLinesInTheirColoursOnBlack) {
  load({line("a.xdd", 39.7), line("b.xdd", 40.3)});
  ASSERT_EQ(file_count(), 2);
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  const QImage img = shown(v);
  ASSERT_FALSE(img.isNull());
  int yellow = 0, cyan = 0, black = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      if (c == QColor(255, 255, 0)) ++yellow;
      if (c == QColor(0, 255, 255)) ++cyan;
      if (c == QColor(0, 0, 0)) ++black;
    }
  EXPECT_GT(yellow, 50) << "the first file is drawn in the first colour";
  EXPECT_GT(cyan, 50) << "the second in the second";
  EXPECT_GT(black, img.width() * img.height() / 2) << "on black";
  EXPECT_EQ(window().windowTitle(), "XRD Fourier Workbench");
}

}  // namespace
