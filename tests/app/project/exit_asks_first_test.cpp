#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/shell/menu_commands.h"
#include "app/text/any_doc_3.h"
#include "app/text/any_vw_3.h"
#include "app/text/txt_docs_3.h"
#include "core/node_watch.h"
#include "../workbench_fixture.h"

namespace {

// Exit asks every question (the project, the modified data files, the
// modified texts) before anything is unloaded or closed.
class ExitAsksFirst : public Workbench {
 protected:
  // Three loaded files, the second and third modified by the user.
  void load_three() {
    for (const char* name : {"a.xdd", "b.xdd", "c.xdd"}) ASSERT_NE(session->load_file(scan(name)), nullptr);
    for (int i = 1; i < 3; ++i) find(*files()->child(i), "fBft_f2_lim")->set_text_with_limits("3");
    ASSERT_TRUE(files()->child(1)->is_changed() && files()->child(2)->is_changed());
    ASSERT_FALSE(files()->child(0)->is_changed());
  }
  // A text window the user typed into.
  void typed_text() {
    screen.user_command(command_id::new_txt);
    any_doc_3* doc = text_documents(*app)->active_document();
    ASSERT_NE(doc, nullptr);
    screen.user_edits_text(doc->view()->frame(), "notes\n");
  }
  // Whom the questions from the `from`-th on were about.
  std::vector<std::string> asked(std::size_t from) const {
    std::vector<std::string> out;
    for (std::size_t i = from; i < screen.questions().size(); ++i) {
      const std::string& text = screen.questions()[i].text;
      out.push_back(text.substr(0, text.find(" has been")));
    }
    return out;
  }
};

TEST_F(ExitAsksFirst, AnsweringNoAtExitLeavesEveryFileLoaded) {
  load_three();
  std::vector<std::unique_ptr<node_watch>> loaded;
  for (int i = 0; i < file_count(); ++i) loaded.push_back(std::make_unique<node_watch>(files()->child(i)));
  screen.queue_yes_no(yes_no_reply::yes);  // b may go
  screen.queue_yes_no(yes_no_reply::no);   // c is kept
  EXPECT_FALSE(screen.user_closes_main());
  EXPECT_EQ(screen.questions().size(), 2u);
  EXPECT_EQ(file_count(), 3) << "the file not asked about and the one let go are still loaded";
  for (const auto& w : loaded) EXPECT_TRUE(*w) << "no file was loaded afresh";
  EXPECT_TRUE(files()->child(1)->is_changed()) << "the file let go keeps its changes while it stays";

  // A second attempt asks again, and yes to all closes.
  screen.queue_yes_no(yes_no_reply::yes);
  screen.queue_yes_no(yes_no_reply::yes);
  EXPECT_TRUE(screen.user_closes_main());
  EXPECT_EQ(screen.questions().size(), 4u) << "each modified file was asked about once";
  EXPECT_EQ(file_count(), 0);
  EXPECT_TRUE(screen.quit_requested());
}

TEST_F(ExitAsksFirst, KeepingAnUnsavedTextAtExitLeavesEveryFileLoaded) {
  const struct {
    const char* what;
    std::vector<yes_no_reply> answers;
    std::vector<std::string> asked;
  } rows[] = {
      {"no modified file: the text is asked about first", {yes_no_reply::no}, {"File : Untitled"}},
      {"the modified files are asked about before the text",
       {yes_no_reply::yes, yes_no_reply::yes, yes_no_reply::no},
       {"File : " + (dir / "b.xdd").string(), "File : " + (dir / "c.xdd").string(), "File : Untitled"}},
  };
  typed_text();
  for (const auto& r : rows) {
    if (r.answers.size() > 1) load_three();
    const int before = file_count();
    const std::size_t questions = screen.questions().size();
    for (yes_no_reply a : r.answers) screen.queue_yes_no(a);
    EXPECT_FALSE(screen.user_closes_main()) << r.what;
    EXPECT_EQ(asked(questions), r.asked) << r.what;
    EXPECT_EQ(file_count(), before) << r.what << ": nothing unloaded";
    EXPECT_EQ(text_documents(*app)->documents().size(), 1u) << r.what;
  }
}

TEST_F(ExitAsksFirst, CancellingTheProjectsSaveAtExitAsksNothingMoreAndUnloadsNothing) {
  load_three();
  screen.queue_files({(dir / "p.PRJ").string()});
  app->command(command_id::save_project_as);
  find(*files()->child(0), "fBft_f2_lim")->set_text_with_limits("4");
  screen.queue_yes_no(yes_no_reply::yes);  // save the project
  screen.queue_file_cancel();
  EXPECT_FALSE(screen.user_closes_main());
  EXPECT_EQ(screen.questions().size(), 1u);
  EXPECT_EQ(file_count(), 3);
}

}  // namespace
