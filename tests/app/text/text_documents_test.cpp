#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/shell/menu_commands.h"
#include "app/text/any_doc_3.h"
#include "app/text/any_vw_3.h"
#include "app/text/txt_docs_3.h"
#include "../workbench_fixture.h"

namespace {

namespace fs = std::filesystem;

class TextDocuments : public Workbench {
 protected:
  using Workbench::shown;
  std::string write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  }
  static std::string bytes_of(const fs::path& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
  }
  txt_docs_3& docs() { return *text_documents(*app); }
  any_doc_3* active() { return docs().active_document(); }
  // "&Load TXT", choosing the file.
  any_doc_3* load(const std::string& path) {
    screen.queue_files({path});
    screen.user_command(command_id::load_txt);
    return active();
  }
  static platform::frame_id frame(any_doc_3* doc) { return doc->view()->frame(); }
  const headless_platform::frame_state& shown(any_doc_3* doc) { return *screen.frame(frame(doc)); }
  void user_types(any_doc_3* doc, const std::string& text) { screen.user_edits_text(frame(doc), text); }
  std::vector<std::string> folder() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(TextDocuments, NewTxtAndReportsOpenUnmodifiedWindowsInTheFixedTextFont) {
  ASSERT_TRUE(screen.user_enabler(command_id::new_txt).enabled);
  assoc_class* title = find(*app, "any_path_name");
  title->set_text("TXT Report");
  auto* report = dynamic_cast<any_vw_3*>(title->execute());
  ASSERT_NE(report, nullptr) << "executing any_path_name answers the new window";
  report->set_text("a b \n1 2 \n");
  screen.user_command(command_id::new_txt);

  const auto& filled = *screen.frame(report->frame());
  EXPECT_EQ(filled.title, "TXT Report");
  EXPECT_EQ(filled.text, "a b \n1 2 \n");
  EXPECT_EQ(filled.font, (platform_types::font_description{"Courier New", -12, 7, 400, false}));
  EXPECT_EQ(shown(active()).title, "Untitled") << "the report's title does not name the next new document";
  EXPECT_EQ(shown(active()).text, "");
  EXPECT_TRUE(screen.user_closes_main()) << "documents the program filled are not modified";
  EXPECT_TRUE(screen.questions().empty());
}

// A file as it lies on disk, as its window shows it, as the user leaves it,
// and as Save writes it back.
struct round_trip_case {
  std::string name, on_disk, shown, typed, saved;
};
void PrintTo(const round_trip_case& c, std::ostream* os) { *os << c.name; }
class RoundTrip : public TextDocuments, public ::testing::WithParamInterface<round_trip_case> {};

TEST_P(RoundTrip, LoadShowsLinesAndSaveKeepsTheFilesLineEnds) {
  const round_trip_case& c = GetParam();
  any_doc_3* doc = load(write("notes.TXT", c.on_disk));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(shown(doc).title, "notes.TXT");
  EXPECT_EQ(shown(doc).text, c.shown);
  EXPECT_FALSE(doc->modified());
  user_types(doc, c.typed);
  screen.user_command(command_id::save_txt);
  EXPECT_EQ(bytes_of(dir / "notes.TXT"), c.saved);
  EXPECT_FALSE(doc->modified());
  EXPECT_EQ(screen.file_requests().size(), 1u) << "a file's document is saved without asking";
  EXPECT_EQ(folder(), std::vector<std::string>{"notes.TXT"}) << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(
    TextDocuments, RoundTrip,
    ::testing::Values(
        round_trip_case{"LfLinesComeBackByteForByte", "one\ntwo\n", "one\ntwo\n", "one\ntwo\n", "one\ntwo\n"},
        round_trip_case{"CrLfLinesShowAsLinesAndLinesTypedAreSavedWithCrLf", "one\r\ntwo\r\n", "one\ntwo\n",
                        "one\ntwo\nthree\n", "one\r\ntwo\r\nthree\r\n"},
        round_trip_case{"ALastLineWithoutItsLineEndGetsNone", "one\r\ntwo", "one\ntwo", "one\ntwo", "one\r\ntwo"},
        round_trip_case{"ALoneCrIsAnOrdinaryCharacter", "a\rb\n", "a\rb\n", "a\rb\nc\n", "a\rb\nc\n"},
        round_trip_case{"MixedLineEndsTakeThoseOfTheFirstLine", "a\r\nb\nc", "a\nb\nc", "a\nb\nc", "a\r\nb\r\nc"},
        round_trip_case{"AnEmptyFileTakesThisSystemsLineFeed", "", "", "x\ny\n", "x\ny\n"}),
    [](const auto& info) { return info.param.name; });

TEST_F(TextDocuments, LoadTxtAsksForAnExistingTxtFileAndOpensNothingWhenNoneIsRead) {
  screen.queue_file_cancel();
  screen.user_command(command_id::load_txt);
  fs::create_directory(dir / "folder.TXT");
  EXPECT_EQ(load((dir / "folder.TXT").string()), nullptr);
  EXPECT_EQ(shown((dir / "folder.TXT").string() + ": Cannot open file: it is a folder"), 1);
  EXPECT_TRUE(docs().documents().empty());
  const platform_types::file_request& asked = screen.file_requests().at(0);
  EXPECT_EQ(asked.caption, "Open");
  EXPECT_FALSE(asked.save);
  EXPECT_TRUE(asked.file_must_exist);
  EXPECT_EQ(asked.default_extension, "TXT");
  ASSERT_FALSE(asked.filters.empty());
  EXPECT_EQ(asked.filters[0].name, "TXT Files (*.TXT)");
  EXPECT_EQ(asked.filters[0].pattern, "*.TXT");
}

TEST_F(TextDocuments, SaveOfAProgramFilledDocumentAsksForAFileOnceAndSaveAsMovesItToAnother) {
  screen.user_command(command_id::new_txt);
  any_doc_3* doc = active();
  user_types(doc, "hello\n");
  screen.queue_file_cancel();
  screen.user_command(command_id::save_txt);
  EXPECT_TRUE(doc->modified()) << "a cancelled dialog saves nothing";
  screen.queue_files({(dir / "first.TXT").string()});
  screen.user_command(command_id::save_txt);
  user_types(doc, "hello again\n");
  screen.user_command(command_id::save_txt);
  EXPECT_EQ(screen.file_requests().size(), 2u) << "once saved, the document has its file";
  const platform_types::file_request& asked = screen.file_requests().at(1);
  EXPECT_TRUE(asked.save && asked.overwrite_prompt);
  EXPECT_EQ(asked.file, "Untitled.TXT");
  EXPECT_EQ(bytes_of(dir / "first.TXT"), "hello again\n");

  user_types(doc, "moved\n");
  screen.queue_files({(dir / "second.TXT").string()});
  screen.user_command(command_id::save_txt_as);
  EXPECT_EQ(screen.file_requests().back().file, (dir / "first.TXT").string()) << "Save As proposes the file";
  EXPECT_EQ(bytes_of(dir / "second.TXT"), "moved\n");
  EXPECT_EQ(bytes_of(dir / "first.TXT"), "hello again\n");
  EXPECT_EQ(shown(doc).title, "second.TXT");
  EXPECT_EQ(doc->path(), (dir / "second.TXT").string());
  EXPECT_FALSE(doc->modified());
}

// A save that cannot be written, set up in the test's folder: the file the
// document is saved to, and the reason the message gives. (Tests may run as
// root, for whom no folder is read-only.)
struct failed_save_case {
  std::string name;
  int command;
  std::function<fs::path(const fs::path& dir)> prepare;
  std::function<std::string(const fs::path& dir)> reason;
};
void PrintTo(const failed_save_case& c, std::ostream* os) { *os << c.name; }
class FailedSave : public TextDocuments, public ::testing::WithParamInterface<failed_save_case> {};

TEST_P(FailedSave, SaysWhyAndKeepsTheOldFileTheDocumentsFileAndItsModifiedMark) {
  const failed_save_case& c = GetParam();
  any_doc_3* doc = load(write("a.TXT", "old\n"));
  user_types(doc, "changed\n");
  const fs::path target = c.prepare(dir);
  if (c.command == command_id::save_txt_as) screen.queue_files({target.string()});
  screen.user_command(c.command);
  EXPECT_EQ(shown(target.string() + ": Cannot write file: " + c.reason(dir)), 1);
  EXPECT_TRUE(doc->modified());
  EXPECT_EQ(doc->path(), (dir / "a.TXT").string());
  EXPECT_EQ(shown(doc).title, "a.TXT");
  if (c.command == command_id::save_txt_as) {
    EXPECT_EQ(bytes_of(dir / "a.TXT"), "old\n");
  }
  for (const std::string& name : folder()) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name << " is left";
}

INSTANTIATE_TEST_SUITE_P(
    TextDocuments, FailedSave,
    ::testing::Values(
        failed_save_case{"SaveAsIntoAMissingFolder", command_id::save_txt_as,
                         [](const fs::path& d) { return d / "none" / "b.TXT"; },
                         [](const fs::path& d) { return "the folder " + (d / "none").string() + " does not exist"; }},
        failed_save_case{"SaveAsOntoAFolder", command_id::save_txt_as,
                         [](const fs::path& d) {
                           fs::create_directory(d / "b.TXT");
                           return d / "b.TXT";
                         },
                         [](const fs::path&) { return std::string("it is a folder"); }},
        failed_save_case{"SaveOntoItsFileReplacedByAFolder", command_id::save_txt,
                         [](const fs::path& d) {
                           fs::remove(d / "a.TXT");
                           fs::create_directory(d / "a.TXT");
                           return d / "a.TXT";
                         },
                         [](const fs::path&) { return std::string("it is a folder"); }}),
    [](const auto& info) { return info.param.name; });

// Closing a modified window with its close box: the question names the
// document's file (or, without one, its title), and only yes closes it.
struct close_case {
  std::string name;
  bool from_file;
  yes_no_reply reply;
  bool closed;
};
void PrintTo(const close_case& c, std::ostream* os) { *os << c.name; }
class CloseWindow : public TextDocuments, public ::testing::WithParamInterface<close_case> {};

TEST_P(CloseWindow, AsksAboutAModifiedDocumentAndOnlyYesClosesIt) {
  const close_case& c = GetParam();
  const std::string path = write("a.TXT", "old\n");
  any_doc_3* doc = nullptr;
  if (c.from_file) {
    doc = load(path);
  } else {
    screen.user_command(command_id::new_txt);
    doc = active();
  }
  const platform::frame_id f = frame(doc);
  user_types(doc, "changed\n");
  screen.queue_yes_no(c.reply);
  EXPECT_EQ(screen.user_closes_frame(f), c.closed);
  ASSERT_EQ(screen.questions().size(), 1u);
  EXPECT_EQ(screen.questions()[0].text, "File : " + (c.from_file ? path : "Untitled") + " has been Modified.\n Close Anyway ?");
  screen.user_idles();
  EXPECT_EQ(docs().documents().size(), c.closed ? 0u : 1u);
  if (!c.closed) {
    EXPECT_TRUE(doc->modified()) << "a kept window keeps its changes";
  }
}

INSTANTIATE_TEST_SUITE_P(TextDocuments, CloseWindow,
                         ::testing::Values(close_case{"AFileAnsweredNoStays", true, yes_no_reply::no, false},
                                           close_case{"AFileAnsweredEscapeStays", true, yes_no_reply::escape, false},
                                           close_case{"AFileAnsweredYesGoes", true, yes_no_reply::yes, true},
                                           close_case{"AnUntitledOneAnsweredYesGoes", false, yes_no_reply::yes, true}),
                         [](const auto& info) { return info.param.name; });

TEST_F(TextDocuments, ClosingTheApplicationAsksForEachModifiedWindowAndAKeptOneKeepsItOpen) {
  any_doc_3* first = load(write("a.TXT", "a\n"));
  screen.user_command(command_id::new_txt);
  any_doc_3* second = active();
  screen.user_command(command_id::new_txt);  // left as it was: nothing to ask
  user_types(first, "a changed\n");
  user_types(second, "new\n");
  screen.queue_yes_no(yes_no_reply::no);
  EXPECT_FALSE(screen.user_closes_main());
  EXPECT_EQ(screen.questions().size(), 1u) << "after a kept window the others are not asked";
  EXPECT_EQ(docs().documents().size(), 3u);
  screen.queue_yes_no(yes_no_reply::yes);
  screen.queue_yes_no(yes_no_reply::yes);
  EXPECT_TRUE(screen.user_closes_main());
  EXPECT_EQ(screen.questions().size(), 3u);
}

// Which of "&Load TXT", "&Save TXT" and "Save TXT &As" are enabled, by what
// the active MDI child is.
TEST_F(TextDocuments, LoadIsAlwaysEnabledAndSavingOnlyWhileATextWindowIsActive) {
  auto states = [this] {
    return std::vector<bool>{screen.user_enabler(command_id::load_txt).enabled,
                             screen.user_enabler(command_id::save_txt).enabled,
                             screen.user_enabler(command_id::save_txt_as).enabled};
  };
  EXPECT_EQ(states(), (std::vector<bool>{true, false, false})) << "nothing open";
  screen.user_command(command_id::new_txt);
  const platform::frame_id text = screen.active_frame();
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true})) << "a text window active";
  ASSERT_NE(app->new_graph_view(), nullptr);
  EXPECT_EQ(states(), (std::vector<bool>{true, false, false})) << "a graph view active";
  screen.user_activates(text);
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true})) << "the text window active again";
  screen.create_frame("Report editor");
  EXPECT_EQ(states(), (std::vector<bool>{true, false, false})) << "another kind of window active";
}

}  // namespace
