#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../../template/loaded_templates.h"
#include "app/dialogs/dialog_classes.h"
#include "app/dialogs/history_dlg_3.h"
#include "app/dialogs/hlp_dlg_3.h"
#include "app/dialogs/lb_opts_2.h"
#include "app/dialogs/open_save_3.h"
#include "app/dialogs/opts_a_3.h"
#include "app/headless/headless_platform.h"
#include "core/paths.h"
#include "template/tem_node_3.h"

namespace {

using strings = std::vector<std::string>;
const auto main_window = platform_types::window_ref::main_window();

// Each script leaves a mark under "mAruns", so a test can count how often it
// ran; the list box classes write their choice into "tBrace".
const char* const templates =
    "start_templates\n"
    "{#app ;\n"
    "   app _tem_plate #app ;\n"
    "      mAruns ;\n"
    "         mAopts_ran ;\n"
    "         mAhelp_ran ;\n"
    "         mAasked ;\n"
    "         mAtold ;\n"
    "         mAchosen ;\n"
    "      AtBrace _char* ;\n"
    "      AcBan_close _char* ;\n"
    "      opts_a _on_execution { p mAopts_ran } ;\n"
    "      history_dlg ;\n"
    "      hlp_dlg _on_execution { p mAhelp_ran } ;\n"
    "      Ayes_no_dlg _char* _on_execution { p mAasked } ;\n"
    "      Aok_message _char* _on_execution { p mAtold } ;\n"
    "      open_save _on_execution { p mAchosen } ;\n"
    "}\n"
    "{#not_in_tem ;\n"
    "}\n";

std::string help_directory() {
  static const std::string dir =
      (std::filesystem::temp_directory_path() / ("xrdf_help_" + std::to_string(::getpid()))).string() + "/";
  return dir;
}

// The options list: three lines, the third without a class word; the second is the default.
std::string outside_records(bool modal_options) {
  return R"~(start_out_side_recs {
  {"app_name" {"XRD Fourier Workbench"}}
  {"history_dlg" {"resid" {"4232"}} {"parent" {"main_win"}}}
  {"hlp_dlg" {"resid" {"4237"}} {"parent" {"opts_a"}}}
  {"open_save" {"def_ext" {"XDD"}} {"def_ext_star" {"*.XDD"}} {"ext_all" {"CPI TXT"}}
               {"caption" {"Load Data File(s)"}} {"save" {"0"}} {"flag_num" {"1"}}}
  {"opts_a" {"resid" {"4148"}} {"parent" {"main_win"}}
     {"lbs" {"lb" {"name" {"opts_lb"}} {"resid" {"4149"}} {"items" {"Fourier|options Peak|measures Nothing"}}
                 {"classes" {"j|tBrace|fourier j|tBrace|peaks"}} {"def_sel" {"1"}}}})~" +
         std::string(modal_options ? R"({"modal"})" : "") + "}\n  {\"win_misc\" {\"root_directory\" {\"" +
         help_directory() + "\"}}}\n}\n";
}

class Dialogs : public ::testing::Test {
 protected:
  explicit Dialogs(bool modal_options = false)
      : t(templates, outside_records(modal_options)),
        previous_platform(set_platform(&screen)),
        previous_reporter(install_platform_reporter()) {
    register_dialog_classes();
    app.set_tem(template_tree().top_level("#app")->find_child("app"));
    root.add_child(&app);
    std::filesystem::create_directories(help_directory());
  }
  ~Dialogs() override {
    app.detach_from_parent();
    set_error_reporter(previous_reporter);
    set_platform(previous_platform);
    std::filesystem::remove_all(help_directory());
  }

  struct app_node : assoc_class {
    const char* class_name() const override { return "app"; }
  };

