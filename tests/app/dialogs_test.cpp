#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../template/loaded_templates.h"
#include "app/dialog_classes.h"
#include "app/headless_platform.h"
#include "app/history_dlg_3.h"
#include "app/hlp_dlg_3.h"
#include "app/lb_opts_2.h"
#include "app/open_save_3.h"
#include "app/opts_a_3.h"
#include "core/paths.h"
#include "io/string_in.h"
#include "template/all_templates_3.h"
#include "template/out_side_recs_3.h"
#include "template/tem_node_3.h"

namespace {

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

// The options list: three lines, the third without a class word; the second
// is the default.
std::string options_record(bool modal, const char* extra = "") {
  return std::string(
             "  {\"opts_a\" {\"resid\" {\"4148\"}} {\"parent\" {\"main_win\"}}\n"
             "     {\"lbs\" {\"lb\" {\"name\" {\"opts_lb\"}} {\"resid\" {\"4149\"}}\n"
             "                   {\"items\" {\"Fourier|options Peak|measures Nothing\"}}\n"
             "                   {\"classes\" {\"j|tBrace|fourier j|tBrace|peaks\"}}\n"
             "                   {\"def_sel\" {\"1\"}}}}\n") +
         (modal ? "     {\"modal\"}\n" : "") + extra + "  }\n";
}

std::string outside_records(bool modal_options, const std::string& help_directory = "/nonexistent/") {
  return "start_out_side_recs {\n"
         "  {\"app_name\" {\"XRD Fourier Workbench\"}}\n"
         "  {\"win_misc\" {\"root_directory\" {\"" +
         help_directory + "\"}}}\n" + options_record(modal_options) +
         "  {\"history_dlg\" {\"resid\" {\"4232\"}} {\"parent\" {\"main_win\"}}}\n"
         "  {\"hlp_dlg\" {\"resid\" {\"4237\"}} {\"parent\" {\"opts_a\"}}}\n"
         "  {\"open_save\" {\"def_ext\" {\"XDD\"}} {\"def_ext_star\" {\"*.XDD\"}} {\"ext_all\" {\"CPI TXT\"}}\n"
         "               {\"caption\" {\"Load Data File(s)\"}} {\"save\" {\"0\"}} {\"flag_num\" {\"1\"}}}\n"
         "}\n";
}

// The platform and its message boxes, installed for one test.
struct platform_installed {
  explicit platform_installed(platform* p)
      : previous(set_platform(p)), previous_reporter(install_platform_reporter()) {}
  ~platform_installed() {
    set_error_reporter(previous_reporter);
    set_platform(previous);
  }
  platform* previous;
  error_reporter* previous_reporter;
};

class Dialogs : public ::testing::Test {
 protected:
  explicit Dialogs(bool modal_options = false, const std::string& help_directory = "/nonexistent/")
      : t(templates, outside_records(modal_options, help_directory)), installed(&screen) {
    register_dialog_classes();
    app.set_tem(template_tree().top_level("#app")->find_child("app"));
    root.add_child(&app);
  }
  ~Dialogs() override { app.detach_from_parent(); }

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
  static void use_outside_records(const std::string& text) {
    string_in in(text.c_str());
    in.set_comment_mode(true);
    replace_outside_records(in);
  }
  template <class T>
  T& object(const char* name) {
    T* made = dynamic_cast<T*>(find(app, name));
    EXPECT_NE(made, nullptr) << name;
    return *made;
  }

