#include <string>

#include "view_bench.h"

namespace {

constexpr int x1_edit = 4244, x2_edit = 4246, y1_edit = 4245, y2_edit = 4247;

class AxesDialog : public Views {
 protected:
  // The focused view on the plain window, and the dialog opened on it.
  TDrawView* view_with_dialog() {
    TDrawView* v = open({peak("a.xdd")});
    plain_window(v);
    screen.user_command(command_id::edit_scales);
    dialog = screen.dialog_of_resource(4240);
    return v;
  }
  void enter(int edit, const std::string& text) {
    screen.user_types(dialog, edit, text);
    screen.user_presses_enter(dialog, edit);
  }
  std::string shows(int edit) { return screen.control_text(dialog, edit); }
  int dialog = 0;
};

TEST_F(AxesDialog, ShowsMoreDecimalsOfYForANarrowerRange) {
  view_with_dialog();
  ASSERT_NE(dialog, 0) << "Edit x-y scales opens the axes dialog";
  const struct {
    const char* range;
    const char* y2;
    const char* y1_shown;
    const char* y2_shown;
  } rows[] = {{"0 to 1000: one decimal", "1000", "0.0", "1000.0"},
              {"0 to 10: two", "10", "0.00", "10.00"},
              {"0 to 5: three", "5", "0.000", "5.000"},
              {"0 to 1: four, the most", "1", "0.0000", "1.0000"}};
  for (const auto& r : rows) {
    enter(y2_edit, r.y2);
    EXPECT_EQ(shows(y1_edit), r.y1_shown) << r.range;
    EXPECT_EQ(shows(y2_edit), r.y2_shown) << r.range;
  }
  EXPECT_EQ(shows(x1_edit), "20.0000") << "x keeps the program's number format";
}

// A limit typed past the other end swaps with it on the real widgets
// (tests/gui); here, that a limit entered stops following the data.
TEST_F(AxesDialog, AnEnteredLimitNoLongerFollowsTheData) {
  TDrawView* v = view_with_dialog();
  v->display_flags.set(0x007);
  enter(y1_edit, "-20");
  EXPECT_EQ(v->display_flags.bits() & 0x007, 0x002u) << "y1 no longer follows the minimum or zero";
  enter(y2_edit, "0");
  EXPECT_EQ(v->display_flags.bits() & 0x007, 0u);
  EXPECT_DOUBLE_EQ(v->y2, 0.0);
  paint(v);
  EXPECT_DOUBLE_EQ(v->y1, -20.0) << "the next paint keeps the limits entered";
  EXPECT_DOUBLE_EQ(v->y2, 0.0);
}

}  // namespace
