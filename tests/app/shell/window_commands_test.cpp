// Window > Next and Window > Close on the scripted platform: they act on the
// MDI children as a person's Ctrl+Tab and close box do.
#include <gtest/gtest.h>

#include "app/platform/command_ids.h"
#include "app/text/any_doc_3.h"
#include "app/text/txt_docs_3.h"
#include "../workbench_fixture.h"

namespace {

class WindowCommands : public Workbench {
 protected:
  bool enabled(int id) { return screen.user_enabler(id).enabled; }
  platform::frame_id new_text() {
    screen.user_command(command_id::new_txt);
    return screen.active_frame();
  }
  platform::frame_id new_view() {
    EXPECT_NE(app->new_graph_view(), nullptr);
    return screen.active_frame();
  }
};

TEST_F(WindowCommands, NextActivatesEachWindowInTheOrderMadeAndWrapsToTheFirst) {
  EXPECT_FALSE(enabled(command_id::next_window)) << "no window";
  const platform::frame_id view = new_view();
  EXPECT_FALSE(enabled(command_id::next_window)) << "one window has no next";
  const platform::frame_id text = new_text();
  const platform::frame_id other = new_view();
  ASSERT_TRUE(enabled(command_id::next_window));
  for (platform::frame_id expected : {view, text, other, view}) {
    screen.user_command(command_id::next_window);
    EXPECT_EQ(screen.active_frame(), expected);
  }
}

TEST_F(WindowCommands, CloseClosesTheActiveWindowAsItsCloseBoxDoes) {
  const struct {
    const char* name;
    bool text;          // a text window, else a graph view
    const char* typed;  // what the user typed into the text, if anything
    bool answer;        // to "Close Anyway ?"
    bool asked, closed;
  } rows[] = {{"a view closes", false, nullptr, false, false, true},
              {"an unchanged text closes without a question", true, nullptr, false, false, true},
              {"a changed text asks and No keeps it", true, "notes\n", false, true, false},
              {"a changed text asks and Yes closes it", true, "notes\n", true, true, true}};
  for (const auto& c : rows) {
    const platform::frame_id f = c.text ? new_text() : new_view();
    if (c.typed) screen.user_edits_text(f, c.typed);
    const std::size_t questions = screen.questions().size();
    if (c.asked) screen.queue_yes_no(c.answer ? yes_no_reply::yes : yes_no_reply::no);
    ASSERT_TRUE(enabled(command_id::close_window)) << c.name;
    screen.user_command(command_id::close_window);
    EXPECT_EQ(screen.questions().size() > questions, c.asked) << c.name;
    EXPECT_EQ(screen.frame(f)->exists, !c.closed) << c.name;
    EXPECT_EQ(screen.pending_answers(), 0u) << c.name;
    screen.user_idles();
  }
}

TEST_F(WindowCommands, CloseIsGreyWithoutAnActiveWindow) {
  EXPECT_FALSE(enabled(command_id::close_window));
  new_view();
  EXPECT_TRUE(enabled(command_id::close_window));
  screen.user_command(command_id::close_window);
  EXPECT_FALSE(enabled(command_id::close_window));
}

}  // namespace
