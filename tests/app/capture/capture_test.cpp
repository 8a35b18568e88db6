#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>
#include <vector>

#include "app/capture/capture_as_txt_3.h"
#include "app/shell/menu_commands.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "xrd/chain/xy_yobs_4.h"
#include "../workbench_fixture.h"

namespace {

namespace fs = std::filesystem;
using platform_types::mouse_action;
using platform_types::mouse_button;
using names = std::set<std::string>;

class Capture : public Workbench {
 protected:
  // A scan with step 0.5; without ordinates given, 30 rising ones.
  assoc_class* load(const std::string& name, double start, std::vector<double> ys = {}) {
    if (ys.empty())
      for (int i = 0; i < 30; ++i) ys.push_back(100 + 10 * i);
    std::ofstream f(dir / name);
    f << std::setprecision(12) << "A test scan\n" << start << " 0.5 " << start + 0.5 * (ys.size() - 1) << "\n1 1 1.5406\n";
    for (double y : ys) f << y << "\n";
    f.close();
    return session->load_file((dir / name).string());
  }
  // The focused graph view, showing the files over [x1, x2].
  TDrawView* view_of(std::vector<assoc_class*> shown, double x1, double x2) {
    TDrawView* v = app->new_graph_view();
    for (assoc_class* f : shown) v->add_file(f);
    v->show_all();
    v->x1 = x1;
    v->x2 = x2;
    v->recompute_scale();
    EXPECT_EQ(view_list(*app)->focused(), v);
    return v;
  }
  static xy_data_3* yobs(assoc_class* file) { return dynamic_cast<xy_data_3*>(find(*file, "xy_yobs")); }
  static std::string path_of(assoc_class* file) { return find(*file, "xDdd_path_name")->get_text(); }
  assoc_class* capture(assoc_class* file) { return find(*app, "capture")->execute_with(yobs(file)); }
};

TEST_F(Capture, ReportPadsEveryFieldAndLeavesAShorterCurveBlank) {
  assoc_class* a = load("a.xdd", 20, {1, 2, 3, 4, 5, 6, 7, 8});
  assoc_class* b = load("b.xdd", 21.5, {10, 20, 30, 40, 50, 60, 70, 80});
  // The view's range widened by a point on each side: 5 points of a, 3 of b.
  EXPECT_EQ(capture_as_txt_3::report_text(*view_of({a, b}, 21, 22)),
            "a.xdd                     b.xdd                     \n"
            "x            Yobs         x            Yobs         \n"
            "20.5000      2.0000       21.5000      10.0000      \n"
            "21.0000      3.0000       22.0000      20.0000      \n"
            "21.5000      4.0000       22.5000      30.0000      \n"
            "22.0000      5.0000                                 \n"
            "22.5000      6.0000                                 \n");
}

TEST_F(Capture, ReportKeepsABlankAfterAFieldTooLongForItsColumn) {
  assoc_class* file = load("a_scan_with_a_long_name.xdd", 20, {123456789, 1, 1, 1});
  const std::string text = capture_as_txt_3::report_text(*view_of({file}, 20, 21.5));
  EXPECT_EQ(text.rfind("a_scan_with_a_long_name.xdd " + std::string(13, ' ') + "\n", 0), 0u) << "a long name";
  EXPECT_NE(text.find("\n20.0000      123456792.0000 \n"), std::string::npos) << "a long number";
}

TEST_F(Capture, ReportCommandAsksForATxtFileOnlyWhenThereIsSomethingToReport) {
  assoc_class* file = load("a.xdd", 20);
  screen.user_command(4246);
  TDrawView* view = view_of({file}, 40, 50);
  screen.user_command(4246);
  EXPECT_TRUE(screen.file_requests().empty()) << "no view, then no curve in its range: nothing is asked";
  view->x2 = 22;
  screen.queue_file_cancel();
  screen.user_command(4246);
  screen.queue_files({(dir / "report.TXT").string()});
  screen.user_command(4246);
  ASSERT_EQ(screen.file_requests().size(), 2u);
  EXPECT_EQ(screen.file_requests()[1].caption, "Save Report as");
  EXPECT_EQ(screen.file_requests()[1].default_extension, "TXT");
  EXPECT_EQ(contents(dir / "report.TXT"), capture_as_txt_3::report_text(*view));
  EXPECT_EQ(names_in(dir), (names{"a.xdd", "report.TXT"})) << "the cancelled dialog wrote nothing";
}

TEST_F(Capture, AReportThatCannotBeWrittenSaysWhereAndWhyAndLeavesNothing) {
  TDrawView* view = view_of({load("a.xdd", 20)}, 20, 22);
  fs::create_directory(dir / "taken.TXT");
  const std::string missing = "the folder " + (dir / "none").string() + " does not exist";
  for (const auto& [what, path, reason] : {std::tuple{"a missing folder", dir / "none" / "r.TXT", missing},
                                           std::tuple{"a folder in the way", dir / "taken.TXT", std::string("it is a folder")}}) {
    EXPECT_FALSE(capture_as_txt_3::write_report(*view, path.string())) << what;
    EXPECT_EQ(shown(path.string() + ": Cannot write file: " + reason), 1) << what;
    EXPECT_EQ(names_in(dir), (names{"a.xdd", "taken.TXT"})) << what << " leaves no file";
  }
}

TEST_F(Capture, APressOnACurveInCaptureModeMakesAChangedCroppedFileInTheView) {
  assoc_class* source = load("scan.xdd", 20);
  TDrawView* view = view_of({source}, 22, 28);  // 13 points
  view->child_or_create("cAapt");
  screen.user_paints(view->frame());
  const int px = view->x_pixel(25), py = view->y_pixel(yobs(source)->y[10]);
  screen.queue_files({(dir / "cut.xdd").string()});
  screen.user_mouse(view->frame(), {mouse_action::move, mouse_button::none, px, py});
  screen.user_mouse(view->frame(), {mouse_action::press, mouse_button::left, px, py});

  ASSERT_EQ(file_count(), 2);
  EXPECT_EQ(screen.file_requests().at(0).file, (dir / "scan.yobs.xdd").string()) << "the curve's kind names it";
  assoc_class* made = files()->child(1);
  EXPECT_EQ(path_of(made), (dir / "cut.xdd").string());
  EXPECT_EQ(yobs(made)->n, 13);
  EXPECT_DOUBLE_EQ(yobs(made)->x1, 22);
  EXPECT_EQ(yobs(source)->n, 30) << "the source keeps its profile";
  EXPECT_TRUE(made->is_changed());
  EXPECT_EQ(view->files(), (std::vector<assoc_class*>{source, made}));
  EXPECT_EQ(std::count_if(screen.control_buttons().begin(), screen.control_buttons().end(),
                          [](const platform_types::gadget& g) { return g.id >= 4010 && g.bitmap == 4100; }),
            2)
      << "each file has its button, ticked";
  EXPECT_EQ(names_in(dir), names{"scan.xdd"}) << "nothing is written";

  screen.user_command(4248);
  screen.user_paints(view->frame());
  auto* chain = dynamic_cast<xy_yobs_4*>(yobs(made));
  EXPECT_EQ(chain->ft_input_axis.n, 13) << "its transform is its own";
  EXPECT_GE(chain->origin_index(), 0.0) << "and so is its origin, placed on its own points";
  EXPECT_LE(chain->origin_index(), 12.0);
  std::set<std::string> seen;
  for (int i = 0; i < made->child_count(); ++i)
    EXPECT_TRUE(seen.insert(made->child(i)->display_name()).second)
        << made->child(i)->display_name() << " is there twice: one copy would hide the other";
  assoc_class* save = find(*app, "save_xdd_as");
  save->set_object(made);
  screen.queue_files({(dir / "cut.xdd").string()});
  EXPECT_NE(save->execute(), nullptr) << "it is saved like any loaded file";
}

TEST_F(Capture, CaptureIsRefusedBeforeAnythingIsMade) {
  assoc_class* source = load("scan.xdd", 20);
  view_of({source}, 22, 28);
  for (const auto& [what, answer, message] : {std::tuple{"a cancelled dialog", 0, ""},
                                              std::tuple{"a path already loaded", 1, "already loaded"},
                                              std::tuple{"a full workbench", 2, "Maximum of 1"}}) {
    if (answer == 0) screen.queue_file_cancel();
    if (answer == 1) screen.queue_files({path_of(source)});
    find(*app, "mBax_num_files")->set_int(answer == 2 ? 1 : 32);
    EXPECT_EQ(capture(source), nullptr) << what;
    EXPECT_EQ(file_count(), 1) << what;
    if (*message) {
      EXPECT_NE(messages().back().find(message), std::string::npos) << what;
    }
  }
  EXPECT_EQ(screen.pending_answers(), 0u) << "a full workbench asks for no file";
}

TEST_F(Capture, AFileCapturedWithoutCroppingIsStillChanged) {
  assoc_class* source = load("scan.xdd", 20);
  for (const bool with_view : {true, false}) {
    // With a view: its range holds exactly the minimum of 10 points.
    TDrawView* view = with_view ? view_of({source}, 22, 26.5) : nullptr;
    screen.queue_files({(dir / (with_view ? "in_view.xdd" : "no_view.xdd")).string()});
    assoc_class* made = capture(source);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(yobs(made)->n, 30);
    EXPECT_TRUE(made->is_changed()) << "it exists only in memory";
    if (view) {
      EXPECT_EQ(shown("XRD File must have more than 10 points."), 1);
      EXPECT_NE(view->line_of(made), nullptr);
      app->close_all_views();
    }
  }
}

// Edit > Copy: the view's curves on the clipboard as a spreadsheet pastes
// them, tab-separated under one header row.
TEST_F(Capture, CopyPutsTheViewsCurvesOnTheClipboardAsTabSeparatedText) {
  screen.set_clipboard_text("kept");
  app->new_graph_view();
  screen.user_command(view_command::copy);
  EXPECT_EQ(screen.clipboard(), "kept") << "a view that shows nothing leaves the clipboard as it was";

  screen.queue_files({scan("a.xdd", 6), scan("b.xdd", 4)});
  screen.user_command(command_id::load_data);
  ASSERT_EQ(file_count(), 2);
  screen.user_command(view_command::copy);
  std::istringstream lines(screen.clipboard());
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "a.xdd x\ta.xdd Yobs\tb.xdd x\tb.xdd Yobs");
  // The report's numbers, row by row; the shorter scan leaves its cells empty.
  std::getline(lines, line);
  EXPECT_EQ(line, "20.0000\t100.0000\t20.0000\t100.0000");
  int rows = 1;
  while (std::getline(lines, line)) {
    ++rows;
    if (rows == 6) {
      EXPECT_EQ(line, "22.5000\t105.0000\t\t") << "b has run out";
    }
  }
  EXPECT_EQ(rows, 6);
}

}  // namespace
