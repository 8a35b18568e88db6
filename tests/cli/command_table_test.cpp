// The command table is the one source of what the batch tool runs and of
// what its --help says: a row that the other half does not match would be
// a command or an option that is described but refused, or taken but never
// described.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"
#include "cli/command_table.h"
#include "cli/null_platform.h"
#include "numerics/fft_kernel.h"

namespace {

bool takes(const command_row& command, const std::string& option) {
  for (const std::string& o : command.options)
    if (o == option) return true;
  return false;
}

TEST(CommandTable, EveryOptionACommandTakesHasARowAndEveryRowIsSomeCommandsOrGlobal) {
  for (const command_row& command : command_rows())
    for (const std::string& option : command.options) {
      const option_row* row = option_named(option);
      ASSERT_NE(row, nullptr) << command.name << " takes " << option << ", which nothing reads";
      EXPECT_EQ(row->names.front(), option) << command.name << " names " << option << " by another name than its first";
      EXPECT_FALSE(row->global) << command.name << " takes the global " << option;
    }
  for (const option_row& option : option_rows()) {
    bool taken = option.global;
    for (const command_row& command : command_rows()) taken = taken || takes(command, option.names.front());
    EXPECT_TRUE(taken) << option.names.front() << " is read but no command takes it";
  }
}

TEST(CommandTable, EveryCommandAndOptionIsDescribedInTheHelp) {
  const run_result help = run({"--help"});
  ASSERT_EQ(help.status, 0) << help.err;
  const std::string& usage = help.out;
  for (const command_row& command : command_rows())
    EXPECT_NE(usage.find(std::string("\n  ") + command.name + " "), std::string::npos) << command.name;
  for (const option_row& option : option_rows()) {
    const std::string name = option.names.front();
    if (option.help) {
      EXPECT_NE(usage.find("\n  " + name + " "), std::string::npos) << name << " has no line under Options";
      continue;
    }
    // An option without a line of its own is described by each command
    // that takes it.
    for (const command_row& command : command_rows())
      if (takes(command, name)) {
        EXPECT_NE(std::string(command.help).find(name), std::string::npos) << command.name << " does not say " << name;
      }
  }
}

// The first word of each line of a section of the help that starts with
// two blanks and then a letter (the commands) or a dash (the options).
std::vector<std::string> help_words(const std::string& section, bool options) {
  const std::string usage = batch_usage();
  const std::size_t from = usage.find(section + ":\n");
  const std::size_t to = usage.find("\n\n", from);
  std::istringstream lines(usage.substr(from, to - from));
  std::vector<std::string> words;
  for (std::string line; std::getline(lines, line);) {
    if (line.size() < 3 || line.compare(0, 2, "  ") != 0 || line[2] == ' ') continue;
    if ((line[2] == '-') != options) continue;
    const std::string word = line.substr(2, line.find(' ', 2) - 2);
    if (words.empty() || words.back() != word) words.push_back(word);
  }
  return words;
}

TEST(CommandTable, EachCommandOfTheHelpRunsAndEachOptionOfTheHelpIsRead) {
  // Without files every command ends with its own usage error, never as
  // an unknown command; an option of the help given to a command that does
  // not take it is refused by name, never as an unknown option.
  const std::vector<std::string> commands = help_words("Commands", false);
  EXPECT_EQ(commands.size(), command_rows().size());
  for (const std::string& command : commands) {
    const run_result r = run({command});
    EXPECT_EQ(r.err.find("unknown command"), std::string::npos) << command << ": " << r.err;
  }
  const std::vector<std::string> options = help_words("Options", true);
  EXPECT_GE(options.size(), 10u);
  for (const std::string& option : options) {
    const run_result r = run({"info", "a.xdd", option});
    EXPECT_EQ(r.err.find("unknown option"), std::string::npos) << option << ": " << r.err;
  }
}

TEST(NullPlatform, AMessageIsALineAndAQuestionIsAnsweredNoAndSaidSo) {
  std::ostringstream err;
  null_platform screen(err);
  screen.message(platform_types::box_kind::error, "XRD Fourier Workbench", "Cannot load any more files");
  EXPECT_FALSE(screen.ask_yes_no("XRD Fourier Workbench", "Unload Anyway ?"));
  EXPECT_EQ(screen.choose_file({}).result, platform_types::file_answer::status::cancelled);
  EXPECT_EQ(err.str(), "Cannot load any more files\nUnload Anyway ? (answered no)\n");
}

}  // namespace

namespace {

// --version names the transform's implementation that runs, and runs no
// command: a timing sent with a report can be told apart by it.
TEST(VersionText, NamesTheTransformsPathThatRunsAndNeedsNoCommand) {
  const run_result version = run({"--version"});
  ASSERT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out.rfind("xrdfourier-cli ", 0), 0u) << version.out;
  EXPECT_NE(version.out.find(std::string("\ntransform: ") + fft_kernel::path_name(fft_kernel::active_path()) + " ("),
            std::string::npos)
      << version.out;
  EXPECT_TRUE(version.err.empty()) << version.err;
}

}  // namespace
