// Edit > Undo and Redo with the real widgets: a drag with the mouse, a
// choice in the Options dialog, Enter in the report editor and a menu
// command, each taken back and done again through the Edit menu, whose
// items say what they will do.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QListWidget>

#include "app/platform/command_ids.h"
#include "app/report/inp_data_id_lb_3.h"
#include "app/report/input_vw_3.h"
#include "gui_fixture.h"
#include "xrd/chain/show_bits.h"
#include "xrd/curves/xy_data_3.h"

namespace {

const std::string demo = XRDF_SOURCE_DIR "/resources/demo/size_strain/";

class UndoRedoMenu : public Gui {
 public:
  UndoRedoMenu() {
    load({demo + "cu111.xdd", demo + "cu111_ref.xdd"});
    view = focused();
    if (file(0)) find(*file(0), "ref_prof")->set_text_with_limits((demo + "cu111_ref.xdd").c_str());
    settle();
  }

  // The Edit menu's item as a person reads it, without its shortcut.
  std::string item(int id) {
    QAction* a = window().action(id);
    if (!a) return "no item";
    window().update_enablers(qobject_cast<QMenu*>(a->parent()));
    return a->text().section('\t', 0, 0).toStdString();
  }
  bool enabled(int id) {
    item(id);
    return window().action(id)->isEnabled();
  }

  // File > Save Project As, to a new file each time; the project's text and
  // the observed curves, which no project holds.
  std::string saved() {
    QTest::qWait(250);  // idle time: the views painted, the editor refreshed
    const std::string path = (dir / ("p" + std::to_string(++saves_) + ".prj")).string();
    if (saves_ > 1) screen->queued_yes_no.push_back(true);
    screen->queued_files.push_back({platform_types::file_answer::status::chosen, {path}});
    trigger(3155);
    std::ifstream f(path);
    std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    for (int i = 0; i < file_count(); ++i) {
      auto* curve = dynamic_cast<xy_data_3*>(find(*file(i), "xy_yobs"));
      text += "\ncurve " + std::to_string(curve->x1) + " " + std::to_string(curve->x2) + ":";
      for (int k = 0; k < curve->y.count(); ++k) text += " " + std::to_string(curve->y.data()[k]);
    }
    return text;
  }

  // A drag of the sample's curve by `dx` pixels along x, with the mouse.
  void drag_sample(int dx) {
    view->child_or_create("mAanip_x");
    find(*app, "set_cursors")->execute();
    auto* curve = dynamic_cast<xy_data_3*>(find(*file(0), "xy_yobs"));
    const float* y = curve->y.data();
    const int top = static_cast<int>(std::max_element(y, y + curve->y.count()) - y);
    double height = y[top];
    if (view->show_bits() & show_bits::counts_per_second) height /= get_double_named(*file(0), "tBime");
    const QPoint at(view->x_pixel(curve->x_of(curve->y.base() + top)), view->y_pixel(height));
    graph_view_widget* w = widget(view);
    hover(w, at);
    QTest::mousePress(w, Qt::LeftButton, {}, at);
    QTest::mouseEvent(QTest::MouseMove, w, Qt::NoButton, {}, at + QPoint(dx / 2, 0));
    QTest::mouseEvent(QTest::MouseMove, w, Qt::NoButton, {}, at + QPoint(dx, 0));
    QTest::mouseRelease(w, Qt::LeftButton, {}, at + QPoint(dx, 0));
    settle();
    view->delete_child_named("mAanip_x");
    find(*app, "set_cursors")->execute();
  }

  // A click on a line of the Options dialog.
  void choose_option(const QString& text) {
    trigger(command_id::show_options);
    dialog_window* options = dialog(4148);
    ASSERT_NE(options, nullptr);
    QListWidget* lines = options->list(4149);
    const QList<QListWidgetItem*> found = lines->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    QTest::mouseClick(lines->viewport(), Qt::LeftButton, {}, lines->visualItemRect(found.front()).center());
    settle();
  }

