// What a graph view keeps while a person works: no empty view is left by a
// load that brought nothing or by files that went, a switch between profiles
// and transforms finds each family's range again, and going through the
// files one by one keeps the zoom.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/views/for_dr_vw_3.h"
#include "xrd/plots/plot_3.h"
#include "view_bench.h"

namespace {

constexpr int show_modulus = 4248;
constexpr int show_yobs = 4251;

class ViewState : public Views {
 protected:
  // The titles of the open views, in the order they were made.
  std::vector<std::string> titles() {
    std::vector<std::string> out;
    for (TDrawView* v : views()) out.push_back(title(v));
    return out;
  }
  // How many frames the platform still shows.
  int frames_shown() {
    int n = 0;
    for (platform::frame_id f = 1; f <= screen.last_frame(); ++f)
      if (screen.frame(f) && screen.frame(f)->exists && !screen.frame(f)->text_frame) ++n;
    return n;
  }
  void expect_limits(TDrawView* v, double x1, double x2, const std::string& why) {
    EXPECT_NEAR(v->x1, x1, 1e-9) << why;
    EXPECT_NEAR(v->x2, x2, 1e-9) << why;
    const std::string shown = screen.status_text(2052);
    const std::string wanted = limits_text(x1, x2, 0, 0);
    EXPECT_EQ(shown.substr(0, shown.find("y(")), wanted.substr(0, wanted.find("y("))) << why << ": the status bar";
  }
};

using strings = std::vector<std::string>;

TEST_F(ViewState, ALoadDataThatBringsNothingLeavesNoEmptyView) {
  const std::string a = peak("a.xdd");
  open({a});
  const std::string not_a_scan = write("notes.xdd", "These are my notes\n");
  const struct {
    const char* what;
    std::function<void()> answer;
  } rows[] = {
      {"a cancelled dialog", [&] { screen.queue_file_cancel(); }},
      {"a dialog that failed", [&] { screen.queue_file_failure(); }},
      {"a file that is not a scan", [&] { screen.queue_files({not_a_scan}); }},
      {"a file loaded already", [&] { screen.queue_files({a}); }},
      {"a file that does not exist", [&] { screen.queue_files({(dir / "gone.xdd").string()}); }},
  };
  for (const auto& r : rows) {
    r.answer();
    screen.user_command(command_id::load_data);
    EXPECT_EQ(titles(), strings{"a.xdd,Yo"}) << r.what;
    EXPECT_EQ(frames_shown(), 1) << r.what << ": its frame is gone too";
  }
  screen.user_idles();
  EXPECT_EQ(file_count(), 1);
  ASSERT_NE(focused(), nullptr) << "the view that shows a file keeps the focus";
  EXPECT_EQ(title(focused()), "a.xdd,Yo");
}

TEST_F(ViewState, UnloadingTheLastFileOfAViewClosesItAndLeavesTheOthers) {
  TDrawView* both = open({peak("a.xdd"), peak("b.xdd")});
  open({peak("c.xdd")});
  ASSERT_EQ(titles(), (strings{"a.xdd ...,Yo", "c.xdd,Yo"}));
  // "Unload" in the popup of c's file button.
  screen.queue_popup(view_command::file_unload);
  screen.user_presses_button(view_command::first_file_button + 2, button::right);
  EXPECT_EQ(titles(), strings{"a.xdd ...,Yo"}) << "the view of c alone closes";
  EXPECT_EQ(frames_shown(), 1);
  screen.user_activates(both->frame());
  screen.queue_popup(view_command::file_unload);
  screen.user_presses_button(view_command::first_file_button, button::right);
  EXPECT_EQ(titles(), strings{"b.xdd,Yo"}) << "a view that still shows a file stays";
  screen.user_idles();
  EXPECT_EQ(file_count(), 1);
}

TEST_F(ViewState, LoadingAProjectLeavesNoViewOfTheOldFiles) {
  const std::string a = peak("a.xdd"), b = peak("b.xdd");
  open({a});
  open({b});
  const std::string project = (dir / "two.prj").string();
  screen.queue_files({project});
  app->command(command_id::save_project_as);
  ASSERT_TRUE(std::filesystem::exists(project));
  open({peak("c.xdd")});
  ASSERT_EQ(views().size(), 3u);

  const struct {
    const char* what;
    std::function<void()> before;
    strings titles;
  } rows[] = {
      {"its files load", [] {}, {"a.xdd,Yo", "b.xdd,Yo"}},
      {"none of its files load any more",
       [&] {
         std::filesystem::remove(a);
         std::filesystem::remove(b);
       },
       {}},
  };
  for (const auto& r : rows) {
    r.before();
    screen.queue_yes_no(yes_no_reply::yes);  // over write the project loaded
    screen.queue_files({project});
    app->command(command_id::load_project);
    screen.user_idles();
    EXPECT_EQ(titles(), r.titles) << r.what;
    EXPECT_EQ(frames_shown(), static_cast<int>(r.titles.size())) << r.what;
  }
}

TEST_F(ViewState, SwitchingBackToYobsRestoresTheProfilesRange) {
  TDrawView* v = open({peak("a.xdd")});
  plain_window(v);
  limits(v, 25.0, 35.0, 0.0, 100.0);
  screen.user_command(show_modulus);
  const double t1 = v->x1, t2 = v->x2;
  EXPECT_FALSE(t1 == 25.0 && t2 == 35.0) << "a transform is shown over its own axis";
  limits(v, t1, t1 + (t2 - t1) / 4, v->y1, v->y2);
  const double zoomed = v->x2;

  screen.user_command(show_yobs);
  expect_limits(v, 25.0, 35.0, "back to the profile, as it was zoomed");
  EXPECT_DOUBLE_EQ(v->y2, 100.0) << "with its y range";
  screen.user_command(show_modulus);
  expect_limits(v, t1, zoomed, "back to the transform, as it was zoomed");
  screen.user_command(4252);  // the inverse transform: a profile family
  expect_limits(v, 25.0, 35.0, "any profile family finds the profiles' range");
  screen.user_command(show_yobs);
  expect_limits(v, 25.0, 35.0, "a switch within the profiles keeps the range");
}

TEST_F(ViewState, ATransformWhoseAxisChangedMeanwhileIsShownWhole) {
  TDrawView* v = open({peak("a.xdd")});
  screen.user_command(show_modulus);
  const double lengths = v->x2;
  limits(v, v->x1, v->x1 + (v->x2 - v->x1) / 4, v->y1, v->y2);
  screen.user_command(show_yobs);
  // Without a wavelength the axis is in cycles per degree, not lengths.
  ASSERT_EQ(find(*files()->child(0), "lBamda")->set_text_with_limits("0"), 0);
  screen.user_command(show_modulus);
  double xlo = 0.0, xhi = 0.0;
  for (view_line_9* line : v->lines())
    for (plot_3* p : line->plots()) p->x_extent(*v, xlo, xhi);
  ASSERT_LT(xhi, lengths / 10) << "the axis is in cycles per degree now";
  EXPECT_DOUBLE_EQ(v->x2, xhi) << "all of the transform is shown";
}

TEST_F(ViewState, AViewOpenedOnATransformShowsAllOfTheProfileTheFirstTime) {
  auto* v = dynamic_cast<for_dr_vw_3*>(open({peak("a.xdd")}));
  ASSERT_NE(v, nullptr);
  v->show_families(0x020);
  screen.user_command(show_yobs);
  expect_limits(v, 20.0, 40.0, "the whole scan");
}

TEST_F(ViewState, GoingThroughTheFilesKeepsTheZoomWhereTheNextFileCoversIt) {
  // a and b span 20 to 40, c only 27 to 33; b stands 50 higher.
  std::vector<double> narrow;
  for (int i = 0; i <= 12; ++i) narrow.push_back(10.0 * i);
  TDrawView* v = open({peak("a.xdd"), peak("b.xdd", 50.0), profile("c.xdd", 27.0, 0.5, narrow)});
  plain_window(v);
  key(v, '`');
  ASSERT_EQ(title(v), "b.xdd,Yo");
  limits(v, 25.0, 35.0, 0.0, 100.0);

  key(v, '~');
  EXPECT_EQ(title(v), "a.xdd,Yo");
  expect_limits(v, 25.0, 35.0, "a covers the window: it stays");
  EXPECT_DOUBLE_EQ(v->y1, 0.0) << "y fits a's data in the window";
  EXPECT_DOUBLE_EQ(v->y2, 100.0);
  key(v, '`');
  EXPECT_EQ(title(v), "b.xdd,Yo");
  expect_limits(v, 25.0, 35.0, "b covers it too");
  EXPECT_DOUBLE_EQ(v->y1, 50.0) << "y fits b's data in the window";
  EXPECT_DOUBLE_EQ(v->y2, 150.0);
  key(v, '`');
  EXPECT_EQ(title(v), "c.xdd,Yo");
  expect_limits(v, 27.0, 33.0, "c does not cover it: all of c is shown");
  key(v, '`');
  EXPECT_EQ(title(v), "a.xdd,Yo");
  expect_limits(v, 27.0, 33.0, "a covers c's range: it stays");
}

}  // namespace
