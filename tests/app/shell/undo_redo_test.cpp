// Edit > Undo and Redo on the scripted platform: every edit of a loaded
// file's data or options, taken back and done again, leaves the files as a
// saved project and their observed curves show them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "../views/view_bench.h"
#include "app/report/inp_data_id_lb_3.h"
#include "app/report/input_vw_3.h"
#include "app/shell/edit_history.h"
#include "xrd/chain/fft_zero_3.h"
#include "xrd/chain/show_bits.h"
#include "xrd/curves/xy_data_3.h"

namespace {

const std::string demo = XRDF_SOURCE_DIR "/resources/demo/size_strain/";

class UndoRedo : public Views {
 public:
  // The copper 111 line and its reference, loaded into one view, the line
  // tied to the reference.
  UndoRedo() {
    screen.queue_files({demo + "cu111.xdd", demo + "cu111_ref.xdd"});
    screen.user_command(command_id::load_data);
    view = focused();
    sample = file("cu111.xdd");
    reference = file("cu111_ref.xdd");
    if (sample) find(*sample, "ref_prof")->set_text_with_limits((demo + "cu111_ref.xdd").c_str());
    settle();
  }

  assoc_class* file(const std::string& name) { return loaded(demo + name); }
  assoc_class* loaded(const std::string& path) {
    for (int i = 0; i < file_count(); ++i)
      if (get_text_named(*files()->child(i), "xDdd_path_name") == path) return files()->child(i);
    return nullptr;
  }

  // What the workbench does between two gestures: the views are painted,
  // then the application has idle time.
  void settle() {
    for (TDrawView* v : views()) paint(v);
    screen.user_idles();
  }

  // The project as Save Project As writes it, and each file's observed
  // curve, which a drag moves but no project holds.
  std::string saved() {
    settle();
    const auto path = dir / ("p" + std::to_string(++saves_) + ".PRJ");
    std::ostringstream err;
    EXPECT_TRUE(session->save_project(path.string(), err)) << err.str();
    std::string text = contents(path);
    for (int i = 0; i < file_count(); ++i) {
      auto* curve = dynamic_cast<xy_data_3*>(find(*files()->child(i), "xy_yobs"));
      char axis[96];
      std::snprintf(axis, sizeof axis, "\ncurve %.9g %.9g:", curve->x1, curve->x2);
      text += axis;
      for (int k = 0; k < curve->y.count(); ++k) text += " " + std::to_string(curve->y.data()[k]);
    }
    return text;
  }

  platform_types::command_state menu(int id) { return screen.user_enabler(id); }
  std::string undo_text() { return menu(command_id::undo).text; }
  std::string redo_text() { return menu(command_id::redo).text; }
  int project_dirty() { return get_int_named(*app, "set_proj_dirty"); }

  // --- the edits, as a person makes them ---

  // Presses on the highest point of the file's curve and drags it by
  // (dx, dy) pixels in the mode given ("mAanip_x", "mAanip_y").
  void drag_curve(assoc_class* of, const char* mode, int dx, int dy) {
    screen.user_focuses(view->frame());
    show_only({of});
    view->child_or_create(mode);
    auto* curve = dynamic_cast<xy_data_3*>(find(*of, "xy_yobs"));
    const float* y = curve->y.data();
    const int top = static_cast<int>(std::max_element(y, y + curve->y.count()) - y);
    double height = y[top];
    if (view->show_bits() & show_bits::counts_per_second) height /= get_double_named(*of, "tBime");
    const int px = view->x_pixel(curve->x_of(curve->y.base() + top));
    const int py = view->y_pixel(height);
    press(view, button::left, px, py);
    ASSERT_TRUE(view->dragging()) << "the press took the curve";
    move(view, px + dx / 2, py + dy / 2);
    move(view, px + dx, py + dy);
    release(view, button::left, px + dx, py + dy);
    view->delete_child_named(mode);
    std::vector<assoc_class*> every;
    for (int i = 0; i < file_count(); ++i) every.push_back(files()->child(i));
    show_only(every);
  }

  // Presses on the sample's origin marker, a quarter up the view, and
  // drags it by `dx` pixels.
  void drag_origin(int dx) {
    screen.user_focuses(view->frame());
    show_only({sample});
    view->child_or_create("mAanip_x");
    const int px = view->x_pixel(dynamic_cast<fft_zero_3*>(find(*sample, "fft_zero"))->x_value());
    const int py = view->y_pixel(view->y1 + 0.25 * (view->y2 - view->y1));
    press(view, button::left, px, py);
    ASSERT_TRUE(view->dragging()) << "the press took the marker";
    move(view, px + dx, py);
    release(view, button::left, px + dx, py);
    view->delete_child_named("mAanip_x");
    show_only({sample, reference});
  }

