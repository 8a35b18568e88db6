// A graph view answers each of its commands and keys through exactly one
// row of the shell's table, and the menu items it answers are usable only
// while a view has the focus.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/shell/view_commands.h"
#include "view_bench.h"

namespace {

TEST(ViewCommandTable, NoCommandIdOrKeyIsAnsweredByTwoRows) {
  std::map<int, int> ids;
  std::map<char, int> keys;
  for (const view_command_row& row : view_command_table()) {
    if (row.id != 0)
      for (int id = row.id; id <= std::max(row.id, row.last_id); ++id) ++ids[id];
    if (row.key != 0) ++keys[row.key];
  }
  for (const auto& [id, rows] : ids) EXPECT_EQ(rows, 1) << "command " << id;
  for (const auto& [key, rows] : keys) EXPECT_EQ(rows, 1) << "key " << key;
  EXPECT_EQ(ids.count(view_command::first_file_button) + ids.count(view_command::last_file_button), 2u)
      << "every file button has its row";
}

TEST_F(Views, TheViewsMenuItemsAreUsableOnlyWhileAViewHasTheFocus) {
  namespace vc = view_command;
  const struct {
    const char* item;
    int id;
  } rows[] = {
      {"Export Figure", vc::export_figure},
      {"Create xy Report", vc::xy_report},
      {"Copy", vc::copy},
      {"Automatic frequency limit", vc::automatic_limit},
      {"Size and Strain", vc::size_strain},
      {"Show all, this view", vc::show_all},
      {"Show all, all views", vc::show_all_views},
      {"Fix y2 at max, this view", vc::fix_y2_max},
      {"Fix y2 at max, all views", vc::fix_y2_max_all},
      {"Fix y1 at min, this view", vc::fix_y1_min},
      {"Fix y1 at min, all views", vc::fix_y1_min_all},
      {"Fix y1 to zero, this view", vc::fix_y1_zero},
      {"Fix y1 to zero, all views", vc::fix_y1_zero_all},
      {"Show FT(Yobs) Re, Im", vc::show_transform_re_im},
      {"Show FT(Yobs) Modulus", vc::show_transform_mod},
      {"Show FT(Yobs)/FT(Ref) Re, Im", vc::show_quotient_re_im},
      {"Show FT(Yobs)/FT(Ref) Modulus", vc::show_quotient_mod},
      {"Show Yobs", vc::show_observed},
      {"Show Inverse FT(Yobs)", vc::show_inverse},
      {"Show Deconvoluted Profile", vc::show_deconvoluted},
      {"Show Fourier coefficients A(L)", vc::show_coefficients},
  };
  for (const auto& r : rows) EXPECT_FALSE(screen.user_enabler(r.id).enabled) << r.item << " with no view";
  open({peak("a.xdd")});
  for (const auto& r : rows) EXPECT_TRUE(screen.user_enabler(r.id).enabled) << r.item << " with a view";
  EXPECT_TRUE(screen.user_enabler(vc::show_observed).checked) << "a new view shows the profile";
}

TEST_F(Views, ATakesTheTopToTheDataSShowsAllAndOtherKeysLeaveTheLimits) {
  TDrawView* v = open({peak("a.xdd")});
  plain_window(v);
  const struct {
    char key;
    double x1, x2, y1, y2;  // from the limits 25 to 30 and 5 to 500
  } rows[] = {
      {'a', 25.0, 30.0, 5.0, 100.0},
      {'s', 20.0, 40.0, 0.0, 100.0},
      {'q', 25.0, 30.0, 5.0, 500.0},
      {'S', 25.0, 30.0, 5.0, 500.0},
  };
  for (const auto& r : rows) {
    limits(v, 25.0, 30.0, 5.0, 500.0);
    key(v, r.key);
    EXPECT_EQ((std::vector<double>{v->x1, v->x2, v->y1, v->y2}), (std::vector<double>{r.x1, r.x2, r.y1, r.y2}))
        << "after '" << r.key << "'";
  }
}

}  // namespace