  loaded_templates t;
  headless_platform screen;
  platform_installed installed;
  top_3 root;
  app_node app;
};

// --- yes/no and message boxes ---

struct reply_case {
  const char* name;
  yes_no_reply reply;
  const char* value;
};

void PrintTo(const reply_case& c, std::ostream* os) { *os << c.name; }

class YesNoQuestion : public Dialogs, public ::testing::WithParamInterface<reply_case> {};

TEST_P(YesNoQuestion, AsksTheTextUnderTheAppNameAndKeepsTheAnswerAsYOrN) {
  assoc_class& question = *find(app, "yes_no_dlg");
  question.set_text("File : /a.xdd has been Modified.\n Unload Anyway ?");
  screen.queue_yes_no(GetParam().reply);
  question.execute();
  EXPECT_STREQ(question.get_text(), GetParam().value);
  ASSERT_EQ(screen.questions().size(), 1u);
  EXPECT_EQ(screen.questions()[0].caption, "XRD Fourier Workbench");
  EXPECT_TRUE(screen.called("ask 'File : /a.xdd has been Modified.\n Unload Anyway ?'"));
  EXPECT_EQ(runs("mAasked"), 1) << "the execution script runs whatever the answer";
}

INSTANTIATE_TEST_SUITE_P(Replies, YesNoQuestion,
                         ::testing::Values(reply_case{"Yes", yes_no_reply::yes, "Y"},
                                           reply_case{"No", yes_no_reply::no, "N"},
                                           reply_case{"EscapeCountsAsNo", yes_no_reply::escape, "N"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Dialogs, AQuestionNobodyAnsweredFailsNamingItselfAndLeavesTheValue) {
  assoc_class& question = *find(app, "yes_no_dlg");
  question.set_text("Project File : /p.prj already loaded.");
  try {
    question.execute();
    FAIL() << "an unanswered question must not be answered by itself";
  } catch (const unanswered_question& e) {
    EXPECT_NE(std::string(e.what()).find("Project File : /p.prj already loaded."), std::string::npos) << e.what();
  }
  EXPECT_STREQ(question.get_text(), "Project File : /p.prj already loaded.");
  EXPECT_EQ(runs("mAasked"), 0);
}

TEST_F(Dialogs, AScriptMessageShowsBarsAsBlanksAndKeepsItsOwnText) {
  assoc_class& message = *find(app, "ok_message");
  message.set_text("Reference|profile|missing");
  message.execute();
  EXPECT_TRUE(screen.called("message warning 'XRD Fourier Workbench' 'Reference profile missing'"));
  EXPECT_STREQ(message.get_text(), "Reference|profile|missing");
  EXPECT_EQ(runs("mAtold"), 1);
}

// --- the file dialog record ---

struct filter_case {
  const char* name;
  const char* first_name;
  const char* first_pattern;
  const char* extensions;
  const char* text;
};

void PrintTo(const filter_case& c, std::ostream* os) { *os << c.name; }

class FilterText : public ::testing::TestWithParam<filter_case> {};

TEST_P(FilterText, ListsTheFirstEntryThenOneEntryPerExtension) {
  const filter_case& c = GetParam();
  EXPECT_EQ(open_save_3::filter_text(c.first_name, c.first_pattern, c.extensions), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, FilterText,
    ::testing::Values(filter_case{"OpenWithTwoMoreExtensions", "XDD", "*.XDD", "CPI TXT",
                                  "XDD Files (*.XDD)|*.XDD|CPI Files (*.CPI)|*.CPI|TXT Files (*.TXT)|*.TXT|"},
                      filter_case{"SaveShowsTheProposedPathInTheFirstEntry", "XDD", "/data/run 1/a.XDD", "XDD",
                                  "XDD Files (*.XDD)|/data/run 1/a.XDD|XDD Files (*.XDD)|*.XDD|"},
                      filter_case{"NoFurtherExtensions", "PRJ", "*.PRJ", "", "PRJ Files (*.PRJ)|*.PRJ|"},
                      filter_case{"ExtensionWordsSeparatedByAnyBlanks", "XDD", "*.XDD", "  CPI \n TXT ",
                                  "XDD Files (*.XDD)|*.XDD|CPI Files (*.CPI)|*.CPI|TXT Files (*.TXT)|*.TXT|"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Dialogs, ExecutingTheRecordRunsTheDialogItsDescriptionDescribes) {
  auto& record = object<open_save_3>("open_save");
  screen.queue_files({"/data/a.XDD"});
  EXPECT_EQ(record.execute(), &record);
  ASSERT_EQ(screen.file_requests().size(), 1u);
  const platform_types::file_request& r = screen.file_requests()[0];
  EXPECT_EQ(r.caption, "Load Data File(s)");
  EXPECT_FALSE(r.save);
  EXPECT_TRUE(r.multiple) << "flag set 1 allows several files";
  EXPECT_TRUE(r.file_must_exist);
  EXPECT_EQ(r.default_extension, "XDD");
  EXPECT_EQ(r.file, "") << "a wildcard pattern proposes no file";
  ASSERT_EQ(r.filters.size(), 3u);
  EXPECT_EQ(r.filters[0].name, "XDD Files (*.XDD)");
  EXPECT_EQ(r.filters[0].pattern, "*.XDD");
  EXPECT_EQ(r.filters[2].pattern, "*.TXT");
  EXPECT_EQ(runs("mAchosen"), 1);

  screen.queue_file_cancel();
  EXPECT_EQ(record.execute(), nullptr);
  EXPECT_EQ(runs("mAchosen"), 1) << "a cancelled dialog runs no script";
  EXPECT_EQ(record.last_file(), "/data/a.XDD") << "cancelling keeps the last choice";
}

struct choice_case {
  const char* name;
  std::vector<std::string> chosen;
  const char* directory;
  const char* file_text;
};

void PrintTo(const choice_case& c, std::ostream* os) { *os << c.name; }

class LastDirectory : public Dialogs, public ::testing::WithParamInterface<choice_case> {};

TEST_P(LastDirectory, IsKeptFromTheChoiceAndOfferedNextTime) {
  const choice_case& c = GetParam();
  auto& record = object<open_save_3>("open_save");
  screen.queue_files(c.chosen);
  ASSERT_EQ(record.run_dialog(open_save_3::flag_set(1), "*.XDD", "", "XDD", &record,
                              platform_types::window_ref::main_window(), "Load", false),
            1);
  EXPECT_EQ(record.last_directory(), c.directory);
  EXPECT_EQ(record.last_file(), c.file_text);
  EXPECT_EQ(record.chosen_paths(), c.chosen);
  screen.queue_file_cancel();
  record.run_dialog(open_save_3::flag_set(0), "*.XDD", "", "XDD", &record, platform_types::window_ref::main_window(),
                    "Again", false);
  EXPECT_EQ(screen.file_requests().back().directory, c.directory);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, LastDirectory,
    ::testing::Values(choice_case{"OneFile", {"/data/scans/a.xdd"}, "/data/scans", "/data/scans/a.xdd"},
                      choice_case{"OneFileInTheRoot", {"/a.xdd"}, "/", "/a.xdd"},
                      choice_case{"ABlankInTheDirectory", {"/data/run 1/a.xdd"}, "/data/run 1", "/data/run 1/a.xdd"},
                      choice_case{"SeveralFilesGiveTheDirectoryThenTheNames",
                                  {"/data/b.xdd", "/data/c.cpi"},
                                  "/data",
                                  "/data b.xdd c.cpi"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SelectionPaths, JoinTheDirectoryAndEachNameWithASlash) {
  EXPECT_EQ(open_save_3::selection_paths("/data b.xdd c.cpi"),
            (std::vector<std::string>{"/data/b.xdd", "/data/c.cpi"}));
  EXPECT_EQ(open_save_3::selection_paths("/data/ b.xdd c.cpi"),
            (std::vector<std::string>{"/data/b.xdd", "/data/c.cpi"}))
      << "a directory that ends in the separator gets no second one";
  EXPECT_EQ(open_save_3::selection_paths("/ a.xdd b.xdd"), (std::vector<std::string>{"/a.xdd", "/b.xdd"}));
  EXPECT_EQ(open_save_3::selection_paths("/data/a.xdd"), (std::vector<std::string>{"/data/a.xdd"}));
  EXPECT_TRUE(open_save_3::selection_paths("").empty());
}

TEST_F(Dialogs, AFailingFileDialogIsReportedAndChoosesNothing) {
  auto& record = object<open_save_3>("open_save");
  screen.queue_file_failure();
  EXPECT_EQ(record.execute(), nullptr);
  EXPECT_TRUE(screen.called("message error 'XRD Fourier Workbench' 'Error in File OpenSave dialog.\n'"));
  EXPECT_EQ(runs("mAchosen"), 0);
  EXPECT_TRUE(record.chosen_paths().empty());
}

TEST_F(Dialogs, ASaveDialogProposesTheCurrentPathAndAsksBeforeReplacing) {
  auto& record = object<open_save_3>("open_save");
  screen.queue_files({"/data/b.XDD"});
  record.run_dialog(open_save_3::flag_set(2), "/data/a.XDD", "XDD", "XDD", &record,
                    platform_types::window_ref::main_window(), "Save File", true);
  const platform_types::file_request& r = screen.file_requests().back();
  EXPECT_TRUE(r.save);
  EXPECT_TRUE(r.overwrite_prompt);
  EXPECT_FALSE(r.multiple);
  EXPECT_EQ(r.file, "/data/a.XDD");
  EXPECT_EQ(r.filters[0].pattern, "/data/a.XDD");
  EXPECT_TRUE(screen.called("choose_file save 'Save File'"));
}

// --- the generic dialog ---

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
  EXPECT_EQ(options.window(), d);
  EXPECT_TRUE(screen.dialog_shown(d));
  EXPECT_EQ(screen.last_dialog(), d) << "no second window";
  EXPECT_EQ(runs("mAopts_ran"), 2);
}

TEST_F(Dialogs, WhileTheApplicationClosesTheCloseBoxDestroysTheWindow) {
  auto& options = object<opts_a_3>("opts_a");
  options.execute();
  const platform::dialog_id d = options.window();
  find(app, "cBan_close");
  screen.user_closes_dialog(d);
  EXPECT_FALSE(screen.dialog(d)->exists);
  EXPECT_EQ(options.window(), 0);
  options.execute();
  EXPECT_NE(options.window(), d) << "a closed dialog gets a new window";
}

TEST_F(Dialogs, TheHideModeHidesOnceAndIsThenCleared) {
  auto& options = object<opts_a_3>("opts_a");
  options.execute();
  options.set_text("hide");
  options.execute();
  EXPECT_FALSE(screen.dialog_shown(options.window()));
  EXPECT_STREQ(options.get_text(), "");
  EXPECT_EQ(runs("mAopts_ran"), 2) << "hiding runs the script too";
  options.execute();
  EXPECT_TRUE(screen.dialog_shown(options.window()));
}

TEST_F(Dialogs, FillingTheListShowsBarsAsBlanksAndActsOnTheDefaultLineOnce) {
  auto& options = object<opts_a_3>("opts_a");
  options.execute();
  const platform::dialog_id d = options.window();
  EXPECT_EQ(screen.list_lines(d, 4149), (std::vector<std::string>{"Fourier options", "Peak measures", "Nothing"}));
  EXPECT_EQ(screen.list_caret(d, 4149), 1);
  EXPECT_EQ(choice(), "peaks") << "the default line's class word ran with the list box as context";
  lb_opts_2* list = options.list_box(4149);
  ASSERT_NE(list, nullptr);
  EXPECT_STREQ(list->class_name(), "opts_lb");
  EXPECT_EQ(list->parent(), &options);

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

TEST_F(ModalDialogs, RunTheScriptOnlyOnOkAndGiveEachRunAFreshWindow) {
  auto& options = object<opts_a_3>("opts_a");
  EXPECT_TRUE(options.is_modal());
  screen.queue_modal(false);
  EXPECT_EQ(options.execute(), nullptr);
  EXPECT_EQ(runs("mAopts_ran"), 0);
  const platform::dialog_id first = screen.last_dialog();
  EXPECT_TRUE(screen.dialog(first)->modal);
  EXPECT_FALSE(screen.dialog(first)->exists) << "the window goes when the run ends";

  screen.queue_modal(true);
  EXPECT_EQ(options.execute(), &options);
  EXPECT_EQ(runs("mAopts_ran"), 1);
  EXPECT_NE(screen.last_dialog(), first);
}

TEST_F(ModalDialogs, ReselectTheLastChoiceWithoutActingOnItAgain) {
  auto& options = object<opts_a_3>("opts_a");
  screen.queue_modal(true, [&](platform::dialog_id d) {
    EXPECT_TRUE(screen.dialog_shown(d));
    screen.user_selects(d, 4149, 0);
  });
  options.execute();
  EXPECT_EQ(choice(), "fourier");

  find(app, "tBrace")->set_text("untouched");
  int caret = -1;
  screen.queue_modal(false, [&](platform::dialog_id d) { caret = screen.list_caret(d, 4149); });
  options.execute();
  EXPECT_EQ(caret, 0) << "the line chosen last, not the default";
  EXPECT_EQ(choice(), "untouched") << "refilling the list acts on nothing";
}

TEST_F(ModalDialogs, AnUnansweredRunNamesTheDialogAndLeavesNoWindow) {
  auto& options = object<opts_a_3>("opts_a");
  EXPECT_THROW(
      {
        try {
          options.execute();
        } catch (const unanswered_question& e) {
          EXPECT_NE(std::string(e.what()).find("Options"), std::string::npos) << e.what();
          throw;
        }
      },
      unanswered_question);
  EXPECT_EQ(options.window(), 0);
  EXPECT_FALSE(screen.dialog(screen.last_dialog())->exists);
}

TEST_F(Dialogs, ADialogWhoseResourceIsUnknownIsReportedAndNotShown) {
  use_outside_records(
      "start_out_side_recs {\n"
      "  {\"app_name\" {\"XRD Fourier Workbench\"}}\n"
      "  {\"opts_a\" {\"resid\" {\"999\"}}}\n"
      "}\n");
  auto& options = object<opts_a_3>("opts_a");
  EXPECT_EQ(options.execute(), nullptr);
  EXPECT_TRUE(screen.called("message error 'XRD Fourier Workbench' 'No dialog resource 999 for opts_a'"));
  EXPECT_EQ(screen.last_dialog(), 0);
  EXPECT_EQ(runs("mAopts_ran"), 0);
}

TEST_F(Dialogs, AParentNamedInTheDescriptionOwnsTheDialogOnceItHasAWindow) {
  auto& help = object<hlp_dlg_3>("hlp_dlg");
  auto& options = object<opts_a_3>("opts_a");
  help.execute();
  EXPECT_EQ(screen.dialog(help.window())->parent, platform_types::window_ref::main_window())
      << "the parent has no window yet";
  options.execute();
  find(app, "cBan_close");
  screen.user_closes_dialog(help.window());
  help.execute();
  EXPECT_EQ(screen.dialog(help.window())->parent, platform_types::window_ref::dialog(options.window()));
}

// --- help and temporary output ---

class HelpText : public Dialogs {
 protected:
  static std::string directory() {
    static const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("xrdf_help_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir.string() + "/";
  }
  HelpText() : Dialogs(false, directory()) {}
  ~HelpText() override { std::filesystem::remove_all(directory()); }
  static void write_help(const std::string& bytes) { std::ofstream(directory() + "hlp", std::ios::binary) << bytes; }
};

TEST_F(HelpText, ShowsTheFileWithEveryLineEndingInCrLfAndDoesNotRepeatIt) {
  write_help("Keys:\n h  FWHM\r\n c  Centroid's line\nlast line without end");
  auto& help = object<hlp_dlg_3>("hlp_dlg");
  help.execute();
  const std::string expected = "Keys:\r\n h  FWHM\r\n c  Centroid's line\r\nlast line without end";
  EXPECT_EQ(screen.edit_text(help.window(), 4238), expected);
  EXPECT_EQ(screen.dialog(help.window())->caption, "Help");
  help.execute();
  EXPECT_EQ(screen.edit_text(help.window(), 4238), expected) << "showing it again does not add a second copy";
  EXPECT_EQ(runs("mAhelp_ran"), 2);
}

TEST_F(HelpText, AMissingFileIsReportedAndLeavesTheHelpEmpty) {
  write_help("old text\n");
  auto& help = object<hlp_dlg_3>("hlp_dlg");
  help.execute();
  std::filesystem::remove(directory() + "hlp");
  help.execute();
  EXPECT_TRUE(screen.called("message error 'XRD Fourier Workbench' '" + directory() + "hlp: Cannot open file'"));
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
  EXPECT_STREQ(history.get_text(), "Area = 12.500");

  find(app, "cBan_close");
  screen.user_closes_dialog(d);
  history.execute();
  EXPECT_EQ(screen.edit_text(history.window(), 4233), "FWHM = 0.1234\r\nArea = 12.500\r\n")
      << "a new window starts with what was written";
}

}  // namespace