  // The view shows these files, all of each: a press finds the one curve.
  void show_only(const std::vector<assoc_class*>& shown) {
    view->delete_all_lines();
    for (assoc_class* f : shown) view->add_file(f);
    view->lines_changed();
    view->show_all();
    paint(view);
  }

  // Show Options, then a click on the line of that text.
  void choose_option(const std::string& line) {
    screen.user_command(command_id::show_options);
    const platform::dialog_id d = screen.dialog_of_resource(4148);
    const std::vector<std::string>& lines = screen.list_lines(d, 4149);
    const auto at = std::find(lines.begin(), lines.end(), line);
    ASSERT_NE(at, lines.end()) << "the Options dialog offers " << line;
    screen.user_selects(d, 4149, static_cast<int>(at - lines.begin()));
  }

  // The report editor on one of its reports (0: the Fourier options, 1:
  // the left tails).
  input_vw_3* report_editor(int report = 0) {
    find(*app, "input_vw")->execute();
    auto* editor = dynamic_cast<input_vw_3*>(find_existing(*app, "input_vw"));
    if (editor && editor->chosen() != report) screen.user_selects(editor->form(), report_control::templates, report);
    return editor;
  }
  const inp_data_id_lb_3* column(input_vw_3* editor, const std::string& field) {
    for (const auto& c : editor->columns())
      if (c->definition.name() == field) return c.get();
    return nullptr;
  }
  int row_of(input_vw_3* editor, assoc_class* of) {
    for (int r = 0; r < editor->row_count(); ++r)
      if (editor->row(r) == of) return r;
    return -1;
  }
  // Types `text` for the field of one row (a file, or its tail), or of
  // every row (`of` null, by a click on the column's title), and presses
  // Enter.
  void report_edit(const std::string& field, assoc_class* of, const std::string& text, int report = 0) {
    input_vw_3* editor = report_editor(report);
    ASSERT_NE(editor, nullptr);
    const inp_data_id_lb_3* c = column(editor, field);
    ASSERT_NE(c, nullptr) << "the report shows " << field;
    if (of)
      screen.user_selects(editor->form(), c->list_id, row_of(editor, of));
    else
      screen.user_clicks_control(editor->form(), c->title_id);
    screen.user_types(editor->form(), report_control::edit_line, text);
    screen.user_presses_enter(editor->form(), report_control::edit_line);
  }

  void command(int id) {
    screen.user_focuses(view->frame());
    screen.user_command(id);
  }

  TDrawView* view = nullptr;
  assoc_class* sample = nullptr;
  assoc_class* reference = nullptr;

