#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/shell/application_session.h"
#include "app/shell/menu_commands.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "xrd/chain/ref_prof_3.h"
#include "xrd/curves/xy_data_3.h"
#include "../workbench_fixture.h"

namespace {

namespace fs = std::filesystem;

// A project names only files that are on disk: the lines a person captured
// are saved (as a person names them) before the project that refers to them.
class SavedFiles : public Workbench {
 protected:
  // Two measured lines shown in one focused view, as after Load Data.
  void load_iron_and_lab6() {
    iron = session->load_file(scan("iron.xdd", 30));
    lab6 = session->load_file(scan("lab6.xdd", 30));
    ASSERT_TRUE(iron && lab6);
    TDrawView* v = app->new_graph_view();
    v->add_file(iron);
    v->add_file(lab6);
    v->show_all();
  }
  // A press on the observed curve in capture mode, the name chosen.
  assoc_class* capture(assoc_class* file, const std::string& name) {
    screen.queue_files({(dir / name).string()});
    return find(*app, "capture")->execute_with(find(*file, "xy_yobs"));
  }
  std::string path_of(assoc_class* file) { return get_text_named(*file, "xDdd_path_name"); }
  std::string project() { return get_text_named(*app, "pDroj_path_name"); }
  // The file dialogs shown from the `from`-th on: whether each saves, and
  // the file it proposed.
  std::vector<std::string> asked_files(std::size_t from = 0) {
    std::vector<std::string> out;
    for (std::size_t i = from; i < screen.file_requests().size(); ++i) {
      const auto& r = screen.file_requests()[i];
      out.push_back(r.caption.substr(0, r.caption.find(' ', 5)) + ": " + r.file);
    }
    return out;
  }

