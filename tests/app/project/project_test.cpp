#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/project/project_paths.h"
#include "app/shell/menu_commands.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "core/node_watch.h"
#include "xrd/chain/ref_prof_3.h"
#include "../workbench_fixture.h"

namespace {

namespace fs = std::filesystem;

class Projects : public Workbench {
 protected:
  // "Save Project As" and "Load Project", the user choosing `path`.
  void save_as(const fs::path& path) {
    screen.queue_files({path.string()});
    app->command(command_id::save_project_as);
  }
  void load(const fs::path& path) {
    screen.queue_files({path.string()});
    app->command(command_id::load_project);
  }

  // An option of a data file: `block` is "" for the file's own options, or
  // the tail block ("ex_l_consts", "ex_r_consts") that holds it.
  assoc_class* option(assoc_class* file, const std::string& block, const char* name) {
    assoc_class* holder = block.empty() ? file : find(*file, block.c_str());
    return holder ? find(*holder, name) : nullptr;
  }
  assoc_class* loaded(int i) { return files()->child(i); }
  std::vector<std::string> loaded_paths() {
    std::vector<std::string> paths;
    for (int i = 0; i < file_count(); ++i) paths.push_back(get_text_named(*loaded(i), "xDdd_path_name"));
    return paths;
  }
  std::string project() { return get_text_named(*app, "pDroj_path_name"); }
  int dirty() { return get_int_named(*app, "set_proj_dirty"); }
  void make_dirty() { find(*app, "set_proj_dirty")->set_int(1); }
};

TEST_F(Projects, AProjectLoadsBackTheSameFilesInTheSameOrderWithTheSameSettings) {
  const std::string a = scan("a.xdd");
  const std::string b = scan("b.xdd", 12);
  assoc_class* fa = session->load_file(a);
  assoc_class* fb = session->load_file(b);
  ASSERT_TRUE(fa && fb);
  option(fa, "", "fft_zero")->set_double(3.25);  // a point index
  option(fa, "", "fBreq_doubler")->set_int(2);
  option(fa, "ex_l_consts", "eBxtr_a1")->set_double(1e-9);
  option(fa, "", "ref_prof")->set_text(b.c_str());
  // A background set by hand goes with an origin: a file without one gets
  // both placed automatically when it is shown, which loading does.
  option(fb, "", "fft_zero")->set_double(4.5);
  option(fb, "", "aBo_bkg")->set_double(3.5);
  option(fb, "ex_r_consts", "nBpts_i2")->set_double(14);
  save_as(dir / "p.PRJ");
  ASSERT_EQ(project(), (dir / "p.PRJ").string());

  node_watch old_a(fa);
  screen.queue_yes_no(yes_no_reply::yes);  // replace the open project
  load(dir / "p.PRJ");
  ASSERT_EQ(loaded_paths(), (std::vector<std::string>{a, b}));
  EXPECT_FALSE(old_a) << "the files were loaded afresh";
  fa = loaded(0);
  fb = loaded(1);
  EXPECT_EQ(option(fa, "", "fft_zero")->get_double(), 3.25);
  EXPECT_EQ(option(fa, "", "fBreq_doubler")->get_int(), 2);
  EXPECT_EQ(option(fa, "ex_l_consts", "eBxtr_a1")->get_double(), 1e-9) << "a tail coefficient of 1e-9 survives";
  EXPECT_EQ(option(fb, "", "aBo_bkg")->get_double(), 3.5);
  EXPECT_EQ(option(fb, "ex_r_consts", "nBpts_i2")->get_double(), 14);
  auto* reference = dynamic_cast<ref_prof_3*>(option(fa, "", "ref_prof"));
  ASSERT_NE(reference, nullptr);
  EXPECT_STREQ(reference->get_text(), b.c_str());
  EXPECT_NE(reference->reference_profile(), nullptr);
  EXPECT_EQ(reference->reference_file(), fb) << "the reference finds the second file once it is loaded";
  EXPECT_EQ(project(), (dir / "p.PRJ").string());
  EXPECT_EQ(dirty(), 0);
  const std::vector<TDrawView*> views = view_list(*app)->views();
  ASSERT_EQ(views.size(), 2u) << "the loaded project shows one view per file";
  EXPECT_EQ(views[0]->files(), std::vector<assoc_class*>{fa});
  EXPECT_EQ(views[1]->files(), std::vector<assoc_class*>{fb});

  // Showing the files makes the defaults they computed explicit; every
  // saved record comes back.
  save_as(dir / "again.PRJ");
  const std::string again = contents(dir / "again.PRJ");
  std::istringstream saved(contents(dir / "p.PRJ"));
  for (std::string record; std::getline(saved, record);)
    EXPECT_NE(again.find(record + "\n"), std::string::npos) << record << " was lost on the way";
}

TEST_F(Projects, AProjectSavedBesideItsDataOpensAfterTheFolderIsMovedFromAnyWorkingFolder) {
  fs::create_directories(dir / "proj" / "scans");
  const std::string a = scan("proj/a.xdd");
  const std::string b = scan("proj/scans/b.xdd", 12);
  const std::string outside = scan("outside.xdd", 10);
  assoc_class* fa = session->load_file(a);
  session->load_file(b);
  assoc_class* fo = session->load_file(outside);
  ASSERT_TRUE(fa && fo);
  option(fa, "", "ref_prof")->set_text(b.c_str());
  option(fa, "", "fft_zero")->set_double(3.25);
  option(fo, "", "fBreq_doubler")->set_int(2);
  // Every file is named in full.
  auto expect_records = [&](const fs::path& project, const std::string& first, const std::string& second,
                            const char* when) {
    const std::string text = contents(project);
    for (const std::string& record : {"\nxdd xAdd_recs " + first + "\n", "\nref_prof xdd " + second + "\n",
                                      "\nxdd xAdd_recs " + second + "\n", "\nxdd xAdd_recs " + outside + "\n"})
      EXPECT_NE(text.find(record), std::string::npos) << when << ": " << record << " is not in\n" << text;
  };
  save_as(dir / "proj" / "p.PRJ");
  expect_records(dir / "proj" / "p.PRJ", a, b, "saved");

  fs::copy(dir / "proj", dir / "moved", fs::copy_options::recursive);
  fs::remove_all(dir / "proj");
  // Files of the same names in the working folder must not be taken instead.
  fs::create_directories(dir / "elsewhere" / "scans");
  scan("elsewhere/a.xdd", 20);
  scan("elsewhere/scans/b.xdd", 20);
  const working_folder elsewhere(dir / "elsewhere");
  const std::string moved_a = (dir / "moved" / "a.xdd").string();
  const std::string moved_b = (dir / "moved" / "scans" / "b.xdd").string();
  const struct {
    const char* what;
    fs::path project;
  } rows[] = {{"opened by its full path", dir / "moved" / "p.PRJ"},
              {"opened by a path relative to the working folder", "../moved/p.PRJ"}};
  for (const auto& r : rows) {
    screen.queue_yes_no(yes_no_reply::yes);  // replace the open project
    load(r.project);
    ASSERT_EQ(loaded_paths(), (std::vector<std::string>{moved_a, moved_b, outside})) << r.what;
    EXPECT_EQ(option(loaded(0), "", "fft_zero")->get_double(), 3.25) << r.what;
    EXPECT_EQ(option(loaded(2), "", "fBreq_doubler")->get_int(), 2) << r.what << ": the file outside keeps its own";
    auto* reference = dynamic_cast<ref_prof_3*>(option(loaded(0), "", "ref_prof"));
    ASSERT_NE(reference, nullptr) << r.what;
    EXPECT_STREQ(reference->get_text(), moved_b.c_str()) << r.what;
    EXPECT_EQ(reference->reference_file(), loaded(1)) << r.what << ": the reference follows the moved folder";
  }
  save_as(dir / "moved" / "p.PRJ");
  expect_records(dir / "moved" / "p.PRJ", moved_a, moved_b, "saved again after the move");
}

TEST_F(Projects, TheFileHoldsTheDataFilesRecordsButNothingMarkedNotForProjects) {
  const std::string a = scan("a.xdd");
  assoc_class* file = session->load_file(a);
  // Options exist once used; the private nodes are made as well.
  option(file, "", "fft_zero")->set_double(2);
  option(file, "ex_l_consts", "eBxtr_a1")->set_double(0.5);
  for (const char* name : {"fBft_recal", "hint_text", "xdd_changed", "xy_mod"}) option(file, "", name);
  option(file, "ex_l_consts", "dBo_ex_yc");
  save_as(dir / "p.PRJ");
  const std::string text = contents(dir / "p.PRJ");
  EXPECT_EQ(text.rfind("\nxdds app \nxAdd_recs xdds \nxdd xAdd_recs " + a + "\n", 0), 0u) << text;
  EXPECT_NE(text.find("\nfft_zero xdd 2.0000"), std::string::npos) << text;
  EXPECT_NE(text.find("\nex_l_consts xdd \neBxtr_a1 ex_l_consts 0.5000"), std::string::npos) << text;
  for (const char* name : {"xdd_data", "xy_yobs", "xDdd_path_name", "tBime", "lBambda", "hint_text", "fBft_recal",
                           "dBo_ex_yc", "xdd_changed", "xy_mod", "yobs"})
    EXPECT_EQ(text.find(std::string("\n") + name + " "), std::string::npos) << name << " reached the file";
}

TEST_F(Projects, ADamagedOrMissingProjectUnloadsNothingAndSaysWhy) {
  const std::string a = scan("a.xdd");
  const std::string b = scan("b.xdd");
  session->load_file(a);
  node_watch kept(loaded(0));
  std::ofstream(dir / "damaged.PRJ") << "\nxdds app \nxAdd_recs xdds \nxdd xAdd_recs " << b << "\nfft_zero nowhere 3";
  const struct {
    const char* what;
    fs::path project;
    std::string message;
  } rows[] = {
      {"a record whose parent is nowhere", dir / "damaged.PRJ",
       "Project file " + (dir / "damaged.PRJ").string() + " is damaged near: fft_zero"},
      {"a project that does not exist", dir / "none.PRJ", (dir / "none.PRJ").string() + ": Cannot open file"},
  };
  for (const auto& r : rows) {
    load(r.project);
    EXPECT_EQ(shown(r.message), 1) << r.what;
    EXPECT_TRUE(kept) << r.what << ": the loaded file stays";
    EXPECT_EQ(file_count(), 1) << r.what;
    EXPECT_EQ(project(), "") << r.what;
  }
}

TEST_F(Projects, SavingProposesTheFirstFilesNameAndNeedsDataAndANewFileMayBeChosen) {
  app->command(command_id::save_project_as);
  EXPECT_TRUE(screen.file_requests().empty()) << "nothing loaded: no dialog";
  EXPECT_TRUE(messages().empty());
  EXPECT_FALSE(screen.user_enabler(command_id::save_project_as).enabled);
  EXPECT_TRUE(screen.user_enabler(command_id::load_project).enabled);

  session->load_file(scan("first.xdd"));
  session->load_file(scan("second.xdd"));
  EXPECT_TRUE(screen.user_enabler(command_id::save_project_as).enabled);
  screen.queue_file_cancel();
  app->command(command_id::save_project_as);
  ASSERT_EQ(screen.file_requests().size(), 1u);
  const platform_types::file_request& asked = screen.file_requests().back();
  EXPECT_EQ(asked.file, (dir / "first.PRJ").string());
  EXPECT_EQ(asked.caption, "Save Project File");
  EXPECT_TRUE(asked.save);
  EXPECT_FALSE(asked.file_must_exist) << "a new project must be possible";
  EXPECT_EQ(project(), "") << "a cancelled save sets no project";

  save_as(dir / "new.PRJ");
  EXPECT_TRUE(fs::exists(dir / "new.PRJ"));
  EXPECT_EQ(screen.status_text(status_gadget::project), (dir / "new.PRJ").string()) << "the status bar follows";
}

TEST_F(Projects, UnloadingTheLastFileForgetsTheProject) {
  session->load_file(scan("a.xdd"));
  save_as(dir / "p.PRJ");
  make_dirty();
  EXPECT_EQ(dirty(), 1);
  app->command(command_id::unload_data);
  EXPECT_EQ(file_count(), 0);
  EXPECT_EQ(project(), "");
  EXPECT_EQ(dirty(), 0);
  EXPECT_EQ(screen.status_text(status_gadget::project), " ");
  make_dirty();
  EXPECT_EQ(dirty(), 0) << "no project, nothing to modify";
}

TEST_F(Projects, AtCloseDownAModifiedProjectIsOfferedAndACancelledSaveKeepsTheApplicationOpen) {
  session->load_file(scan("a.xdd"));
  save_as(dir / "p.PRJ");
  make_dirty();
  screen.queue_yes_no(yes_no_reply::yes);
  screen.queue_file_cancel();
  EXPECT_FALSE(app->can_close());
  EXPECT_EQ(screen.questions().back().text,
            "Project : " + (dir / "p.PRJ").string() + " has been Modified.\n Do you want to save it ?");
  EXPECT_EQ(file_count(), 1) << "nothing was unloaded";

  screen.queue_yes_no(yes_no_reply::no);
  EXPECT_TRUE(app->can_close()) << "declining the save closes";
  EXPECT_EQ(file_count(), 0);
}

// Why other saves fail, and that they change nothing, is among the save faults.
TEST_F(Projects, ABlankInADataFilesPathIsRefusedBeforeAskingForAName) {
  const std::string blank = scan("with blank.xdd");
  session->load_file(blank);
  app->command(command_id::save_project_as);
  EXPECT_EQ(shown("Cannot save a project with a blank in the data file path: " + blank), 1);
  EXPECT_TRUE(screen.file_requests().empty());
}

TEST_F(Projects, AUsersEditMarksTheProjectModifiedAndTheFileChangedButLoadingAProjectMarksNeither) {
  const std::string a = scan("a.xdd");
  const std::string b = scan("b.xdd");
  assoc_class* fa = session->load_file(a);
  session->load_file(b);
  option(fa, "", "fft_zero")->set_text_with_limits("21");
  EXPECT_TRUE(fa->is_changed());
  EXPECT_EQ(dirty(), 0) << "no project yet";
  save_as(dir / "p.PRJ");

  const struct {
    const char* what;
    const char* block;
    const char* name;
    std::string text;
  } rows[] = {
      {"the origin", "", "fft_zero", "21.5"},
      {"the transform length", "", "fBreq_doubler", "2"},
      {"a left tail coefficient", "ex_l_consts", "eBxtr_a2", "0.25"},
      {"a right tail switch", "ex_r_consts", "eBxtr_a1_use", "1"},
      {"the reference profile", "", "ref_prof", b},
  };
  for (const auto& r : rows) {
    find(*app, "set_proj_dirty")->set_int(0);
    fa->set_changed(false);
    option(fa, r.block, r.name)->set_text_with_limits(r.text.c_str());
    EXPECT_EQ(dirty(), 1) << r.what;
    EXPECT_TRUE(fa->is_changed()) << r.what;
  }

  screen.queue_yes_no(yes_no_reply::yes);  // replace the open project
  screen.queue_yes_no(yes_no_reply::yes);  // unload the modified file
  load(dir / "p.PRJ");
  ASSERT_EQ(file_count(), 2);
  EXPECT_STREQ(option(loaded(0), "", "fft_zero")->get_text(), "21.0000") << "the saved value, not the later edits";
  EXPECT_EQ(dirty(), 0);
  EXPECT_FALSE(loaded(0)->is_changed());
  EXPECT_FALSE(loaded(1)->is_changed());
}

// The paths a project writes and reads, on their own.
TEST(ProjectPaths, EveryPathIsWrittenInFullWhereverTheProjectIs) {
  const std::string cwd = fs::current_path().lexically_normal().string();
  const struct {
    const char* what;
    std::string path;
    std::string written;
  } rows[] = {
      {"an absolute path as it is", "/data/proj/a.xdd", "/data/proj/a.xdd"},
      {"dots in the path are resolved", "/data/proj/x/../a.xdd", "/data/proj/a.xdd"},
      {"a path relative to the working folder is made absolute", "scans/a.xdd", cwd + "/scans/a.xdd"},
      {"an empty path stays empty", "", ""},
  };
  for (const auto& r : rows) EXPECT_EQ(absolute_path(r.path), r.written) << r.what;
}

TEST(ProjectPaths, OnlyTheDataFileAndReferenceRecordsAreMappedAndEverythingElseIsKept) {
  const std::string cwd = fs::current_path().lexically_normal().string();
  const std::string held =
      "\nxdds app \nxAdd_recs xdds \nxdd xAdd_recs a.xdd\r\nref_prof xdd /data/proj/../b.xdd"
      "\nfft_zero xdd 2.0000\nhint_text xdd c.xdd\nxdd xAdd_recs /data/b.xdd\nref_prof xdd ~";
  const std::string written = "\nxdds app \nxAdd_recs xdds \nxdd xAdd_recs " + cwd +
                              "/a.xdd\r\nref_prof xdd /data/b.xdd"
                              "\nfft_zero xdd 2.0000\nhint_text xdd c.xdd\nxdd xAdd_recs /data/b.xdd\nref_prof xdd ~";
  EXPECT_EQ(records_for_project(held), written) << "a line end of the file's own system stays";
}

}  // namespace
