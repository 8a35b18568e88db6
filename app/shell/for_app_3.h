#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/assoc_class.h"
#include "core/cached_ref.h"
#include "core/node_watch.h"
#include "core/numeric_abort.h"

#include "app/platform/edit_recorder.h"
#include "app/platform/platform.h"
#include "core/paths.h"

class TDrawView;
class edit_history;

// The application object: the node "app" of the tree and the owner of the
// main window. Nearly every menu command is a script of the outside records
// ("win_misc c commands"), run with this node as context; the few that need
// the window system directly are coded here.
class for_app_3 : public assoc_class, public platform_types::app_events, public edit_recorder {
 public:
  for_app_3();
  ~for_app_3() override;
  const char* class_name() const override { return "app"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<for_app_3>(); }

  // Runs the application: builds the main window, runs the event loop of the
  // platform, then this node's own execution script.
  assoc_class* execute() override;

  // The main window: title, menu, status bar and control bar.
  void init_main_window();

  // A menu or control-bar command. A numerical stage that gives up
  // (numeric_abort) ends the action only, with its message shown.
  void command(int id);
  using enabler_state = platform_types::command_state;
  enabler_state enabler(int id);
  // Runs the script stored for `id` under "win_misc c commands" or
  // "win_misc c enablers"; false when there is none.
  bool run_scripted(const char* group, int id);

  // The close-down rule: true when the application may end.
  bool can_close();
  // "Save Project": to the current project's file, else as "Save Project
  // As".
  void save_project();
  // Idle time: the objects moved to the deletion bin are destroyed.
  void idle();
  // An open report editor shows the values as they are now.
  void refresh_report_editor();

  // Status-bar texts.
  void show_limits(double x1, double x2, double y1, double y2);
  void show_cursor(double x, double y);
  void show_hint(const std::string& text);

  // What the platform tells the application.
  void on_command(int id) override { command(id); }
  platform_types::command_state on_enable(int id) override { return enabler(id); }
  // An action that gives up (numeric_abort) keeps the workbench open.
  bool on_can_close() override {
    bool may_close = false;
    return run_action([&] { may_close = can_close(); }) && may_close;
  }
  void on_idle() override {
    run_action([&] { idle(); });
  }
  void on_button_press(int id, platform_types::mouse_button button) override;
  void on_button_hover(int id) override;

  // A new, empty graph view in the MDI client, placed in "view_recs"; null
  // (after the message "Unable to create view") when none could be made.
  TDrawView* new_graph_view();
  // The graph view with the focus, or null.
  TDrawView* focused_view();
  // Opens what a list of paths names, as the user would with the menu but
  // without the dialogs: the data files load into one new view (as "Load
  // Data" loads them), a project (a path with the project extension) is
  // loaded as "Load Project" loads it. For the files given at start-up,
  // dropped on the window or chosen from the recent files.
  void open_paths(const std::vector<std::string>& paths);
  // Whether a path names a project by its extension.
  static bool is_project_path(const std::string& path);
  // Closes every graph view.
  void close_all_views();
  // Closes every graph view and opens one per file, each scaled to it.
  void one_view_per_file(const node_list& files);

  // Where the loaded files are (the list "xAdd_recs").
  assoc_class* loaded_files();
  assoc_class* deletion_bin();

  // The steps of Edit > Undo and Redo: an edit of the files that ended (a
  // drag, a choice in the options list, a report edit) makes one, named by
  // `what`; so does a command that changed a file's data or options.
  void edit_done(const std::string& what) override;
  void edits_settled() override;
  edit_history& history() { return *history_; }

 private:
  void about();
  void load_data();
  // A view that a load left without any file is closed.
  void close_if_empty(TDrawView& view);
  void view_selected_files();
  void file_button_popup(int id);
  // Whether the command is one the focused graph view answers.
  static bool is_view_command(int id);
  // Asks about each modified data file; false at the first the user keeps.
  // The files the user let go are added to `let_go`.
  bool data_files_may_go(std::vector<std::unique_ptr<node_watch>>& let_go);
  // Undo or Redo, and what their menu items say now.
  void undo_or_redo(bool undo);
  enabler_state undo_or_redo_state(bool undo);
  // What a command that changed files is called in the Undo item.
  static std::string edit_name_of(int command);
  // Whether a graph view is in the middle of a drag.
  bool dragging();

  bool registered_ = false;
  cached_ref loaded_files_{"xAdd_recs"};
  cached_ref deletion_bin_{"dAeletion_bin"};
  cached_ref checked_{"cBhecked"};
  cached_ref enabled_{"eBnabler"};
  cached_ref view_list_{"view_recs"};
  std::unique_ptr<edit_history> history_;
};

// The status-bar gadgets.
namespace status_gadget {
inline constexpr int project = 4138;
inline constexpr int limits = 2052;
inline constexpr int cursor_x = 2050;
inline constexpr int cursor_y = 2051;
}  // namespace status_gadget

// The text of the limits gadget: "x(" x1 ", " x2 ")  y(" y1 ", " y2 ")".
std::string limits_text(double x1, double x2, double y1, double y2);
