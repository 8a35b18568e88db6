#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/shell/menu_commands.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "template/get_objs_3.h"
#include "../workbench_fixture.h"

namespace {

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
                               command_id::load_txt,     command_id::save_txt,        command_id::save_txt_as};
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
