// The legend's entries, the patterns that tell a file's curves apart, the
// axes' plot area and the look kept between runs, on the scripted platform.
#include <algorithm>
#include <string>
#include <vector>

#include "view_bench.h"
#include "app/platform/command_ids.h"
#include "app/views/curve_family.h"
#include "app/views/figure_export.h"
#include "app/views/view_look.h"

namespace {

const std::string demo = XRDF_SOURCE_DIR "/resources/demo/size_strain/";

std::vector<std::string> names_of(const std::vector<legend_entry>& entries) {
  std::vector<std::string> out;
  for (const legend_entry& e : entries) out.push_back(e.name);
  return out;
}

class LegendAndAxes : public Views {
 protected:
  // Both copper orders and their references, each order tied to its own.
  TDrawView* open_copper() {
    std::vector<std::string> paths;
    for (const char* n : {"cu111.xdd", "cu111_ref.xdd", "cu222.xdd", "cu222_ref.xdd"}) paths.push_back(demo + n);
    TDrawView* v = open(paths);
    for (const auto& [sample, reference] : {std::pair{0, 1}, std::pair{2, 3}}) {
      const char* path = find(*files()->child(reference), "xDdd_path_name")->get_text();
      find(*files()->child(sample), "ref_prof")->set_text_with_limits(path);
    }
    return v;
  }
};

TEST_F(LegendAndAxes, TheLegendListsEachCurveDrawnByFileAndFamilyAndFiguresListTheSame) {
  const struct {
    const char* what;
    std::vector<int> commands;
    std::vector<std::string> names;
  } rows[] = {
      {"the profiles: every file",
       {},
       {"cu111.xdd observed", "cu111_ref.xdd observed", "cu222.xdd observed", "cu222_ref.xdd observed"}},
      {"A(L): the samples and the size part, no reference",
       {view_command::show_coefficients},
       {"cu111.xdd A(L)", "cu222.xdd A(L)", "size part A^S(L)"}},
  };
  for (const auto& r : rows) {
    while (file_count() > 0) files()->delete_child(files()->child(0));
    TDrawView* v = open_copper();
    for (int id : r.commands) screen.user_command(id);
    paint(v);
    EXPECT_EQ(names_of(v->drawn_curves()), r.names) << r.what;
    figure_export figure(*v);
    EXPECT_EQ(figure.legend(), v->drawn_curves()) << r.what << ": a figure's legend is the screen's";
  }
}

TEST_F(LegendAndAxes, EachFamilyOfAFilesCurvesHasAPatternOfItsOwn) {
  std::vector<platform_types::pen_style> seen;
  for (const char* family : {"yobs", "deconv", "inv", "re", "im", "mod", "br_re", "br_im", "br_mod"}) {
    const curve_family* f = curve_family::of(family);
    ASSERT_NE(f, nullptr) << family;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), f->style), 0) << family << " shares its pattern";
    seen.push_back(f->style);
  }
  EXPECT_EQ(curve_family::of("yobs")->style, platform_types::pen_style::solid);
  EXPECT_EQ(curve_family::of("deconv")->style, platform_types::pen_style::dash);
  EXPECT_EQ(curve_family::of("inv")->style, platform_types::pen_style::dot);
  EXPECT_EQ(curve_family::of("y_for_zero"), nullptr) << "the markers are handles, not curves";

  // The transform's real part of a file is painted dash-dotted in its colour.
  TDrawView* v = open({peak("a.xdd", 10.0)});
  screen.user_command(view_command::show_transform_re_im);
  const std::vector<std::string> calls = paint(v);
  EXPECT_NE(std::find(calls.begin(), calls.end(), "pen 255 255 0 1 dash_dot"), calls.end());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "pen 255 255 0 1 dash_dot_dot"), calls.end());
}

TEST_F(LegendAndAxes, WithAxesThePlotShrinksByTheirMarginsAndPressesMapInsideIt) {
  screen.settings[view_look::axes_key] = "1";
  view_look::load(screen);
  TDrawView* v = open({peak("a.xdd")});
  plain_window(v);
  screen.user_resizes(v->frame(), 600, 400);
  const std::vector<std::string> calls = paint(v);
  EXPECT_GT(v->left, 10);
  EXPECT_GT(v->top, 5);
  EXPECT_LT(v->right, 599);
  EXPECT_LT(v->bottom, 399);
  const auto captioned = [](const std::string& c) { return c.find("2θ (deg)") != std::string::npos; };
  EXPECT_NE(std::find_if(calls.begin(), calls.end(), captioned), calls.end()) << "the x caption";
  // The plot's edges hold the limits; a press at the plot's middle sets x1
  // to the middle of the x range.
  EXPECT_EQ(v->x_pixel(v->x1), v->left);
  EXPECT_EQ(v->x_pixel(v->x2), v->right);
  EXPECT_EQ(v->y_pixel(v->y1), v->bottom);
  EXPECT_EQ(v->y_pixel(v->y2), v->top);
  const double middle = (v->x1 + v->x2) / 2;
  press(v, button::left, (v->left + v->right) / 2, v->top + 5);
  EXPECT_NEAR(v->x1, middle, 0.05);
}

TEST_F(LegendAndAxes, TheViewMenuChoicesAreCheckedKeptAndReadAtTheNextStart) {
  TDrawView* v = open({peak("a.xdd")});
  const struct {
    int id;
    const char* key;
  } rows[] = {{view_command::axes, view_look::axes_key},
              {view_command::legend, view_look::legend_key},
              {view_command::light_background, view_look::light_key}};
  for (const auto& r : rows) {
    platform_types::command_state before;
    ASSERT_TRUE(v->enabler(r.id, before)) << r.key;
    screen.user_command(r.id);
    platform_types::command_state after;
    v->enabler(r.id, after);
    EXPECT_NE(before.checked, after.checked) << r.key;
    EXPECT_EQ(screen.settings[r.key], after.checked ? "1" : "0") << r.key;
  }
  // The fixture started with axes and legend off, the background black.
  view_look::current() = view_look{};
  app->init_main_window();
  EXPECT_TRUE(view_look::current().axes);
  EXPECT_TRUE(view_look::current().legend);
  EXPECT_TRUE(view_look::current().light);
}

}  // namespace