  assoc_class* iron = nullptr;
  assoc_class* lab6 = nullptr;
};

TEST_F(SavedFiles, AProjectSavedAfterACaptureReloadsTheCapturedLine) {
  load_iron_and_lab6();
  assoc_class* fe110 = capture(iron, "gui_fe110.xdd");
  assoc_class* line = capture(lab6, "gui_lab6.xdd");
  ASSERT_TRUE(fe110 && line);
  find(*fe110, "ref_prof")->set_text(path_of(line).c_str());
  find(*fe110, "fBft_f2_lim")->set_double(9);
  const std::size_t captures = screen.file_requests().size();

  // The captured iron line keeps its name; the LaB6 line is given another,
  // and the iron line's reference follows it there.
  screen.queue_files({(dir / "gui_fe110.xdd").string()});
  screen.queue_files({(dir / "instrument.xdd").string()});
  screen.queue_files({(dir / "p.PRJ").string()});
  app->command(command_id::save_project_as);
  EXPECT_EQ(asked_files(captures), (std::vector<std::string>{"Save File: " + (dir / "gui_fe110.xdd").string(),
                                                             "Save File: " + (dir / "gui_lab6.xdd").string(),
                                                             "Save Project: " + (dir / "iron.PRJ").string()}))
      << "each captured line first, its captured name proposed";
  ASSERT_EQ(project(), (dir / "p.PRJ").string());
  EXPECT_TRUE(fs::exists(dir / "gui_fe110.xdd"));
  EXPECT_TRUE(fs::exists(dir / "instrument.xdd"));
  EXPECT_FALSE(fs::exists(dir / "gui_lab6.xdd"));
  EXPECT_FALSE(fe110->is_changed()) << "a saved line is no longer modified";

  screen.queue_yes_no(yes_no_reply::yes);  // replace the open project
  screen.queue_files({(dir / "p.PRJ").string()});
  app->command(command_id::load_project);
  EXPECT_TRUE(messages().empty()) << "no file is missing: " << (messages().empty() ? "" : messages().front());
  ASSERT_EQ(file_count(), 4);
  assoc_class* reloaded = files()->child(2);
  EXPECT_EQ(path_of(reloaded), (dir / "gui_fe110.xdd").string());
  EXPECT_EQ(find(*reloaded, "fBft_f2_lim")->get_double(), 9) << "the deconvolution setup comes back";
  auto* reference = dynamic_cast<ref_prof_3*>(find(*reloaded, "ref_prof"));
  ASSERT_NE(reference, nullptr);
  EXPECT_EQ(reference->reference_file(), files()->child(3));
  EXPECT_EQ(path_of(files()->child(3)), (dir / "instrument.xdd").string());
}

TEST_F(SavedFiles, CancellingTheSaveOfAnUnwrittenFileCancelsTheProjectSave) {
  const struct {
    const char* what;
    int saved_before_cancel;
  } rows[] = {
      {"the first captured line's save cancelled", 0},
      {"the second captured line's save cancelled", 1},
  };
  load_iron_and_lab6();
  capture(iron, "fe_a.xdd");
  capture(lab6, "lab6_a.xdd");
  for (const auto& r : rows) {
    for (int i = 0; i < r.saved_before_cancel; ++i) screen.queue_files({(dir / "fe_a.xdd").string()});
    screen.queue_file_cancel();
    app->command(command_id::save_project_as);
    EXPECT_EQ(screen.pending_answers(), 0u) << r.what;
    EXPECT_NE(asked_files().back().rfind("Save File", 0), std::string::npos) << r.what << ": no project dialog";
    EXPECT_EQ(project(), "") << r.what;
    EXPECT_FALSE(fs::exists(dir / "iron.PRJ")) << r.what;
  }
  EXPECT_TRUE(fs::exists(dir / "fe_a.xdd")) << "what was saved stays saved";
}

TEST_F(SavedFiles, AFileGoneFromDiskSinceItWasLoadedIsSavedBeforeTheProject) {
  load_iron_and_lab6();
  fs::remove(dir / "lab6.xdd");
  screen.queue_files({(dir / "lab6.xdd").string()});
  screen.queue_files({(dir / "p.PRJ").string()});
  app->command(command_id::save_project_as);
  EXPECT_TRUE(fs::exists(dir / "lab6.xdd"));
  EXPECT_TRUE(fs::exists(dir / "p.PRJ"));
  EXPECT_EQ(screen.file_requests().size(), 2u) << "the file still on disk is not asked about";
}

TEST_F(SavedFiles, TheBatchToolRefusesToSaveAProjectNamingAFileNotOnDisk) {
  load_iron_and_lab6();
  capture(iron, "only_in_memory.xdd");
  std::ostringstream err;
  EXPECT_FALSE(session->save_project((dir / "p.PRJ").string(), err));
  EXPECT_EQ(err.str(), (dir / "only_in_memory.xdd").string() +
                           ": not written to disk; save it before saving a project that names it\n");
  EXPECT_FALSE(fs::exists(dir / "p.PRJ"));
  EXPECT_EQ(screen.pending_answers(), 0u) << "nothing was asked";
}

TEST_F(SavedFiles, PlainSaveProjectWritesToTheProjectsOwnFileWithoutAsking) {
  EXPECT_FALSE(screen.user_enabler(command_id::save_project).enabled) << "with no data there is nothing to save";
  load_iron_and_lab6();
  EXPECT_TRUE(screen.user_enabler(command_id::save_project).enabled);
  // Without a project it asks for a name as Save Project As does.
  screen.queue_files({(dir / "p.PRJ").string()});
  app->command(command_id::save_project);
  ASSERT_EQ(screen.file_requests().size(), 1u);
  EXPECT_EQ(screen.file_requests().back().caption, "Save Project File");
  ASSERT_EQ(project(), (dir / "p.PRJ").string());

  find(*iron, "fBft_f2_lim")->set_text_with_limits("7");
  ASSERT_EQ(get_int_named(*app, "set_proj_dirty"), 1);
  app->command(command_id::save_project);
  EXPECT_EQ(screen.file_requests().size(), 1u) << "no dialog the second time";
  EXPECT_NE(contents(dir / "p.PRJ").find("\nfBft_f2_lim xdd 7.0000"), std::string::npos) << contents(dir / "p.PRJ");
  EXPECT_EQ(get_int_named(*app, "set_proj_dirty"), 0);

  // At close-down a modified project is still offered through the dialog.
  find(*iron, "fBft_f2_lim")->set_text_with_limits("8");
  screen.queue_yes_no(yes_no_reply::yes);
  screen.queue_file_cancel();
  EXPECT_FALSE(app->can_close());
  EXPECT_EQ(screen.file_requests().back().caption, "Save Project File");
  EXPECT_EQ(file_count(), 2);
}

}  // namespace
