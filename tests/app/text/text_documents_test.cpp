#include <gtest/gtest.h>

#include <filesystem>
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

TEST_F(TextDocuments, LoadShowsLinesAndSaveKeepsTheFilesLineEnds) {
  // A file as it lies on disk, as its window shows it, as the user leaves
  // it, and as Save writes it back.
  const struct {
    const char* name;
    std::string on_disk, shown, typed, saved;
  } rows[] = {{"LF lines come back byte for byte", "one\ntwo\n", "one\ntwo\n", "one\ntwo\n", "one\ntwo\n"},
              {"CR LF lines show as lines and lines typed are saved with CR LF", "one\r\ntwo\r\n", "one\ntwo\n",
               "one\ntwo\nthree\n", "one\r\ntwo\r\nthree\r\n"},
              {"a last line without its line end gets none", "one\r\ntwo", "one\ntwo", "one\ntwo", "one\r\ntwo"},
              {"a lone CR is an ordinary character", "a\rb\n", "a\rb\n", "a\rb\nc\n", "a\rb\nc\n"},
              {"mixed line ends take those of the first line", "a\r\nb\nc", "a\nb\nc", "a\nb\nc", "a\r\nb\r\nc"},
              {"an empty file takes this system's line feed", "", "", "x\ny\n", "x\ny\n"}};
  std::set<std::string> written;
  for (const auto& c : rows) {
    const std::string name = std::to_string(&c - rows) + "notes.TXT";
    written.insert(name);
    any_doc_3* doc = load(write(name, c.on_disk));
    ASSERT_NE(doc, nullptr) << c.name;
    EXPECT_EQ(shown(doc).title, name) << c.name;
    EXPECT_EQ(shown(doc).text, c.shown) << c.name;
    EXPECT_FALSE(doc->modified()) << c.name;
    user_types(doc, c.typed);
    const std::size_t asked = screen.file_requests().size();
    screen.user_command(command_id::save_txt);
    EXPECT_EQ(contents(dir / name), c.saved) << c.name;
    EXPECT_FALSE(doc->modified()) << c.name;
    EXPECT_EQ(screen.file_requests().size(), asked) << c.name << ": a file's document is saved without asking";
  }
  EXPECT_EQ(names_in(dir), written) << "no temporary file is left";
}

TEST_F(TextDocuments, LoadTxtAsksForAnExistingTxtFileAndOpensNothingWhenNoneIsRead) {
  screen.queue_file_cancel();
  screen.user_command(command_id::load_txt);
  fs::create_directory(dir / "folder.TXT");
  EXPECT_EQ(load((dir / "folder.TXT").string()), nullptr);
  EXPECT_EQ(shown((dir / "folder.TXT").string() + ": Cannot open file: it is a folder"), 1);
  EXPECT_TRUE(docs().documents().empty());
  const platform_types::file_request& asked = screen.file_requests().at(0);
  EXPECT_TRUE(!asked.save && asked.file_must_exist);
  EXPECT_EQ(asked.caption + " " + asked.default_extension, "Open TXT");
  ASSERT_FALSE(asked.filters.empty());
  EXPECT_EQ(asked.filters[0].name + " " + asked.filters[0].pattern, "TXT Files (*.TXT) *.TXT");
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
  EXPECT_EQ(contents(dir / "first.TXT"), "hello again\n");

  user_types(doc, "moved\n");
  screen.queue_files({(dir / "second.TXT").string()});
  screen.user_command(command_id::save_txt_as);
  EXPECT_EQ(screen.file_requests().back().file, (dir / "first.TXT").string()) << "Save As proposes the file";
  EXPECT_EQ(contents(dir / "second.TXT"), "moved\n");
  EXPECT_EQ(contents(dir / "first.TXT"), "hello again\n");
  EXPECT_EQ(shown(doc).title, "second.TXT");
  EXPECT_EQ(doc->path(), (dir / "second.TXT").string());
  EXPECT_FALSE(doc->modified());
}

TEST_F(TextDocuments, AFailedSaveSaysWhyAndKeepsTheOldFileTheDocumentsFileAndItsModifiedMark) {
  const struct {
    const char* name;
    int command;
    const char* target;  // "" for the document's own file
    bool folder;         // a folder is made in the target's place
    std::string reason;
  } rows[] = {{"Save As into a missing folder", command_id::save_txt_as, "none/b.TXT", false,
               "the folder " + (dir / "none").string() + " does not exist"},
              {"Save As onto a folder", command_id::save_txt_as, "b.TXT", true, "it is a folder"},
              {"Save onto its file replaced by a folder", command_id::save_txt, "", true, "it is a folder"}};
  for (const auto& c : rows) {
    const std::string own = std::to_string(&c - rows) + "a.TXT";
    any_doc_3* doc = load(write(own, "old\n"));
    user_types(doc, "changed\n");
    const fs::path target = dir / (*c.target ? c.target : own);
    if (c.folder) {
      fs::remove(target);
      fs::create_directory(target);
    }
    if (c.command == command_id::save_txt_as) screen.queue_files({target.string()});
    screen.user_command(c.command);
    EXPECT_EQ(shown(target.string() + ": Cannot write file: " + c.reason), 1) << c.name;
    EXPECT_TRUE(doc->modified()) << c.name;
    EXPECT_EQ(doc->path(), (dir / own).string()) << c.name;
    EXPECT_EQ(shown(doc).title, own) << c.name;
    if (c.command == command_id::save_txt_as) {
      EXPECT_EQ(contents(dir / own), "old\n") << c.name;
    }
  }
  for (const std::string& name : names_in(dir)) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name << " is left";
}

// The question names the document's file (or, without one, its title).
TEST_F(TextDocuments, ClosingAModifiedWindowAsksAndOnlyYesClosesIt) {
  const struct {
    const char* name;
    bool from_file;
    yes_no_reply reply;
    bool closed;
  } rows[] = {{"a file answered no stays", true, yes_no_reply::no, false},
              {"a file answered Escape stays", true, yes_no_reply::escape, false},
              {"a file answered yes goes", true, yes_no_reply::yes, true},
              {"an untitled one answered yes goes", false, yes_no_reply::yes, true}};
  for (const auto& c : rows) {
    const std::string path = write(std::to_string(&c - rows) + "a.TXT", "old\n");
    any_doc_3* doc = nullptr;
    if (c.from_file) {
      doc = load(path);
    } else {
      screen.user_command(command_id::new_txt);
      doc = active();
    }
    const std::size_t open = docs().documents().size(), asked = screen.questions().size();
    user_types(doc, "changed\n");
    screen.queue_yes_no(c.reply);
    EXPECT_EQ(screen.user_closes_frame(frame(doc)), c.closed) << c.name;
    ASSERT_EQ(screen.questions().size(), asked + 1) << c.name;
    EXPECT_EQ(screen.questions().back().text,
              "File : " + (c.from_file ? path : "Untitled") + " has been Modified.\n Close Anyway ?")
        << c.name;
    screen.user_idles();
    EXPECT_EQ(docs().documents().size(), c.closed ? open - 1 : open) << c.name;
    if (!c.closed) {
      EXPECT_TRUE(doc->modified()) << c.name << ": a kept window keeps its changes";
    }
  }
}

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
