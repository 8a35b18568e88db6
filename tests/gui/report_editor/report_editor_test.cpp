#include <QFont>
#include <QFontInfo>
#include <QListWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "app/qt/dialog_window.h"
#include "app/report/input_vw_3.h"
#include "../gui_fixture.h"

namespace {

// The report editor of the workbench, opened from the Options dialog's
// "Report editor" line, with three files loaded into one view.
class ReportEditor : public Gui {
 protected:
  ReportEditor() {
    files = {line("a.xdd", 39.8), line("b.xdd", 40.0), line("c.xdd", 40.2, 0.06)};
    load(files);
    editor = dynamic_cast<input_vw_3*>(find(*app, "input_vw"));
    editor->execute();
    settle();
  }
  dialog_window* form() { return screen->dialog_widget(editor->form()); }
  QListWidget* list(int id) { return form()->list(id); }
  // Chooses a report in the list of reports, as a click would.
  void choose(const QString& title) {
    QListWidget* reports = list(report_control::templates);
    const auto found = reports->findItems(title, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << "the list offers " << title.toStdString();
    reports->setCurrentItem(found.front());
    settle();
  }
  // The column of that title, by index among the editor's columns.
  int column(const std::string& title) {
    for (std::size_t i = 0; i < editor->columns().size(); ++i)
      if (editor->columns()[i]->definition.title() == title) return static_cast<int>(i);
    ADD_FAILURE() << "no column " << title;
    return 0;
  }
  QListWidget* cells(const std::string& title) { return list(editor->columns()[column(title)]->list_id); }
  std::vector<std::string> texts(const std::string& title) {
    std::vector<std::string> out;
    QListWidget* l = cells(title);
    for (int i = 0; i < l->count(); ++i) out.push_back(l->item(i)->text().toStdString());
    return out;
  }
  void select_rows(const std::string& title, std::vector<int> rows) {
    QListWidget* l = cells(title);
    l->clearSelection();
    for (int r : rows) l->item(r)->setSelected(true);
  }
  // Types into the edit line and presses Enter.
  void type_and_apply(const QString& text) {
    QLineEdit* edit = form()->line(report_control::edit_line);
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
    settle();
  }
  double value_of(int file, const char* name) {
    return find(*find(*app, "xAdd_recs")->child(file), name)->get_double();
  }

  std::vector<std::string> files;
  input_vw_3* editor = nullptr;
};

using names = std::vector<std::string>;

TEST_F(ReportEditor, ListsItsReportsAndShowsOneRowPerObjectEachReportFinds) {
  QListWidget* reports = list(report_control::templates);
  ASSERT_EQ(reports->count(), 4);
  EXPECT_EQ(reports->item(0)->text(), "Fourier options");
  EXPECT_EQ(editor->row_count(), 3) << "one row per loaded file";
  EXPECT_NE(form()->text_of(report_control::help).find("phase origin"), std::string::npos) << "with its help";
  choose("Tails: left side");
  EXPECT_EQ(editor->row_count(), 3) << "a tail of every file, made where it was missing";
  choose("Data files");
  EXPECT_EQ(texts("Points"), (names{"201", "201", "201"}));
  EXPECT_EQ(list(report_control::options)->item(0)->text(), "Create TXT Report");
}

TEST_F(ReportEditor, AFilterKeepsOnlyTheRowsOfItsName) {
  assoc_class* data = query_object("reports c fourier c data");
  for (const auto& [filter, rows] : {std::pair{"_get_name xdd _filter xdd", 3}, {"_get_name xdd _filter other", 0}}) {
    data->delete_all_children();
    auto word = std::make_unique<out_side_rec_3>();
    word->text.assign(filter);
    data->add_child(std::move(word));
    editor->choose(0);
    EXPECT_EQ(editor->row_count(), rows) << filter;
    EXPECT_EQ(editor->columns().empty(), rows == 0) << "no rows, no columns: " << filter;
  }
}

TEST_F(ReportEditor, IdentityAndFieldColumnsShowEachRowsValues) {
  EXPECT_EQ(texts("File"), files);
  EXPECT_EQ(texts("Doubling"), (names{"1", "1", "1"}));
  EXPECT_EQ(texts("Reference"), (names{"", "", ""}));
  EXPECT_FALSE(editor->columns()[column("File")]->editable()) << "the identity shows, it is not edited";
}

TEST_F(ReportEditor, AnEditGoesToEverySelectedRowAndStopsAtARowThatRefusesIt) {
  select_rows("Doubling", {0, 1, 2});
  type_and_apply("9");
  EXPECT_EQ(screen->messages.size(), 1u) << "the limit is told once, not once per row";
  EXPECT_EQ(texts("Doubling"), (names{"1", "1", "1"})) << "the first row refused it: nothing changed";
  type_and_apply("2");
  EXPECT_EQ(texts("Doubling"), (names{"2", "2", "2"}));
  EXPECT_EQ(value_of(1, "fBreq_doubler"), 2.0);
  EXPECT_TRUE(find(*app, "xAdd_recs")->child(0)->is_changed()) << "an edited file is changed";

  // The third file as the reference of all three: the first two take it, the
  // third cannot refer to itself and the edit stops there.
  screen->messages.clear();
  select_rows("Reference", {0, 1, 2});
  type_and_apply(QString::fromStdString(files[2]));
  EXPECT_EQ(texts("Reference"), (names{files[2], files[2], ""}));
  ASSERT_EQ(screen->messages.size(), 1u);
  EXPECT_NE(screen->messages[0].find("Cannot assign a reference profile to itself"), std::string::npos);
}

TEST_F(ReportEditor, AReferenceSetInTheEditorShowsAtOnceInTheDeconvolutedViews) {
  TDrawView* view = view_list(*app)->views().front();
  screen->activate_frame(view->frame());
  settle();
  ASSERT_EQ(focused(), view);
  trigger(4253);  // the deconvoluted profiles
  trigger(4251);  // without the observed ones
  const auto coloured = [&] {
    int n = 0;
    const QImage img = shown(view);
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y) == yellow || img.pixelColor(x, y) == cyan;
    return n;
  };
  const int before = coloured();  // no reference yet: nothing deconvoluted, the zero line only
  select_rows("Reference", {0, 1});
  type_and_apply(QString::fromStdString(files[2]));
  view->show_all();
  settle();
  EXPECT_GT(coloured(), before + 200) << "the first two files' deconvoluted profiles are drawn";
}

TEST_F(ReportEditor, AColumnHiddenFromTheReportIsStruckOutAndComesBack) {
  const int doubling = column("Doubling");
  screen->queued_popups.push_back(report_command::hide_column);
  editor->on_list_context(editor->columns()[doubling]->list_id);
  EXPECT_TRUE(cells("Doubling")->font().strikeOut());
  EXPECT_EQ(editor->report_text().find("Doubling"), std::string::npos) << "left out of the report";
  screen->queued_popups.push_back(report_command::show_column);
  editor->on_list_context(editor->columns()[doubling]->list_id);
  EXPECT_FALSE(cells("Doubling")->font().strikeOut());
  EXPECT_NE(editor->report_text().find("Doubling "), std::string::npos) << "in the report again";
}

TEST_F(ReportEditor, AReportOfHiddenColumnsIsATitleLineAndOneEmptyLinePerRow) {
  for (std::size_t i = 0; i < editor->columns().size(); ++i) editor->set_column_hidden(i, true);
  EXPECT_EQ(editor->report_text(), "\n\n\n\n");
}

TEST_F(ReportEditor, EveryCellOfTheReportIsFollowedByOneBlankAndKeptWhole) {
  for (std::size_t i = 0; i < editor->columns().size(); ++i)
    editor->set_column_hidden(i, editor->columns()[i]->definition.title() != "File" &&
                                     editor->columns()[i]->definition.title() != "Doubling");
  std::string expected = "File Doubling \n";
  for (const std::string& f : files) expected += f + " 1 \n";
  EXPECT_EQ(editor->report_text(), expected);
}

TEST_F(ReportEditor, ADoubleClickCopiesTheFirstSelectedCellAndWithoutSelectionDoesNothing) {
  QLineEdit* edit = form()->line(report_control::edit_line);
  edit->setText("kept");
  cells("Doubling")->clearSelection();
  editor->on_list_double_click(cells("Doubling") == nullptr ? 0 : editor->columns()[column("Doubling")]->list_id);
  EXPECT_EQ(edit->text(), "kept") << "nothing selected: the edit line stays";
  select_rows("File", {1});
  editor->on_list_double_click(editor->columns()[column("File")]->list_id);
  EXPECT_EQ(edit->text().toStdString(), files[1]);
}

TEST_F(ReportEditor, TheColumnsScrollTogetherRowByRow) {
  std::vector<std::string> more;
  for (int i = 0; i < 25; ++i) more.push_back(line("more" + std::to_string(i) + ".xdd"));
  load(more);
  editor->choose(0);
  settle();
  QListWidget* first = cells("File");
  ASSERT_GT(first->verticalScrollBar()->maximum(), 5) << "more rows than the column shows";
  first->verticalScrollBar()->setValue(7);
  settle();
  for (const auto& c : editor->columns())
    EXPECT_EQ(list(c->list_id)->verticalScrollBar()->value(), 7) << c->definition.title();
}

TEST_F(ReportEditor, ChangeSelectionsToAppliesTheEditLineAndTheTitleSelectsAColumn) {
  const auto& c = editor->columns()[column("Origin")];
  QWidget* title = form()->control(c->title_id);
  QTest::mouseClick(title, Qt::LeftButton);
  EXPECT_EQ(cells("Origin")->selectedItems().size(), 3) << "a press on a column's title selects all its rows";
  form()->line(report_control::edit_line)->setText("40.05");
  QTest::mouseClick(form()->control(report_control::apply_label), Qt::LeftButton);
  settle();
  EXPECT_EQ(texts("Origin"), (names{"40.0500", "40.0500", "40.0500"}));
}

}  // namespace

namespace {

TEST_F(ReportEditor, CreateTxtReportOpensADocumentOfTheVisibleColumns) {
  for (std::size_t i = 0; i < editor->columns().size(); ++i)
    editor->set_column_hidden(i, editor->columns()[i]->definition.title() != "File");
  QListWidget* options = list(report_control::options);
  options->setCurrentRow(0);
  settle();
  QMdiSubWindow* report = window().mdi()->activeSubWindow();
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(report->windowTitle(), "TXT Report");
  auto* text = qobject_cast<QPlainTextEdit*>(report->widget());
  ASSERT_NE(text, nullptr);
  std::string expected = "File \n";
  for (const std::string& f : files) expected += f + " \n";
  EXPECT_EQ(text->toPlainText().toStdString(), expected);
  EXPECT_TRUE(QFontInfo(text->font()).fixedPitch()) << "in the text font, so the columns line up";
}

}  // namespace
