#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/batch_tool.h"
#include "app/shell/menu_commands.h"
#include "core/assoc_class.h"
#include "core/paths.h"
#include "../workbench_fixture.h"

// The help text is written by hand; these checks hold it to what the program
// offers, so that a new command, menu item or reader cannot go unmentioned.

namespace {

const std::string help_text = contents(XRDF_SOURCE_DIR "/resources/hlp");

std::string without_accelerators(const std::string& text) {
  std::string plain;
  for (char c : text)
    if (c != '&') plain += c;
  while (!plain.empty() && plain.back() == '.') plain.pop_back();
  return plain;
}

// The names of the commands in the batch tool's --help, in its order.
std::vector<std::string> batch_commands() {
  const std::string usage = batch_usage();
  const std::size_t from = usage.find("Commands:\n");
  const std::size_t to = usage.find("\nOptions:");
  std::vector<std::string> names;
  std::size_t line = from;
  while ((line = usage.find("\n  ", line)) != std::string::npos && line < to) {
    line += 3;
    const std::size_t end = usage.find_first_of(" \n", line);
    const std::string name = usage.substr(line, end - line);
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z' &&
        (names.empty() || names.back() != name))
      names.push_back(name);
  }
  return names;
}

// The texts of the menu items a person chooses: leaves, and the popups whose
// leaves only say which views they act on.
void collect_items(const std::vector<platform_types::menu_item>& items, std::vector<std::string>& texts) {
  for (const auto& item : items) {
    if (item.text.empty()) continue;  // a separator
    const bool views_choice = !item.items.empty() && without_accelerators(item.items.front().text) == "This view";
    if (item.items.empty() || views_choice)
      texts.push_back(without_accelerators(item.text));
    else
      collect_items(item.items, texts);
  }
}

TEST(HelpText, NamesEveryCommandOfTheBatchTool) {
  const auto names = batch_commands();
  ASSERT_GE(names.size(), 8u) << "the --help lists its commands";
  for (const std::string& name : names)
    EXPECT_NE(help_text.find("xrdfourier-cli " + name), std::string::npos) << name;
}

TEST(HelpText, NamesEveryMenuItem) {
  std::vector<std::string> texts;
  for (const auto& top : main_menu()) collect_items(top.items, texts);
  ASSERT_GT(texts.size(), 30u);
  for (const std::string& text : texts) EXPECT_NE(help_text.find(text), std::string::npos) << text;
}

TEST_F(Workbench, HelpTextNamesEveryKindOfScanFileTheWorkbenchReads) {
  assoc_class* readers = query_object("win_misc c exts_load");
  ASSERT_NE(readers, nullptr);
  ASSERT_GE(readers->child_count(), 8);
  for (int i = 0; i < readers->child_count(); ++i) {
    const std::string extension = std::string(".") + readers->child(i)->class_name();
    EXPECT_NE(help_text.find(extension), std::string::npos) << extension;
  }
}

}  // namespace
