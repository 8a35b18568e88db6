// What the workbench keeps while a person works, as the window shows it: the
// views a load leaves, the report editor after a command changed a value,
// and the recent files. The limits kept across a switch of family and across
// the files are tried on the scripted platform (tests/app/views).
#include "gui_fixture.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QSettings>

#include "app/dialogs/history_dlg_3.h"
#include "app/qt/dialog_window.h"
#include "app/report/input_vw_3.h"

namespace {

const std::string demo = XRDF_SOURCE_DIR "/resources/demo/size_strain/";

class ViewState : public Gui {
 protected:
  // The titles of the windows in the MDI area that are graph views.
  std::vector<std::string> view_titles() {
    std::vector<std::string> out;
    for (QMdiSubWindow* w : window().mdi()->subWindowList())
      if (w->isVisible() && qobject_cast<graph_view_widget*>(w->widget())) out.push_back(w->windowTitle().toStdString());
    return out;
  }
  void cancel_load() {
    screen->queued_files.push_back(platform_types::file_answer{});
    trigger(3153);
  }
  QMenu* recent_menu() {
    for (QMenu* m : window().findChildren<QMenu*>())
      if (m->title() == "Recent &files") return m;
    return nullptr;
  }
};

using strings = std::vector<std::string>;

TEST_F(ViewState, CancellingLoadDataLeavesNoEmptyView) {
  for (int i = 0; i < 5; ++i) cancel_load();
  EXPECT_EQ(view_titles(), strings{}) << "no black view titled \",Yo\"";
  load({line("a.xdd")});
  load({(dir / "nosuch.xdd").string()});
  cancel_load();
  EXPECT_EQ(view_titles(), strings{"a.xdd,Yo"}) << "a failed load and a cancelled one leave the view that shows a file";
  EXPECT_EQ(focused(), views().front());
}

TEST_F(ViewState, AnAutomaticFrequencyLimitShowsAtOnceInTheOpenReportEditorAndInTheHistory) {
  load({demo + "cu111.xdd", demo + "cu111_ref.xdd"});
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  find(*file(0), "ref_prof")->set_text_with_limits((demo + "cu111_ref.xdd").c_str());
  auto* editor = dynamic_cast<input_vw_3*>(find(*app, "input_vw"));
  ASSERT_NE(editor, nullptr);
  editor->execute();
  settle();
  std::size_t limit = 0;
  while (limit < editor->columns().size() && editor->columns()[limit]->definition.title() != "Limit") ++limit;
  ASSERT_LT(limit, editor->columns().size()) << "the Fourier options show the limit";
  QListWidget* cells = screen->dialog_widget(editor->form())->list(editor->columns()[limit]->list_id);
  ASSERT_EQ(cells->count(), 2);
  ASSERT_EQ(cells->item(0)->text(), "-999.0000");
  cells->item(0)->setSelected(true);

  screen->activate_frame(v->frame());
  settle();
  trigger(4258);  // Edit > Automatic frequency limit
  const double set = find(*file(0), "fBft_f2_lim")->get_double();
  ASSERT_GT(set, 0.0);
  EXPECT_EQ(cells->item(0)->text().toStdString(), find(*file(0), "fBft_f2_lim")->get_text())
      << "the editor shows the new limit without switching the report";
  EXPECT_EQ(cells->item(1)->text(), "-999.0000") << "the reference keeps its own";
  EXPECT_TRUE(cells->item(0)->isSelected()) << "the cells chosen stay chosen";

  dialog_window* history = dialog(4232);
  ASSERT_NE(history, nullptr) << "the history opens";
  const std::string text = history->text(4233)->toPlainText().toStdString();
  EXPECT_NE(text.find(demo + "cu111.xdd: automatic frequency limit " + std::to_string(static_cast<int>(set)) + " ("),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("), signal-to-noise "), std::string::npos) << text;
  EXPECT_EQ(text.find("cu111_ref.xdd: automatic"), std::string::npos) << "one line per file given a limit";

  // A value changed elsewhere, as a dialog or a drag changes it.
  find(*file(0), "fBft_f2_lim")->set_double(42);
  QTest::qWait(300);  // the editor follows at idle time
  EXPECT_EQ(cells->item(0)->text().toStdString(), find(*file(0), "fBft_f2_lim")->get_text());
  EXPECT_EQ(cells->item(0)->text().left(2), "42");
}

TEST_F(ViewState, RecentFilesListOnlyWhatOpenedOnceEachWithItsFullPathAsHint) {
  QSettings().remove("recent/files");
  const std::string a = line("a.xdd");
  std::filesystem::create_directories(dir / "other");
  const std::string other_a = (dir / "other" / "a.xdd").string();
  std::filesystem::copy_file(a, other_a);
  const std::string bad = (dir / "bad.xdd").string();
  std::ofstream(bad) << "not a scan\n";
  load({a});
  load({a});                                   // loaded already: nothing new opened
  load({bad});                                 // refused
  load({(dir / "." / "b.xdd").string()});      // no such file
  screen->queued_files.push_back({platform_types::file_answer::status::chosen, {(dir / "iron.prj").string()}});
  trigger(3155);                               // Save Project As
  screen->queued_yes_no.push_back(true);       // over write the loaded project
  screen->queued_files.push_back({platform_types::file_answer::status::chosen, {(dir / "." / "iron.prj").string()}});
  trigger(4130);                               // Load Project, by another spelling of its path
  load({other_a});

  QMenu* menu = recent_menu();
  ASSERT_NE(menu, nullptr);
  strings labels, hints, tips;
  for (QAction* action : menu->actions()) {
    labels.push_back(action->text().toStdString());
    hints.push_back(action->statusTip().toStdString());
    tips.push_back(action->toolTip().toStdString());
  }
  const std::string folder = std::filesystem::canonical(dir).string();
  EXPECT_EQ(labels, (strings{"&1 a.xdd (" + folder + "/other)", "&2 iron.prj", "&3 a.xdd (" + folder + ")"}))
      << "two files of one name are told apart by their folders";
  EXPECT_EQ(hints, (strings{folder + "/other/a.xdd", folder + "/iron.prj", folder + "/a.xdd"}));
  EXPECT_EQ(tips, hints);
}

}  // namespace