 private:
  int saves_ = 0;
};

TEST_F(UndoRedo, EveryEditUndoneGivesBackTheSavedProjectAndRedoneGivesBackTheEditedOne) {
  ASSERT_TRUE(view && sample && reference);
  struct edit {
    const char* what;
    std::function<void(UndoRedo&)> prepare;  // a step of its own, before
    std::function<void(UndoRedo&)> make;
    std::string menu;  // what Undo says afterwards
  };
  // The editor makes the fields it shows, with their defaults, when it
  // opens: the project saved before the edit is saved with it open.
  const auto open_fourier = [](UndoRedo& t) { t.report_editor(0); };
  const std::vector<edit> edits = {
      {"a drag of the observed curve along x", {},
       [](UndoRedo& t) { t.drag_curve(t.sample, "mAanip_x", 30, 0); }, "&Undo drag of cu111.xdd"},
      {"a drag of the reference's curve up", {},
       [](UndoRedo& t) { t.drag_curve(t.reference, "mAanip_y", 0, -25); }, "&Undo drag of cu111_ref.xdd"},
      {"a drag of the origin's marker", {}, [](UndoRedo& t) { t.drag_origin(-15); }, "&Undo drag of cu111.xdd"},
      {"a transform length chosen in the options", {},
       [](UndoRedo& t) { t.choose_option("Transform length x4"); }, "&Undo options of 2 files"},
      {"the origin's rule chosen in the options", {},
       [](UndoRedo& t) { t.choose_option("Origin where B(L) is smallest"); }, "&Undo options of 2 files"},
      {"an origin typed in the report editor", open_fourier,
       [](UndoRedo& t) { t.report_edit("fft_zero", t.sample, "43.31"); }, "&Undo report edit of cu111.xdd"},
      {"a Wiener constant given to every file at once", open_fourier,
       [](UndoRedo& t) { t.report_edit("fBft_wiener", nullptr, "0.05"); }, "&Undo report edit of 2 files"},
      {"a tail switched on in the report editor", [](UndoRedo& t) { t.report_editor(1); },
       [](UndoRedo& t) { t.report_edit("eBxtr_a2_use", find(*t.sample, "ex_l_consts"), "1", 1); },
       "&Undo report edit of cu111.xdd"},
      {"the automatic frequency limit", {},
       [](UndoRedo& t) { t.command(view_command::automatic_limit); }, "&Undo automatic limit of cu111.xdd"},
      {"size and strain placing the origin where B(L) is smallest",
       [](UndoRedo& t) { t.choose_option("Origin where B(L) is smallest"); },
       [](UndoRedo& t) { t.command(view_command::size_strain); }, "&Undo size and strain of cu111.xdd"},
      {"the reference taken away in the report editor", open_fourier,
       [](UndoRedo& t) { t.report_edit("ref_prof", t.sample, ""); }, "&Undo report edit of cu111.xdd"},
  };
  for (const edit& e : edits) {
    SCOPED_TRACE(e.what);
    if (e.prepare) e.prepare(*this);
    const std::string before = saved();
    const std::size_t steps = app->history().undo_count();
    e.make(*this);
    EXPECT_TRUE(messages().empty()) << messages().front();
    EXPECT_EQ(app->history().undo_count(), steps + 1) << "the edit is one step";
    EXPECT_EQ(undo_text(), e.menu);
    const std::string after = saved();
    ASSERT_NE(after, before) << "the edit changed something";

    screen.user_command(command_id::undo);
    EXPECT_EQ(saved(), before) << "undone";
    EXPECT_EQ(redo_text(), "Re&do" + e.menu.substr(5));
    screen.user_command(command_id::redo);
    EXPECT_EQ(saved(), after) << "redone";
    screen.user_command(command_id::undo);
    EXPECT_EQ(saved(), before) << "undone again";
    screen.user_command(command_id::redo);
    EXPECT_EQ(saved(), after) << "and redone again";
    EXPECT_EQ(undo_text(), e.menu);
  }
}

TEST_F(UndoRedo, TheMenuNamesTheEditAndItsFileAndIsPlainAndDisabledWithNothingToDo) {
  ASSERT_TRUE(view && sample && reference);
  const struct {
    int id;
    const char* plain;
  } items[] = {{command_id::undo, "&Undo"}, {command_id::redo, "Re&do"}};
  for (const auto& i : items) {
    EXPECT_FALSE(menu(i.id).enabled) << i.plain << " with nothing done";
    EXPECT_EQ(menu(i.id).text, "") << i.plain << " keeps the menu's own text";
  }
  report_editor(0);
  report_edit("fBft_wiener", nullptr, "0.1");
  EXPECT_EQ(undo_text(), "&Undo report edit of 2 files");
  drag_curve(reference, "mAanip_y", 0, -10);
  EXPECT_EQ(undo_text(), "&Undo drag of cu111_ref.xdd") << "the last edit first";
  screen.user_command(command_id::undo);
  EXPECT_EQ(undo_text(), "&Undo report edit of 2 files");
  EXPECT_EQ(redo_text(), "Re&do drag of cu111_ref.xdd");
  screen.user_command(command_id::undo);
  EXPECT_FALSE(menu(command_id::undo).enabled);
  EXPECT_EQ(redo_text(), "Re&do report edit of 2 files");

  // A name with an ampersand shows it, not an access key.
  const std::string odd = (dir / "Fe&Co.xdd").string();
  std::filesystem::copy_file(demo + "cu111.xdd", odd);
  view = open({odd});
  settle();
  drag_curve(loaded(odd), "mAanip_y", 0, -10);
  EXPECT_EQ(undo_text(), "&Undo drag of Fe&&Co.xdd");
}

TEST_F(UndoRedo, UndoAndRedoMarkTheFileAndTheProjectChangedAsTheEditDidAndTakeNoMarkAway) {
  ASSERT_TRUE(view && sample && reference);
  report_editor(0);
  saved();  // now there is a project, which an edit marks modified
  sample->set_changed(false);
  report_edit("fft_zero", sample, "43.31");
  ASSERT_TRUE(sample->is_changed());
  ASSERT_EQ(project_dirty(), 1);
  for (int id : {command_id::undo, command_id::redo}) {
    saved();
    sample->set_changed(false);  // as saving the file would leave it
    ASSERT_EQ(project_dirty(), 0);
    screen.user_command(id);
    EXPECT_TRUE(sample->is_changed()) << id;
    EXPECT_EQ(project_dirty(), 1) << id;
    EXPECT_FALSE(reference->is_changed()) << id << ": the file the edit left alone";
  }

  // A mark the file had before stays after an undo of an edit of another
  // file, and the other file is marked as its edit marked it.
  reference->set_changed(false);
  drag_curve(reference, "mAanip_y", 0, -10);
  ASSERT_TRUE(reference->is_changed());
  reference->set_changed(false);
  screen.user_command(command_id::undo);
  EXPECT_TRUE(sample->is_changed());
  EXPECT_TRUE(reference->is_changed());
}

TEST_F(UndoRedo, ANewEditDropsWhatWasUndoneAndTheOldestStepsGoPastAHundred) {
  ASSERT_TRUE(view && sample && reference);
  report_editor(0);
  report_edit("fBft_wiener", nullptr, "0.1");
  screen.user_command(command_id::undo);
  ASSERT_TRUE(menu(command_id::redo).enabled);
  drag_curve(sample, "mAanip_y", 0, -10);
  EXPECT_FALSE(menu(command_id::redo).enabled) << "the undone report edit is gone";
  EXPECT_EQ(undo_text(), "&Undo drag of cu111.xdd");
  screen.user_command(command_id::undo);
  EXPECT_FALSE(menu(command_id::undo).enabled);

  for (int i = 1; i <= 105; ++i) report_edit("fBft_wiener", sample, std::to_string(i));
  EXPECT_EQ(app->history().undo_count(), edit_history::most_steps);
  while (menu(command_id::undo).enabled) screen.user_command(command_id::undo);
  EXPECT_EQ(find(*sample, "fBft_wiener")->get_double(), 5.0) << "the first five steps went";
}

TEST_F(UndoRedo, TheStepsOfAnUnloadedFileAreDroppedAndTheOthersStay) {
  ASSERT_TRUE(view && sample && reference);
  report_editor(0);
  const std::string origin = find(*sample, "fft_zero")->get_text();
  report_edit("fft_zero", sample, "43.31");
  drag_curve(reference, "mAanip_y", 0, -10);
  report_edit("fBft_wiener", reference, "0.2");
  screen.user_command(command_id::undo);
  ASSERT_EQ(redo_text(), "Re&do report edit of cu111_ref.xdd");
  session->unload_file(reference);
  ASSERT_EQ(file_count(), 1);
  EXPECT_FALSE(menu(command_id::redo).enabled) << "its undone step went";
  EXPECT_EQ(undo_text(), "&Undo report edit of cu111.xdd") << "and its drag";
  screen.user_command(command_id::undo);
  EXPECT_EQ(find(*sample, "fft_zero")->get_text(), origin);
  EXPECT_FALSE(menu(command_id::undo).enabled);
  EXPECT_EQ(redo_text(), "Re&do report edit of cu111.xdd");
}

TEST_F(UndoRedo, AnUndoneChoiceInTheOptionsIsNoLongerShownChosenSoThatItCanBeChosenAgain) {
  ASSERT_TRUE(view && sample && reference);
  choose_option("Transform length x4");
  const platform::dialog_id d = screen.dialog_of_resource(4148);
  ASSERT_EQ(screen.list_selection(d, 4149).size(), 1u);
  screen.user_command(command_id::undo);
  EXPECT_EQ(find(*sample, "fBreq_doubler")->get_int(), 1);
  EXPECT_TRUE(screen.list_selection(d, 4149).empty());
  choose_option("Transform length x4");
  EXPECT_EQ(find(*sample, "fBreq_doubler")->get_int(), 2);
  EXPECT_EQ(undo_text(), "&Undo options of 2 files");
}

TEST_F(UndoRedo, ALoadAndACaptureAreNoStepsButTheFirstDragOfTheCapturedFileIsOne) {
  ASSERT_TRUE(view && sample && reference);
  EXPECT_FALSE(menu(command_id::undo).enabled) << "loading is no edit";
  screen.user_focuses(view->frame());
  show_only({sample});
  view->child_or_create("cAapt");
  auto* curve = dynamic_cast<xy_data_3*>(find(*sample, "xy_yobs"));
  const int px = view->x_pixel(curve->x_of(curve->y.base() + 10));
  const int py = view->y_pixel(curve->y.data()[10] / ((view->show_bits() & show_bits::counts_per_second)
                                                           ? get_double_named(*sample, "tBime")
                                                           : 1.0));
  const std::string cut = (dir / "cut.xdd").string();
  screen.queue_files({cut});
  press(view, button::left, px, py);
  view->delete_child_named("cAapt");
  ASSERT_NE(loaded(cut), nullptr) << "the capture made a file";
  EXPECT_FALSE(menu(command_id::undo).enabled) << "a capture makes a new file, no step";

  // At once, before any idle time.
  auto* made = dynamic_cast<xy_data_3*>(find(*loaded(cut), "xy_yobs"));
  const double x1 = made->x1;
  drag_curve(loaded(cut), "mAanip_x", 20, 0);
  ASSERT_NE(made->x1, x1);
  EXPECT_EQ(undo_text(), "&Undo drag of cut.xdd");
  screen.user_command(command_id::undo);
  EXPECT_EQ(made->x1, x1);
}

}  // namespace
