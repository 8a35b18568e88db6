// The keys users of desktop programs know, pressed as a person presses them:
// each does what its menu item does, and the menus show them.
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPlainTextEdit>

#include "app/platform/command_ids.h"
#include "gui_fixture.h"

namespace {

class Keys : public Gui {
 protected:
  // Presses a key in the main window, as from anywhere in it.
  void press(QWidget* at, QKeySequence key) {
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    const QKeyCombination k = key[0];
    QTest::keyClick(at, k.key(), k.keyboardModifiers());
    settle();
  }
  void press(QKeySequence key) { press(&window(), key); }
  // A new text window, its editor holding `text`.
  QPlainTextEdit* new_text(const std::string& text) {
    trigger(command_id::new_txt);
    auto* sub = window().mdi()->activeSubWindow();
    auto* edit = sub ? qobject_cast<QPlainTextEdit*>(sub->widget()) : nullptr;
    if (edit) edit->setPlainText(QString::fromStdString(text));
    return edit;
  }
};

TEST_F(Keys, TheMenusShowEachCommandsKeyBesideItsTextAndKeepTheirAccessKeys) {
  const struct {
    const char* name;
    int id;
    const char* key;
  } rows[] = {{"Load Data opens with Ctrl+O", command_id::load_data, "Ctrl+O"},
              {"Save Project with Ctrl+S", command_id::save_project, "Ctrl+S"},
              {"Save Project As with Ctrl+Shift+S", command_id::save_project_as, "Ctrl+Shift+S"},
              {"Copy with Ctrl+C", view_command::copy, "Ctrl+C"},
              {"Export Figure with Ctrl+E", view_command::export_figure, "Ctrl+E"},
              {"Undo with Ctrl+Z", command_id::undo, "Ctrl+Z"},
              {"Redo with Ctrl+Shift+Z", command_id::redo, "Ctrl+Shift+Z"},
              {"Back with Alt+Left", view_command::zoom_back, "Alt+Left"},
              {"Forward with Alt+Right", view_command::zoom_forward, "Alt+Right"},
              {"Window Close with Ctrl+W", command_id::close_window, "Ctrl+W"},
              {"Window Next with Ctrl+Tab", command_id::next_window, "Ctrl+Tab"},
              {"Help with F1", command_id::help, "F1"},
              {"Exit with Ctrl+Q", command_id::exit, "Ctrl+Q"}};
  for (const auto& c : rows) {
    QAction* item = window().action(c.id);
    ASSERT_NE(item, nullptr) << c.name;
    const QStringList parts = item->text().split('\t');
    ASSERT_EQ(parts.size(), 2) << c.name << ": " << item->text().toStdString();
    EXPECT_EQ(parts[1], QKeySequence(QString(c.key)).toString(QKeySequence::NativeText)) << c.name;
    EXPECT_TRUE(parts[0].contains('&')) << c.name << ": the access key stays";
  }
  EXPECT_FALSE(window().action(command_id::load_project)->text().contains('\t')) << "a command without a key";

  // The key stays beside the item when its menu has opened and asked the
  // commands for their state.
  close_menu(open_menu("&File"));
  EXPECT_TRUE(window().action(command_id::load_data)->text().endsWith("\tCtrl+O"));
}

TEST_F(Keys, CtrlOAsksForDataFilesAndLoadsTheOnesChosen) {
  platform_types::file_answer a;
  a.result = platform_types::file_answer::status::chosen;
  a.paths = {line("a.xdd")};
  screen->queued_files.push_back(a);
  press(QKeySequence("Ctrl+O"));
  EXPECT_TRUE(screen->queued_files.empty()) << "the file dialog was asked";
  EXPECT_EQ(file_count(), 1);
  EXPECT_EQ(views().size(), 1u);
}

TEST_F(Keys, KeysOfCommandsThatAskForAFileAskOnlyWhileTheCommandCanAct) {
  const struct {
    const char* name;
    const char* key;
    bool with_view;  // a view with a file is open
    bool asks;
  } rows[] = {{"Ctrl+Shift+S asks where to save the project", "Ctrl+Shift+S", true, true},
              {"Ctrl+E asks where to export the view's figure", "Ctrl+E", true, true},
              {"Ctrl+E without a view asks nothing", "Ctrl+E", false, false},
              {"Ctrl+O asks for files with no view open", "Ctrl+O", false, true}};
  for (const auto& c : rows) {
    if (c.with_view && views().empty()) load({line("a.xdd")});
    if (!c.with_view)
      while (!views().empty()) {
        screen->close_frame(views().front()->frame());
        settle();
      }
    screen->queued_files = {platform_types::file_answer{}};  // cancelled
    press(QKeySequence(QString(c.key)));
    EXPECT_EQ(screen->queued_files.empty(), c.asks) << c.name;
  }
}

TEST_F(Keys, F1OpensTheHelp) {
  EXPECT_EQ(dialog(4237), nullptr);
  press(QKeySequence("F1"));
  dialog_window* help = dialog(4237);
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
}

TEST_F(Keys, CtrlWClosesTheActiveViewAndAChangedTextStillAsksFirst) {
  load({line("a.xdd")});
  load({line("b.xdd")});
  ASSERT_EQ(views().size(), 2u);
  TDrawView* first = views().front();
  press(QKeySequence("Ctrl+W"));
  ASSERT_EQ(views().size(), 1u) << "the active view closed";
  EXPECT_EQ(views().front(), first);
  EXPECT_EQ(file_count(), 2) << "closing a view unloads nothing";

  QPlainTextEdit* text = new_text("");
  ASSERT_NE(text, nullptr);
  QTest::keyClicks(text, "notes");
  settle();
  screen->queued_yes_no = {false};
  press(text, QKeySequence("Ctrl+W"));
  EXPECT_TRUE(screen->queued_yes_no.empty()) << "the changed text asked to be closed anyway";
  EXPECT_EQ(window().mdi()->subWindowList().size(), 2) << "No keeps it";
  EXPECT_EQ(text->toPlainText(), "notes");
  screen->queued_yes_no = {true};
  press(text, QKeySequence("Ctrl+W"));
  EXPECT_EQ(window().mdi()->subWindowList().size(), 1) << "Yes closes it";
}

TEST_F(Keys, CtrlTabActivatesEachWindowInTurnAndWrapsToTheFirst) {
  load({line("a.xdd")});
  load({line("b.xdd")});
  new_text("notes");
  const QList<QMdiSubWindow*> all = window().mdi()->subWindowList();
  ASSERT_EQ(all.size(), 3);
  ASSERT_EQ(window().mdi()->activeSubWindow(), all[2]);
  for (int i : {0, 1, 2, 0}) {
    press(window().mdi()->activeSubWindow()->widget(), QKeySequence("Ctrl+Tab"));
    EXPECT_EQ(window().mdi()->activeSubWindow(), all[i]) << "after the window made " << i << " before";
  }
  EXPECT_EQ(focused(), views().front()) << "the view activated takes the view's keys";
}

TEST_F(Keys, CtrlQAsksBeforeExitingAndNoKeepsTheFiles) {
  load({line("a.xdd")});
  find(*file(0), "fBft_f2_lim")->set_text_with_limits("5");
  screen->queued_yes_no = {false};
  press(QKeySequence("Ctrl+Q"));
  EXPECT_TRUE(screen->queued_yes_no.empty()) << "the modified file was asked about";
  EXPECT_TRUE(window().isVisible());
  EXPECT_EQ(file_count(), 1);
}

TEST_F(Keys, CtrlCInATextCopiesItsSelectionAndInAViewItsCurves) {
  load({line("a.xdd")});
  TDrawView* v = focused();
  QPlainTextEdit* text = new_text("selected words");
  ASSERT_NE(text, nullptr);
  text->selectAll();
  press(text, QKeySequence("Ctrl+C"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "selected words") << "the text's own copy wins";

  screen->activate_frame(v->frame());
  settle();
  widget(v)->setFocus();
  press(widget(v), QKeySequence("Ctrl+C"));
  const QString curves = QGuiApplication::clipboard()->text();
  EXPECT_TRUE(curves.contains('\t')) << "the view's curves as columns: " << curves.left(80).toStdString();
  EXPECT_EQ(dialog(4232), nullptr) << "the c of Ctrl+C is no centroid key";
}

TEST_F(Keys, CtrlLettersAreNoKeysOfAView) {
  load({line("a.xdd")});
  TDrawView* v = focused();
  const double x1 = v->x1, x2 = v->x2;
  for (Qt::Key k : {Qt::Key_H, Qt::Key_I, Qt::Key_A, Qt::Key_X}) press(widget(v), QKeyCombination(Qt::ControlModifier, k));
  EXPECT_EQ(dialog(4232), nullptr) << "no measure was taken";
  EXPECT_EQ(v->x1, x1);
  EXPECT_EQ(v->x2, x2);
  press(widget(v), QKeyCombination(Qt::NoModifier, Qt::Key_H));
  EXPECT_NE(dialog(4232), nullptr) << "a plain h measures";
}

}  // namespace