  // The origin of the sample typed into the open report editor, then Enter.
  void type_origin(input_vw_3* editor, const QString& text) {
    std::size_t origin = 0;
    while (origin < editor->columns().size() && editor->columns()[origin]->definition.name() != "fft_zero") ++origin;
    ASSERT_LT(origin, editor->columns().size());
    dialog_window* form = screen->dialog_widget(editor->form());
    QListWidget* cells = form->list(editor->columns()[origin]->list_id);
    QTest::mouseClick(cells->viewport(), Qt::LeftButton, {}, cells->visualItemRect(cells->item(0)).center());
    QLineEdit* line = form->line(report_control::edit_line);
    line->setFocus();
    line->selectAll();
    QTest::keyClicks(line, text);
    QTest::keyClick(line, Qt::Key_Return);
    settle();
  }

  TDrawView* view = nullptr;

 private:
  int saves_ = 0;
};

TEST_F(UndoRedoMenu, EachEditIsTakenBackAndDoneAgainThroughTheEditMenuWhichSaysWhatItWillDo) {
  ASSERT_NE(view, nullptr);
  EXPECT_FALSE(enabled(command_id::undo)) << "nothing to undo yet";
  EXPECT_EQ(item(command_id::undo), "&Undo");
  EXPECT_FALSE(enabled(command_id::redo));
  EXPECT_EQ(item(command_id::redo), "Re&do");

  auto* editor = dynamic_cast<input_vw_3*>(find(*app, "input_vw"));
  struct edit {
    const char* what;
    std::function<void()> make;
    std::string undo;
    bool in_the_editor = false;  // opened before: it makes the fields it shows
  };
  const std::vector<edit> edits = {
      {"a drag of the curve", [&] { drag_sample(40); }, "&Undo drag of cu111.xdd"},
      {"a transform length chosen", [&] { choose_option("Transform length x2"); }, "&Undo options of 2 files"},
      {"an origin typed in the report editor", [&] { type_origin(editor, "43.2"); },
       "&Undo report edit of cu111.xdd", true},
      {"the automatic frequency limit",
       [&] {
         screen->activate_frame(view->frame());
         settle();
         trigger(view_command::automatic_limit);
       },
       "&Undo automatic limit of cu111.xdd"},
  };
  for (const edit& e : edits) {
    SCOPED_TRACE(e.what);
    if (e.in_the_editor) {
      editor->execute();
      settle();
    }
    const std::string before = saved();
    e.make();
    EXPECT_TRUE(screen->messages.empty()) << screen->messages.front();
    EXPECT_EQ(item(command_id::undo), e.undo);
    EXPECT_FALSE(enabled(command_id::redo)) << "a new edit leaves nothing to redo";
    const std::string after = saved();
    ASSERT_NE(after, before) << "the edit changed something";

    trigger(command_id::undo);
    EXPECT_EQ(saved(), before) << "undone";
    EXPECT_EQ(item(command_id::redo), "Re&do" + e.undo.substr(5));
    trigger(command_id::redo);
    EXPECT_EQ(saved(), after) << "redone";
    EXPECT_EQ(item(command_id::undo), e.undo);
  }
}

}  // namespace

namespace {

TEST_F(UndoRedoMenu, CtrlZTakesADragBackAndCtrlShiftZDoesItAgainFromTheView) {
  ASSERT_NE(view, nullptr);
  const std::string before = saved();
  drag_sample(40);
  const std::string after = saved();
  ASSERT_NE(after, before);
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  QTest::keyClick(widget(view), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(saved(), before) << "Ctrl+Z in the view undid the drag";
  QTest::keyClick(widget(view), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(saved(), after) << "Ctrl+Shift+Z redid it";
  EXPECT_TRUE(screen->messages.empty());
}

}  // namespace