  int runs(const char* mark) {
    assoc_class* all = find(app, "mAruns");
    int n = 0;
    for (int i = 0; i < all->child_count(); ++i) n += all->child(i)->is_named(mark) ? 1 : 0;
    return n;
  }
  std::string choice() { return get_text_named(app, "tBrace"); }
  template <class T>
  T& object(const char* name) {
    return dynamic_cast<T&>(*find(app, name));
  }
  void application_closes() { find(app, "cBan_close"); }

  loaded_templates t;
  headless_platform screen;
  platform* previous_platform;
  error_reporter* previous_reporter;
  top_3 root;
  app_node app;
};

TEST_F(Dialogs, AQuestionAsksUnderTheAppNameKeepsTheAnswerAsYOrNAndFailsUnanswered) {
  assoc_class& question = *find(app, "yes_no_dlg");
  const std::pair<yes_no_reply, const char*> rows[] = {
      {yes_no_reply::yes, "Y"}, {yes_no_reply::no, "N"}, {yes_no_reply::escape, "N"}};
  for (auto [reply, value] : rows) {
    question.set_text("File : /a.xdd has been Modified.\n Unload Anyway ?");
    screen.queue_yes_no(reply);
    question.execute();
    EXPECT_STREQ(question.get_text(), value) << "reply " << static_cast<int>(reply) << " (2: Escape)";
  }
  ASSERT_EQ(screen.questions().size(), 3u);
  EXPECT_EQ(screen.questions()[2].caption, "XRD Fourier Workbench");
  EXPECT_EQ(screen.questions()[2].text, "File : /a.xdd has been Modified.\n Unload Anyway ?");
  EXPECT_EQ(runs("mAasked"), 3) << "the execution script runs whatever the answer";

  question.set_text("Project File : /p.prj already loaded.");
  try {
    question.execute();
    FAIL() << "an unanswered question must not be answered by itself";
  } catch (const unanswered_question& e) {
    EXPECT_NE(std::string(e.what()).find("Project File : /p.prj already loaded."), std::string::npos) << e.what();
  }
  EXPECT_STREQ(question.get_text(), "Project File : /p.prj already loaded.");
  EXPECT_EQ(runs("mAasked"), 3);
}

TEST_F(Dialogs, AScriptMessageShowsBarsAsBlanksAndKeepsItsOwnText) {
  assoc_class& message = *find(app, "ok_message");
  message.set_text("Reference|profile|missing");
  message.execute();
  EXPECT_TRUE(screen.called("message warning 'XRD Fourier Workbench' 'Reference profile missing'"));
  EXPECT_STREQ(message.get_text(), "Reference|profile|missing");
  EXPECT_EQ(runs("mAtold"), 1);
}

TEST(FileDialogTexts, FilterListsTheFirstEntryThenOneEntryPerExtension) {
  const char* const rows[][4] = {
      {"XDD", "*.XDD", "CPI TXT", "XDD Files (*.XDD)|*.XDD|CPI Files (*.CPI)|*.CPI|TXT Files (*.TXT)|*.TXT|"},
      {"XDD", "*.XDD", "  CPI \n TXT ", "XDD Files (*.XDD)|*.XDD|CPI Files (*.CPI)|*.CPI|TXT Files (*.TXT)|*.TXT|"},
      {"PRJ", "*.PRJ", "", "PRJ Files (*.PRJ)|*.PRJ|"},
      // A save dialog shows the proposed path in the first entry.
      {"XDD", "/data/run 1/a.XDD", "XDD", "XDD Files (*.XDD)|/data/run 1/a.XDD|XDD Files (*.XDD)|*.XDD|"}};
  for (auto r : rows) EXPECT_EQ(open_save_3::filter_text(r[0], r[1], r[2]), r[3]) << "extensions '" << r[2] << "'";
}

TEST(FileDialogTexts, SelectionPathsJoinTheDirectoryAndEachNameWithASlash) {
  const std::pair<const char*, strings> rows[] = {{"/data b.xdd c.cpi", {"/data/b.xdd", "/data/c.cpi"}},
                                                  {"/data/ b.xdd c.cpi", {"/data/b.xdd", "/data/c.cpi"}},
                                                  {"/ a.xdd b.xdd", {"/a.xdd", "/b.xdd"}},
                                                  {"/data/a.xdd", {"/data/a.xdd"}},
                                                  {"", {}}};
  for (const auto& [text, paths] : rows) EXPECT_EQ(open_save_3::selection_paths(text), paths) << "'" << text << "'";
}

TEST_F(Dialogs, ExecutingTheRecordRunsTheDialogItsDescriptionDescribes) {
  auto& record = object<open_save_3>("open_save");
  screen.queue_file_failure();
  EXPECT_EQ(record.execute(), nullptr);
  EXPECT_TRUE(screen.called("message error 'XRD Fourier Workbench' 'Error in File OpenSave dialog.\n'"));
  EXPECT_TRUE(record.chosen_paths().empty()) << "a failed dialog chooses nothing";
  EXPECT_EQ(runs("mAchosen"), 0);

  screen.queue_files({"/data/a.XDD"});
  EXPECT_EQ(record.execute(), &record);
  const platform_types::file_request& r = screen.file_requests().back();
  EXPECT_EQ(r.caption, "Load Data File(s)");
  EXPECT_TRUE(!r.save && r.multiple && r.file_must_exist) << "flag set 1: open several files that exist";
  EXPECT_EQ(r.default_extension, "XDD");
  EXPECT_EQ(r.file, "") << "a wildcard pattern proposes no file";
  strings filters;
  for (const auto& f : r.filters) filters.push_back(f.name + "|" + f.pattern);
  EXPECT_EQ(filters, (strings{"XDD Files (*.XDD)|*.XDD", "CPI Files (*.CPI)|*.CPI", "TXT Files (*.TXT)|*.TXT"}));
  EXPECT_EQ(runs("mAchosen"), 1);

  screen.queue_file_cancel();
  EXPECT_EQ(record.execute(), nullptr);
  EXPECT_EQ(runs("mAchosen"), 1) << "a cancelled dialog runs no script";
  EXPECT_EQ(record.last_file(), "/data/a.XDD") << "cancelling keeps the last choice";
}

TEST_F(Dialogs, TheLastDirectoryIsKeptFromTheChoiceAndOfferedNextTime) {
  auto& record = object<open_save_3>("open_save");
  const struct {
    strings chosen;
    const char* directory;
    const char* file_text;
  } rows[] = {{{"/data/scans/a.xdd"}, "/data/scans", "/data/scans/a.xdd"},
              {{"/a.xdd"}, "/", "/a.xdd"},
              {{"/data/run 1/a.xdd"}, "/data/run 1", "/data/run 1/a.xdd"},
              {{"/data/b.xdd", "/data/c.cpi"}, "/data", "/data b.xdd c.cpi"}};  // the directory, then the names
  for (const auto& c : rows) {
    screen.queue_files(c.chosen);
    ASSERT_EQ(record.run_dialog(open_save_3::flag_set(1), "*.XDD", "", "XDD", &record, main_window, "Load", false), 1);
    EXPECT_EQ(record.last_directory(), c.directory) << c.file_text;
    EXPECT_EQ(record.last_file(), c.file_text);
    EXPECT_EQ(record.chosen_paths(), c.chosen) << c.file_text;
    screen.queue_file_cancel();
    record.run_dialog(open_save_3::flag_set(0), "*.XDD", "", "XDD", &record, main_window, "Again", false);
    EXPECT_EQ(screen.file_requests().back().directory, c.directory) << c.file_text;
  }
}

TEST_F(Dialogs, TheCloseBoxHidesAModelessDialogAndTheNextExecutionShowsTheSameWindow) {
  auto& options = object<opts_a_3>("opts_a");
  options.execute();
  const platform::dialog_id d = options.window();
  ASSERT_NE(d, 0);
  EXPECT_TRUE(screen.called("create_dialog " + std::to_string(d) + " 4148 'Options'"));
  EXPECT_TRUE(screen.dialog_shown(d));
  EXPECT_FALSE(screen.dialog(d)->modal);
  screen.user_closes_dialog(d);
  EXPECT_FALSE(screen.dialog_shown(d));
  EXPECT_TRUE(screen.dialog(d)->exists) << "hidden, not destroyed";
  options.execute();
  EXPECT_TRUE(screen.dialog_shown(d));
  EXPECT_EQ(screen.last_dialog(), d) << "no second window";
  EXPECT_EQ(runs("mAopts_ran"), 2);

  options.set_text("hide");
  options.execute();
  EXPECT_FALSE(screen.dialog_shown(d)) << "the hide mode hides";
  EXPECT_STREQ(options.get_text(), "") << "and is cleared";
  EXPECT_EQ(runs("mAopts_ran"), 3) << "hiding runs the script too";
  options.execute();
  EXPECT_TRUE(screen.dialog_shown(d));

  application_closes();
  screen.user_closes_dialog(d);
  EXPECT_FALSE(screen.dialog(d)->exists) << "while the application closes, the close box destroys the window";
  EXPECT_EQ(options.window(), 0);
  options.execute();
  EXPECT_NE(options.window(), d) << "a closed dialog gets a new window";
}

TEST_F(Dialogs, FillingTheListShowsBarsAsBlanksAndActsOnTheDefaultLineOnce) {
  auto& options = object<opts_a_3>("opts_a");
  options.execute();
  const platform::dialog_id d = options.window();
  EXPECT_EQ(screen.list_lines(d, 4149), (strings{"Fourier options", "Peak measures", "Nothing"}));
  EXPECT_EQ(screen.list_caret(d, 4149), 1);
  EXPECT_EQ(choice(), "peaks") << "the default line's class word ran with the list box as context";
  ASSERT_NE(options.list_box(4149), nullptr);
  EXPECT_STREQ(options.list_box(4149)->class_name(), "opts_lb");
  screen.user_selects(d, 4149, 0);
  EXPECT_EQ(choice(), "fourier");
  find(app, "tBrace")->set_text("untouched");
  screen.user_selects(d, 4149, 2);
  EXPECT_EQ(choice(), "untouched") << "a line without a class word does nothing";
}

class ModalDialogs : public Dialogs {
 protected:
  ModalDialogs() : Dialogs(true) {}
};

TEST_F(ModalDialogs, RunTheScriptOnlyOnOkInAFreshWindowAndReselectTheLastChoiceWithoutActingOnIt) {
  auto& options = object<opts_a_3>("opts_a");
  try {
    options.execute();
    FAIL() << "an unanswered dialog must not be answered by itself";
  } catch (const unanswered_question& e) {
    EXPECT_NE(std::string(e.what()).find("Options"), std::string::npos) << e.what();
  }
  EXPECT_EQ(options.window(), 0);
  EXPECT_FALSE(screen.dialog(screen.last_dialog())->exists) << "an unanswered run leaves no window";

  screen.queue_modal(false);
  EXPECT_EQ(options.execute(), nullptr);
  EXPECT_EQ(runs("mAopts_ran"), 0);
  const platform::dialog_id first = screen.last_dialog();
  EXPECT_TRUE(screen.dialog(first)->modal);
  EXPECT_FALSE(screen.dialog(first)->exists) << "the window goes when the run ends";
  screen.queue_modal(true, [&](platform::dialog_id d) { screen.user_selects(d, 4149, 0); });
  EXPECT_EQ(options.execute(), &options);
  EXPECT_EQ(runs("mAopts_ran"), 1);
  EXPECT_NE(screen.last_dialog(), first);
  EXPECT_EQ(choice(), "fourier");

  find(app, "tBrace")->set_text("untouched");
  int caret = -1;
  screen.queue_modal(false, [&](platform::dialog_id d) { caret = screen.list_caret(d, 4149); });
  options.execute();
  EXPECT_EQ(caret, 0) << "the line chosen last, not the default";
  EXPECT_EQ(choice(), "untouched") << "refilling the list acts on nothing";
}

TEST_F(Dialogs, ADialogWhoseResourceIsUnknownIsReportedAndNotShown) {
  string_in records(R"(start_out_side_recs { {"app_name" {"XRD Fourier Workbench"}} {"opts_a" {"resid" {"999"}}} })");
  records.set_comment_mode(true);
  replace_outside_records(records);
  auto& options = object<opts_a_3>("opts_a");
  EXPECT_EQ(options.execute(), nullptr);
  EXPECT_TRUE(screen.called("message error 'XRD Fourier Workbench' 'No dialog resource 999 for opts_a'"));
  EXPECT_EQ(screen.last_dialog(), 0);
  EXPECT_EQ(runs("mAopts_ran"), 0);
}

TEST_F(Dialogs, AParentNamedInTheDescriptionOwnsTheDialogOnceItHasAWindow) {
  auto& help = object<hlp_dlg_3>("hlp_dlg");
  help.execute();
  EXPECT_EQ(screen.dialog(help.window())->parent, main_window) << "the parent has no window yet";
  auto& options = object<opts_a_3>("opts_a");
  options.execute();
  application_closes();
  screen.user_closes_dialog(help.window());
  help.execute();
  EXPECT_EQ(screen.dialog(help.window())->parent, platform_types::window_ref::dialog(options.window()));
}

TEST_F(Dialogs, HelpShowsTheFileWithEveryLineEndingInCrLfAndReportsAMissingOne) {
  std::ofstream(help_directory() + "hlp", std::ios::binary) << "Keys:\n h  FWHM\r\n c  Centroid's line\nlast line";
  auto& help = object<hlp_dlg_3>("hlp_dlg");
  const std::string expected = "Keys:\r\n h  FWHM\r\n c  Centroid's line\r\nlast line";
  for (int shown = 1; shown <= 2; ++shown) {
    help.execute();
    EXPECT_EQ(screen.edit_text(help.window(), 4238), expected) << "shown " << shown << " times, one copy";
  }
  EXPECT_EQ(screen.dialog(help.window())->caption, "Help");
  const auto& controls = screen.dialog(help.window())->controls;
  const auto text = std::find_if(controls.begin(), controls.end(), [](const auto& c) { return c.id == 4238; });
  ASSERT_NE(text, controls.end());
  EXPECT_TRUE(text->read_only && text->vertical_scroll) << "the help can be read and scrolled, not changed";
  EXPECT_EQ(runs("mAhelp_ran"), 2);

  std::filesystem::remove(help_directory() + "hlp");
  help.execute();
  EXPECT_TRUE(screen.called("message error 'XRD Fourier Workbench' '" + help_directory() + "hlp: Cannot open file'"));
  EXPECT_EQ(screen.edit_text(help.window(), 4238), "");
  EXPECT_TRUE(screen.dialog_shown(help.window()));
}

TEST_F(Dialogs, TemporaryOutputAppendsEachLineAndShowsItselfWithEverythingWrittenBefore) {
  auto& history = object<history_dlg_3>("history_dlg");
  history.set_text("FWHM = 0.1234");
  const platform::dialog_id d = history.window();
  ASSERT_NE(d, 0);
  EXPECT_TRUE(screen.dialog_shown(d)) << "a result nobody sees is lost";
  history.set_text("Area = 12.500");
  EXPECT_EQ(screen.edit_text(d, 4233), "FWHM = 0.1234\r\nArea = 12.500\r\n");
  application_closes();
  screen.user_closes_dialog(d);
  history.execute();
  EXPECT_EQ(screen.edit_text(history.window(), 4233), "FWHM = 0.1234\r\nArea = 12.500\r\n")
      << "a new window starts with what was written";
}

}  // namespace
