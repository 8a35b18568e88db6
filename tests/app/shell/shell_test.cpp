#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/shell/menu_commands.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "core/node_watch.h"
#include "template/get_objs_3.h"
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

// Load Data with the scans of today's instruments, as a person does it: the
// dialog offers every type at once and each on its own, and the files chosen
// load side by side into one view.
TEST_F(Workbench, LoadDataOffersEveryScanTypeAndLoadsEachIntoOneView) {
  const std::string ras =
      write("run.RAS",
            "*RAS_DATA_START\n*RAS_HEADER_START\n*HW_XG_WAVE_LENGTH_ALPHA1 \"1.540593\"\n"
            "*RAS_HEADER_END\n*RAS_INT_START\n20 1 1\n20.02 2 1\n20.04 3 1\n20.06 4 1\n*RAS_INT_END\n*RAS_DATA_END\n");
  screen.queue_files({XRDF_TEST_DATA "/d8_lab6_standard.csv", XRDF_TEST_DATA "/empyrean_v1.6_powder.xrdml", ras,
                      scan("a.xdd")});
  screen.user_command(command_id::load_data);

  const platform_types::file_request& asked = screen.file_requests().back();
  std::vector<std::string> filters;
  for (const auto& f : asked.filters) filters.push_back(f.name + " | " + f.pattern);
  EXPECT_EQ(filters, (std::vector<std::string>{
                         "Diffraction scans | *.xdd *.cpi *.xy *.dat *.txt *.csv *.xrdml *.ras *.raw *.brml *.rasx *.gsa *.gsas "
                         "*.fxye",
                         "XDD Files (*.XDD) | *.xdd", "CPI Files (*.CPI) | *.CPI", "XY Files (*.XY) | *.XY",
                         "DAT Files (*.DAT) | *.DAT", "TXT Files (*.TXT) | *.TXT", "CSV Files (*.CSV) | *.CSV",
                         "XRDML Files (*.XRDML) | *.XRDML", "RAS Files (*.RAS) | *.RAS", "RAW Files (*.RAW) | *.RAW",
                         "BRML Files (*.BRML) | *.BRML", "RASX Files (*.RASX) | *.RASX", "GSA Files (*.GSA) | *.GSA",
                         "GSAS Files (*.GSAS) | *.GSAS", "FXYE Files (*.FXYE) | *.FXYE"}));
  EXPECT_EQ(messages(), std::vector<std::string>{});
  EXPECT_EQ(file_count(), 4);
  TDrawView* view = view_list(*app)->focused();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->files().size(), 4u) << "one view shows them all";
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
  EXPECT_EQ(contents(target).substr(0, 12), "A test scan\n") << "the comment line comes first";
  EXPECT_EQ(session->load_file(target), nullptr);
  EXPECT_EQ(shown("File : " + target + " already loaded"), 1) << "the file now stands for its new path";
  screen.queue_file_cancel();
  EXPECT_EQ(save->execute(), nullptr) << "a cancelled dialog saves nothing";
}

void collect_ids(const std::vector<platform_types::menu_item>& items, std::vector<int>& ids) {
  for (const auto& m : items) {
    if (m.id != 0) ids.push_back(m.id);
    collect_ids(m.items, ids);
  }
}

// The objects a command script executes: the word after each "e".
std::vector<std::string> executed_objects(const char* script) {
  std::vector<std::string> out;
  std::istringstream words(script ? script : "");
  std::string w;
  while (words >> w)
    if (w == "e" && words >> w) out.push_back(w);
  return out;
}

// Every menu command that is enabled while a file is shown in a focused
// view does something: the application or the view codes it, or its script
// executes objects of classes the program has.
TEST_F(Workbench, EveryEnabledMenuCommandReachesAnObjectThatExists) {
  screen.queue_files({scan("a.xdd", 32)});
  screen.user_command(command_id::load_data);
  ASSERT_NE(view_list(*app)->focused(), nullptr) << "Load Data opens a view";

  std::vector<int> ids;
  collect_ids(main_menu(), ids);
  for (int hidden : {command_id::refine, command_id::refine_marquardt, command_id::errors_correlation,
                     command_id::errors})
    ids.push_back(hidden);
  const std::set<int> coded = {command_id::about,        command_id::load_data,       command_id::exit,
                               command_id::cascade,      command_id::tile_vertical,   command_id::tile_horizontal,
                               command_id::arrange_icons, command_id::view_selected_files,
                               command_id::load_txt,     command_id::save_txt,        command_id::save_txt_as,
                               command_id::save_project, command_id::next_window, command_id::close_window};
  TDrawView* view = view_list(*app)->focused();
  for (int id : ids) {
    if (!screen.user_enabler(id).enabled) continue;
    platform_types::command_state state;
    if (coded.count(id) || view->enabler(id, state)) continue;
    assoc_class* scripts = query_object("win_misc c commands");
    assoc_class* entry = scripts ? scripts->find_child(std::to_string(id).c_str()) : nullptr;
    ASSERT_TRUE(entry && entry->first_child()) << "command " << id << " is enabled but nothing answers it";
    const std::vector<std::string> targets = executed_objects(entry->first_child()->class_name());
    EXPECT_FALSE(targets.empty()) << "command " << id << " runs a script that executes nothing";
    for (const std::string& name : targets) {
      assoc_class* target = find(*app, name.c_str());
      ASSERT_NE(target, nullptr) << "command " << id << " executes \"" << name
                                 << "\", which the template does not place";
      // A class of the program's, or a node whose template gives it a script.
      EXPECT_TRUE(create_registered(name.c_str()) != nullptr || target->template_flag(tem_bits::on_execution))
          << "command " << id << " executes \"" << name << "\", which does nothing";
    }
  }
  EXPECT_TRUE(screen.user_enabler(command_id::new_txt).enabled) << "text documents can be made at any time";
  EXPECT_TRUE(screen.user_enabler(command_id::load_txt).enabled);
}

}  // namespace
