// Edit > Copy on a graph view: its curves on the clipboard as a spreadsheet
// pastes them, tab-separated under one header row.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "../workbench_fixture.h"
#include "app/capture/capture_as_txt_3.h"
#include "app/shell/menu_commands.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"

namespace {

class Copy : public Workbench {};

TEST_F(Copy, PutsTheViewsCurvesOnTheClipboardAsTabSeparatedText) {
  const std::string a = scan("a.xdd", 6), b = scan("b.xdd", 4);
  screen.queue_files({a, b});
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

TEST_F(Copy, AViewThatShowsNothingLeavesTheClipboardAsItWas) {
  screen.set_clipboard_text("kept");
  app->new_graph_view();
  screen.user_command(view_command::copy);
  EXPECT_EQ(screen.clipboard(), "kept");
}

}  // namespace
