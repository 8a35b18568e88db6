// The size part A^S(L) of two orders of one reflection is drawn over their
// coefficients A(L) in the graph view, and in the figures made from it,
// while the view shows A(L).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "app/platform/svg_surface.h"
#include "app/shell/menu_commands.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"

namespace {

const std::string demo = XRDF_SOURCE_DIR "/resources/demo/size_strain/";
// The size part has no file of its own: white, dashed and two pixels wide
// (denser than the pixels, its dashes are runs of pixel columns).
const std::string size_part_pen = "pen 255 255 255 2 dash";
const std::string size_part_stroke = "stroke=\"#ffffff\" stroke-width=\"2\"";

class SizeCoefficientsOverlay : public Workbench {
 protected:
  // Both orders of the copper line and their references in one view.
  TDrawView* open_both_orders(bool tied) {
    std::vector<std::string> paths;
    for (const char* n : {"cu111.xdd", "cu111_ref.xdd", "cu222.xdd", "cu222_ref.xdd"}) paths.push_back(demo + n);
    screen.queue_files(paths);
    screen.user_command(command_id::load_data);
    if (tied) {
      tie(1, 0);
      tie(3, 2);
    }
    return view_list(*app)->focused();
  }
  // The file at `sample` takes the one at `reference` (in load order).
  void tie(int sample, int reference) {
    const char* path = find(*files()->child(reference), "xDdd_path_name")->get_text();
    find(*files()->child(sample), "ref_prof")->set_text_with_limits(path);
  }
  int size_part_pens(TDrawView* v) {
    int n = 0;
    for (const std::string& c : screen.user_paints(v->frame())) n += c == size_part_pen;
    return n;
  }
  bool in_figure(TDrawView* v) {
    svg_surface figure(400, 300);
    v->draw_curves(figure, 400, 300);
    return figure.document().find(size_part_stroke) != std::string::npos;
  }
};

TEST_F(SizeCoefficientsOverlay, IsDrawnInTheViewAndItsFiguresOnlyWhileTiedOrdersShowAL) {
  const struct {
    const char* what;
    bool tied;
    std::vector<int> commands;
    int pens;
  } rows[] = {
      {"tied orders showing A(L) draw it once", true, {view_command::show_coefficients}, 1},
      {"tied orders showing their profiles draw none", true, {}, 0},
      {"tied orders showing the quotient draw none", true, {view_command::show_quotient_re_im}, 0},
      {"orders without references draw none", false, {view_command::show_coefficients}, 0},
  };
  for (const auto& r : rows) {
    while (file_count() > 0) files()->delete_child(files()->child(0));
    TDrawView* v = open_both_orders(r.tied);
    ASSERT_NE(v, nullptr) << r.what;
    for (int id : r.commands) screen.user_command(id);
    EXPECT_EQ(size_part_pens(v), r.pens) << r.what;
    EXPECT_EQ(in_figure(v), r.pens > 0) << r.what << ", in a figure";
  }
}

}  // namespace
