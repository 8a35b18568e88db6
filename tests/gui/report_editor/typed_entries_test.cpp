#include <QLineEdit>
#include <QListWidget>

#include "app/qt/dialog_window.h"
#include "app/report/input_vw_3.h"
#include "../gui_fixture.h"

namespace {

// The report editor's edit line, on two Gaussian lines of 201 points from 39
// to 41 degrees: their transforms have 256 frequencies.
class ReportEditorEntries : public Gui {
 protected:
  ReportEditorEntries() {
    files = {line("a.xdd", 39.9), line("b.xdd", 40.1)};
    load(files);
    editor = dynamic_cast<input_vw_3*>(find(*app, "input_vw"));
    editor->execute();
    settle();
  }
  dialog_window* form() { return screen->dialog_widget(editor->form()); }
  QListWidget* cells(const std::string& title) {
    for (const auto& c : editor->columns())
      if (c->definition.title() == title) return form()->list(c->list_id);
    ADD_FAILURE() << "no column " << title;
    return nullptr;
  }
  std::vector<std::string> texts(const std::string& title) {
    std::vector<std::string> out;
    QListWidget* l = cells(title);
    for (int i = 0; l && i < l->count(); ++i) out.push_back(l->item(i)->text().toStdString());
    return out;
  }
  // Selects every row of one column, or its first (and nothing elsewhere),
  // types, Enter.
  void type_into(const std::string& title, const std::string& text, bool first_only = false) {
    for (const auto& c : editor->columns()) form()->list(c->list_id)->clearSelection();
    QListWidget* l = cells(title);
    for (int r = 0; r < (first_only ? 1 : l->count()); ++r) l->item(r)->setSelected(true);
    QLineEdit* edit = form()->line(report_control::edit_line);
    edit->setText(QString::fromStdString(text));
    QTest::keyClick(edit, Qt::Key_Return);
    settle();
  }

  std::vector<std::string> files;
  input_vw_3* editor = nullptr;
};

using names = std::vector<std::string>;

TEST_F(ReportEditorEntries, TypingWhatIsNoNumberOrBeyondTheDataOrNoLoadedFileIsRefusedOnceAndEveryCellKeepsItsValue) {
  type_into("Origin", "40");
  type_into("Limit", "100");
  type_into("Reference", files[1], true);
  const struct {
    const char* column;
    const char* typed;
    const char* says;
  } rows[] = {
      {"Origin", "abc", "Origin: \"abc\" is not a number"},
      {"Origin", "40abc", "Origin: \"40abc\" is not a number"},
      {"Origin", "", "Origin: \"\" is not a number"},
      {"Origin", "nan", "Origin: \"nan\" is not a number"},
      {"Origin", "1e300", "Value for Origin must be less than 41.0000"},
      {"Limit", "1e308", "Value for Frequency limit must be less than 255.0000"},
      {"Doubling", "2.5", "Transform length doubling: \"2.5\" is not a whole number"},
      {"Wavelength", "12", "Value for Wavelength for the transform axis must be less than 10.0000"},
      {"Reference", "nosuch.xdd", "Reference profile: \"nosuch.xdd\" is not a loaded data file"},
  };
  for (const auto& r : rows) {
    const std::vector<std::string> before = texts(r.column);
    screen->messages.clear();
    type_into(r.column, r.typed);
    ASSERT_EQ(screen->messages.size(), 1u) << r.typed << ": once, not once per row";
    EXPECT_NE(screen->messages[0].find(r.says), std::string::npos) << screen->messages[0];
    EXPECT_EQ(texts(r.column), before) << r.typed;
  }
  EXPECT_EQ(texts("Origin"), (names{"40.0000", "40.0000"}));
  EXPECT_EQ(texts("Limit"), (names{"100.0000", "100.0000"}));
  EXPECT_EQ(texts("Reference"), (names{files[1], ""})) << "the reference there was stays";
  type_into("Reference", "", true);
  EXPECT_EQ(texts("Reference")[0], "") << "an empty line still clears a reference";
}

}  // namespace
