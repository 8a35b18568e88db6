#include <string>

#include "view_bench.h"

namespace {

class AxesDialogEntries : public Views {};

TEST_F(AxesDialogEntries, ALimitTypedAsSomethingOtherThanANumberIsRefusedAndTheEditShowsTheLimitAgain) {
  TDrawView* v = open({peak("a.xdd")});
  plain_window(v);
  screen.user_command(command_id::edit_scales);
  const int dialog = screen.dialog_of_resource(4240);
  ASSERT_NE(dialog, 0);
  const struct {
    int edit;
    const char* typed;
    const char* says;
  } rows[] = {{4244, "abc", "x1: \"abc\" is not a number"},
              {4246, "35abc", "x2: \"35abc\" is not a number"},
              {4245, "", "y1: \"\" is not a number"},
              {4247, "nan", "y2: \"nan\" is not a number"}};
  for (const auto& r : rows) {
    const double before[4] = {v->x1, v->x2, v->y1, v->y2};
    const std::string shown_before = screen.control_text(dialog, r.edit);
    screen.user_types(dialog, r.edit, r.typed);
    screen.user_presses_enter(dialog, r.edit);
    EXPECT_EQ(shown(r.says), 1) << r.typed;
    EXPECT_EQ(v->x1, before[0]) << r.typed;
    EXPECT_EQ(v->x2, before[1]) << r.typed;
    EXPECT_EQ(v->y1, before[2]) << r.typed;
    EXPECT_EQ(v->y2, before[3]) << r.typed;
    EXPECT_EQ(screen.control_text(dialog, r.edit), shown_before) << "the edit shows the limit there is";
  }
  screen.user_types(dialog, 4246, " +3.5e1 ");
  screen.user_presses_enter(dialog, 4246);
  EXPECT_EQ(v->x2, 35.0) << "an ordinary number with blanks, a sign and an exponent is taken";
}

}  // namespace
