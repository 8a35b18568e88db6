#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/project/project_paths.h"
#include "app/shell/menu_commands.h"
#include "xrd/chain/ref_prof_3.h"
#include "../../cli/batch_runner.h"
#include "../workbench_fixture.h"

namespace {

namespace fs = std::filesystem;

class MovedProjects : public Workbench {
 protected:
  void load_project(const fs::path& path) {
    if (file_count() > 0) screen.queue_yes_no(yes_no_reply::yes);  // replace the open project
    screen.queue_files({path.string()});
    app->command(command_id::load_project);
  }
  std::vector<std::string> loaded_paths() {
    std::vector<std::string> paths;
    for (int i = 0; i < file_count(); ++i) paths.push_back(get_text_named(*files()->child(i), "xDdd_path_name"));
    return paths;
  }
  std::string description(int i) {
    assoc_class* hint = find(*files()->child(i), "hint_text");
    hint->execute();
    return hint->get_text();
  }
  // A project of a.xdd (beside it) and scans/b.xdd, a's reference, saved in
  // dir/old; answers the paths it holds.
  void save_old_project() {
    fs::create_directories(dir / "old" / "scans");
    assoc_class* a = session->load_file(scan("old/a.xdd"));
    assoc_class* b = session->load_file(scan("old/scans/b.xdd", 12));
    ASSERT_TRUE(a && b);
    find(*a, "ref_prof")->set_text(get_text_named(*b, "xDdd_path_name"));
    find(*a, "fBft_f2_lim")->set_double(5);
    screen.queue_files({(dir / "old" / "p.PRJ").string()});
    app->command(command_id::save_project_as);
    ASSERT_TRUE(fs::exists(dir / "old" / "p.PRJ"));
  }
};

TEST_F(MovedProjects, AProjectTakesItsFilesWhereItNamedThemElseFindsThemBesideItAndSaysSo) {
  save_old_project();
  // A file of the same name beside a copy of the project is not taken while
  // the named one is there.
  fs::create_directories(dir / "copy");
  fs::copy(dir / "old" / "p.PRJ", dir / "copy" / "p.PRJ");
  scan("copy/a.xdd", 20);
  load_project(dir / "copy" / "p.PRJ");
  EXPECT_EQ(loaded_paths(), (std::vector<std::string>{(dir / "old" / "a.xdd").string(),
                                                      (dir / "old" / "scans" / "b.xdd").string()}));
  EXPECT_EQ(description(0).find("found here"), std::string::npos) << description(0);

  // The project and its two files copied flat into a new folder, the old
  // folder gone.
  fs::create_directories(dir / "new");
  for (const char* name : {"p.PRJ", "a.xdd", "scans/b.xdd"})
    fs::copy(dir / "old" / name, dir / "new" / fs::path(name).filename());
  fs::remove_all(dir / "old");

  load_project(dir / "new" / "p.PRJ");
  const std::string a = (dir / "new" / "a.xdd").string(), b = (dir / "new" / "b.xdd").string();
  ASSERT_EQ(loaded_paths(), (std::vector<std::string>{a, b}));
  EXPECT_TRUE(messages().empty()) << messages().front();
  EXPECT_EQ(find(*files()->child(0), "fBft_f2_lim")->get_double(), 5);
  auto* reference = dynamic_cast<ref_prof_3*>(find(*files()->child(0), "ref_prof"));
  EXPECT_EQ(reference->reference_file(), files()->child(1)) << "the reference is found the same way";
  const struct {
    int file;
    std::string recorded;
  } rows[] = {{0, (dir / "old" / "a.xdd").string()}, {1, (dir / "old" / "scans" / "b.xdd").string()}};
  for (const auto& r : rows)
    EXPECT_NE(description(r.file).find(", found here: the project named " + r.recorded + ", which is not there"),
              std::string::npos)
        << description(r.file);
}

TEST(RecordedPaths, APathThatNamesNothingIsLookedForBelowThenBesideTheProject) {
  const fs::path root = fresh_directory("located");
  fs::create_directories(root / "proj" / "scans");
  fs::create_directories(root / "proj" / "run1" / "scans");
  for (const char* name : {"proj/p.PRJ", "proj/a.xdd", "proj/scans/b.xdd", "proj/run1/scans/c.xdd", "proj/c.xdd"})
    std::ofstream(root / name) << "x";
  const std::string project = (root / "proj" / "p.PRJ").string();
  const std::string in = (root / "proj").string();
  std::string deep = "/gone";
  for (int i = 0; i < 2100; ++i) deep += "/x";
  const struct {
    const char* what;
    std::string recorded;
    std::string found;
    bool moved;
  } rows[] = {
      {"a path that names the file is kept", in + "/a.xdd", in + "/a.xdd", false},
      {"a relative path is taken from the project's folder", "scans/b.xdd", in + "/scans/b.xdd", false},
      {"a moved folder: the same place below the project", "/gone/data/scans/b.xdd", in + "/scans/b.xdd", true},
      {"the most folders that match win", "/gone/run1/scans/c.xdd", in + "/run1/scans/c.xdd", true},
      {"else beside the project", "/gone/elsewhere/a.xdd", in + "/a.xdd", true},
      {"nowhere: the path as written, for the message", "/gone/none.xdd", "/gone/none.xdd", false},
      {"a relative path found nowhere is named from the project's folder", "none.xdd", in + "/none.xdd", false},
      {"a path longer than any the system opens is not looked for", deep + "/a.xdd", deep + "/a.xdd", false},
  };
  for (const auto& r : rows) {
    const located_path l = locate_recorded_path(r.recorded, project);
    EXPECT_EQ(l.path, r.found) << r.what;
    EXPECT_EQ(l.moved, r.moved) << r.what;
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

TEST_F(MovedProjects, TheBundledDemoProjectOpensFromAnyCloneAndAnyWorkingFolder) {
  fs::create_directories(dir / "clone");
  fs::copy(XRDF_SOURCE_DIR "/resources/demo", dir / "clone" / "demo", fs::copy_options::recursive);
  fs::create_directories(dir / "elsewhere");
  const working_folder elsewhere(dir / "elsewhere");
  load_project(dir / "clone" / "demo" / "demo.prj");
  const std::string demo = (dir / "clone" / "demo").string();
  ASSERT_EQ(loaded_paths(), (std::vector<std::string>{demo + "/broadened.xdd", demo + "/instrument.xdd"}));
  EXPECT_TRUE(messages().empty()) << messages().front();
  auto* reference = dynamic_cast<ref_prof_3*>(find(*files()->child(0), "ref_prof"));
  EXPECT_EQ(reference->reference_file(), files()->child(1));
  EXPECT_EQ(description(0).find("found here"), std::string::npos) << "a relative path is where it belongs";
}

TEST_F(MovedProjects, AProjectWithFilesThatCannotBeLoadedSaysSoOnceListingThemAndLeavesOutTheirSettings) {
  const std::string a = scan("a.xdd"), b = scan("b.xdd"), c = scan("c.xdd");
  for (const std::string& f : {a, b, c}) session->load_file(f);
  find(*files()->child(0), "fBreq_doubler")->set_int(3);
  find(*find(*files()->child(0), "ex_r_consts"), "eBxtr_a2")->set_double(7);
  find(*files()->child(1), "fft_zero")->set_double(5.5);
  screen.queue_files({(dir / "p.PRJ").string()});
  app->command(command_id::save_project_as);
  fs::remove(a);
  fs::remove(c);
  const std::size_t before = messages().size();
  load_project(dir / "p.PRJ");
  EXPECT_EQ(loaded_paths(), std::vector<std::string>{b});
  ASSERT_EQ(messages().size(), before + 1) << "one box";
  const std::string box = messages().back();
  EXPECT_NE(box.find((dir / "p.PRJ").string() + ": 2 data files were not loaded; their settings are left out:"),
            std::string::npos)
      << box;
  for (const std::string& f : {a, c}) EXPECT_NE(box.find(f + ": Cannot open file"), std::string::npos) << box;
  assoc_class* kept = files()->child(0);
  EXPECT_EQ(get_double_named(*kept, "fft_zero"), 5.5);
  EXPECT_EQ(get_int_named(*kept, "fBreq_doubler"), 1) << "the template's default, not the first file's 3";
  EXPECT_EQ(get_double_named(*find(*kept, "ex_r_consts"), "eBxtr_a2"), 0);
}

using BatchProjects = BatchFolder;

TEST_F(BatchProjects, TheProjectCommandExitsOneNamingAFileItCouldNotLoad) {
  const std::string iron = scan("iron.xdd"), lab6 = scan("lab6.xdd");
  const run_result saved = run({"save-project", iron, "--ref", lab6, "-o", path("iron.prj")});
  ASSERT_EQ(saved.status, 0) << saved.err;
  fs::remove(lab6);
  const std::string report = path("report.txt");
  const run_result shown = run({"project", path("iron.prj"), "--show", "deconv", "-o", report});
  EXPECT_EQ(shown.status, 1);
  EXPECT_NE(shown.err.find(path("iron.prj") + ": a data file was not loaded; its settings are left out:\n" + lab6 +
                           ": Cannot open file"),
            std::string::npos)
      << shown.err;
  EXPECT_FALSE(fs::exists(report)) << "no report of part of the project";
}

TEST_F(BatchProjects, TheProjectCommandSaysWhichFilesItFoundBesideTheProject) {
  fs::create_directories(dir / "old" / "scans");
  const std::string iron = scan("old/iron.xdd"), lab6 = scan("old/scans/lab6.xdd");
  ASSERT_EQ(run({"save-project", iron, "--ref", lab6, "-o", path("old/iron.prj")}).status, 0);
  fs::create_directories(dir / "new");
  for (const char* name : {"iron.prj", "iron.xdd", "scans/lab6.xdd"})
    fs::copy(dir / "old" / name, dir / "new" / fs::path(name).filename());
  fs::remove_all(dir / "old");
  const run_result shown = run({"project", path("new/iron.prj"), "--show", "deconv"});
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.err, path("new/iron.xdd") + ": used in place of " + iron + ", which is not there\n" +
                           path("new/lab6.xdd") + ": used in place of " + lab6 + ", which is not there\n");
  const run_result direct = run({"report", path("new/iron.xdd"), "--ref", path("new/lab6.xdd"), "--show", "deconv"});
  EXPECT_EQ(shown.out, direct.out) << "the reference was found the same way";
}

}  // namespace
