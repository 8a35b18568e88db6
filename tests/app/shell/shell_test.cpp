#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/shell/menu_commands.h"
#include "core/node_watch.h"
#include "template/tem_node_3.h"
#include "xrd/files/xdd_10.h"
#include "../workbench_fixture.h"

namespace {



TEST_F(Workbench, StartUpBuildsTheApplicationFromTheTemplateAndCloseDownDestroysIt) {
  ASSERT_NE(app, nullptr) << "the template names the application object";
  EXPECT_STREQ(app->class_name(), "app");
  EXPECT_TRUE(app->is_live());
  EXPECT_EQ(app->tem(), template_tree().top_level("#app")->find_child("app"));
  EXPECT_EQ(screen.main_title(), "XRD Fourier Workbench");
  ASSERT_EQ(screen.menu().size(), 5u);
  EXPECT_EQ(screen.menu()[0].text, "&File");
  EXPECT_EQ(screen.menu()[4].text, "&Help");
  EXPECT_EQ(screen.status_gadgets().size(), 5u);
  EXPECT_EQ(command_hint(command_id::load_data), std::string("Load data file(s) into a new view "));

  scan("one.xdd");
  ASSERT_NE(session->load_file((dir / "one.xdd").string()), nullptr);
  node_watch file(files()->child(0));
  node_watch application(app);
  session.reset();
  EXPECT_FALSE(application) << "closing down destroys the application";
  EXPECT_FALSE(file) << "and every file under it";
}

TEST_F(Workbench, MenuCommandsRunTheTemplatesScripts) {
  screen.user_command(4006);
  EXPECT_EQ(shown("Refinement is not available in this workbench."), 1) << "refinement: a short message";
  screen.user_command(4236);
  EXPECT_EQ(shown("Error estimates are not available in this workbench."), 1);
  screen.user_command(command_id::show_options);
  bool options_shown = false;
  for (int id = 1; id < 20; ++id)
    if (const auto* d = screen.dialog(id)) options_shown |= d->resource_id == 4148 && d->shown;
  EXPECT_TRUE(options_shown) << "the options dialog is shown";
  screen.user_command(command_id::help);
  bool help_shown = false;
  for (const std::string& c : screen.calls()) help_shown |= c.find("XRD Fourier Workbench - help") != std::string::npos;
  EXPECT_TRUE(help_shown) << "the help dialog shows the bundled help text";
  screen.user_command(command_id::about);
  EXPECT_EQ(messages().back().rfind("message information", 0), 0u);
}

TEST_F(Workbench, EnablersComeFromTheTemplateAndTheCheckMarkIsUsedOnce) {
  EXPECT_FALSE(screen.user_enabler(command_id::unload_data).enabled) << "nothing to unload";
  EXPECT_TRUE(screen.user_enabler(command_id::show_options).enabled);
  ASSERT_NE(session->load_file(scan("a.xdd")), nullptr);
  EXPECT_TRUE(screen.user_enabler(command_id::unload_data).enabled);
  find(*app, "cBhecked")->set_int(1);
  EXPECT_TRUE(screen.user_enabler(command_id::show_options).checked);
  EXPECT_FALSE(screen.user_enabler(command_id::show_options).checked) << "the mark is reset after each use";
  EXPECT_FALSE(screen.user_enabler(command_id::view_selected_files).enabled) << "no graph view has the focus";
}

TEST_F(Workbench, LoadDataLoadsUntilTheLimitAndSaysSoOnce) {
  find(*app, "mBax_num_files")->set_int(3);
  ASSERT_NE(session->load_file(scan("first.xdd")), nullptr);
  screen.queue_files({scan("a.xdd"), scan("b.xdd"), scan("c.xdd")});
  screen.user_command(command_id::load_data);
  EXPECT_EQ(file_count(), 3) << "two of the three chosen files fit";
  EXPECT_EQ(shown("Cannot load any more files: Maximum of 3"), 1);
  screen.queue_files({scan("d.xdd")});
  screen.user_command(command_id::load_data);
  EXPECT_EQ(shown("Cannot load any more files: Maximum of 3"), 2) << "a full workbench refuses before asking";
  EXPECT_EQ(screen.pending_answers(), 1u) << "so the open dialog is not shown";
}

TEST_F(Workbench, ADuplicateIsReportedAndTheOtherFilesStillLoad) {
  const std::string a = scan("a.xdd");
  ASSERT_NE(session->load_file(a), nullptr);
  screen.queue_files({a, scan("b.xdd")});
  screen.user_command(command_id::load_data);
  EXPECT_EQ(shown("File : " + a + " already loaded"), 1);
  EXPECT_EQ(file_count(), 2);
}

TEST_F(Workbench, AFailedLoadLeavesNoNodeBehind) {
  std::ofstream(dir / "bad.xdd") << "bad\n10 0 20\n1 1 1\n1 2 3\n";
  EXPECT_EQ(session->load_file((dir / "bad.xdd").string()), nullptr);
  EXPECT_EQ(file_count(), 0);
  EXPECT_EQ(shown("Error loading file " + (dir / "bad.xdd").string() + "\nThe step xd = 0 is below 1e-7"), 1);
  EXPECT_TRUE(global_error_message().is_empty()) << "nothing is left for the next action";
}

TEST_F(Workbench, UnloadingAsksOnlyForAModifiedFile) {
  assoc_class* kept = session->load_file(scan("changed.xdd"));
  ASSERT_NE(session->load_file(scan("plain.xdd")), nullptr);
  ASSERT_NE(kept, nullptr);
  kept->set_changed(true);
  screen.queue_yes_no(yes_no_reply::escape);
  screen.user_command(command_id::unload_data);
  ASSERT_EQ(screen.questions().size(), 1u);
  EXPECT_EQ(screen.questions()[0].text, "File : " + (dir / "changed.xdd").string() + " has been Modified.\n Unload Anyway ?");
  ASSERT_EQ(file_count(), 1) << "Escape keeps the modified file";
  EXPECT_EQ(files()->child(0), kept);
  screen.queue_yes_no(yes_no_reply::yes);
  screen.user_command(command_id::unload_data);
  EXPECT_EQ(file_count(), 0);
}

TEST_F(Workbench, CloseDownWaitsForAKeptFileAndAsksAgainNextTime) {
  assoc_class* file = session->load_file(scan("work.xdd"));
  ASSERT_NE(file, nullptr);
  file->set_changed(true);
  screen.queue_yes_no(yes_no_reply::no);
  EXPECT_FALSE(screen.user_closes_main()) << "a kept file keeps the application open";
  EXPECT_EQ(find_existing(*app, "cBan_close"), nullptr) << "the answer is made afresh for the next attempt";
  screen.queue_yes_no(yes_no_reply::yes);
  EXPECT_TRUE(screen.user_closes_main());
  EXPECT_EQ(screen.questions().size(), 2u);
  EXPECT_TRUE(screen.quit_requested());
}

TEST_F(Workbench, SaveAsWritesXddAndClearsTheChangedMark) {
  assoc_class* file = session->load_file(scan("orig.xdd", 12));
  ASSERT_NE(file, nullptr);
  file->set_changed(true);
  assoc_class* save = find(*app, "save_xdd_as");
  ASSERT_NE(save, nullptr);
  save->set_object(file);
  const std::string target = (dir / "Copy Of Orig.XDD").string();
  screen.queue_files({target});
  ASSERT_NE(save->execute(), nullptr);
  EXPECT_FALSE(file->is_changed());
  EXPECT_STREQ(find_existing(*file, "xDdd_path_name")->get_text(), target.c_str());
  ASSERT_EQ(screen.file_requests().size(), 1u);
  EXPECT_EQ(screen.file_requests()[0].caption, "Save File");
  std::ifstream written(target);
  std::stringstream text;
  text << written.rdbuf();
  EXPECT_EQ(text.str().substr(0, 12), "A test scan\n") << "the comment line comes first";
  EXPECT_EQ(session->load_file(target), nullptr);
  EXPECT_EQ(shown("File : " + target + " already loaded"), 1) << "the file now stands for its new path";
  screen.queue_file_cancel();
  EXPECT_EQ(save->execute(), nullptr) << "a cancelled dialog saves nothing";
}

TEST_F(Workbench, IdleTimeEmptiesTheDeletionBin) {
  assoc_class* bin = app->deletion_bin();
  ASSERT_NE(bin, nullptr);
  bin->add_child(std::make_unique<assoc_class>());
  node_watch doomed(bin->child(0));
  screen.user_idles();
  EXPECT_FALSE(doomed);
}

TEST(StatusBar, LimitsTextFollowsItsFormats) {
  EXPECT_EQ(limits_text(20, 100.25, -3.4, 1500.6), "x(20.000, 100.250)  y(-3, 1501)");
}

}  // namespace
