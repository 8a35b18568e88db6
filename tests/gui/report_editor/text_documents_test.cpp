// A TXT file through the File menu: loaded into a text window, edited there
// and saved back.
#include "../gui_fixture.h"

#include <QFontInfo>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <sstream>

#include "app/text/any_doc_3.h"
#include "app/text/any_vw_3.h"
#include "app/text/txt_docs_3.h"

namespace {

TEST_F(Gui, ATxtFileLoadedFromTheMenuIsTypedIntoInAFixedPitchFontAndSavedBack) {
  QAction* save = window().action(24333);
  ASSERT_NE(save, nullptr);
  window().update_enablers(qobject_cast<QMenu*>(save->parent()));
  EXPECT_FALSE(save->isEnabled()) << "nothing to save before a text window is open";

  const std::filesystem::path path = dir / "notes.TXT";
  std::ofstream(path, std::ios::binary) << "first line\r\n";
  platform_types::file_answer chosen;
  chosen.result = platform_types::file_answer::status::chosen;
  chosen.paths = {path.string()};
  screen->queued_files.push_back(chosen);
  trigger(24332);

  any_doc_3* doc = text_documents(*app)->active_document();
  ASSERT_NE(doc, nullptr) << "the file's window is the active one";
  QMdiSubWindow* frame = screen->frame_window(doc->view()->frame());
  ASSERT_NE(frame, nullptr);
  auto* editor = qobject_cast<QPlainTextEdit*>(frame->widget());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(frame->windowTitle().toStdString(), "notes.TXT");
  EXPECT_EQ(editor->toPlainText().toStdString(), "first line\n");
  EXPECT_TRUE(QFontInfo(editor->font()).fixedPitch()) << "report columns line up";

  editor->setFocus();
  editor->moveCursor(QTextCursor::End);
  QTest::keyClicks(editor, "second line");
  settle();
  EXPECT_TRUE(doc->modified());
  trigger(24333);

  std::ostringstream saved;
  saved << std::ifstream(path, std::ios::binary).rdbuf();
  EXPECT_EQ(saved.str(), "first line\r\nsecond line") << "the file keeps its CR LF line ends";
  EXPECT_FALSE(doc->modified());
  EXPECT_TRUE(screen->messages.empty());
}

}  // namespace
