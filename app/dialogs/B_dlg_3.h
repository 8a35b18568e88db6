#pragma once

#include <memory>
#include <string>

#include "app/platform/platform.h"
#include "core/assoc_class.h"
#include "core/my_string.h"

class lb_opts_2;

// The program's dialog resources by id; null for an id it has none for.
const platform_types::dialog_resource* dialog_resource_of(int id);

// A dialog described in the outside records under its name N: the resource
// ("N f resid"), the parent window ("N f parent": "main_win" or the name of a
// node that holds a window), its list boxes ("N c lbs", each with "name",
// "resid", "items", "classes" and optionally "def_sel") and whether it is
// modal (a record "modal" beside "lbs").
//
// Executing a modeless dialog shows it without activating it (its window is
// made the first time), or hides it when the mode text is "hide"; the mode
// text is then cleared and the node's execution script runs. Executing a
// modal dialog runs it and runs the script only when the user answers OK.
class B_dlg_3 : public assoc_class, public platform_types::dialog_events, public platform_types::window_holder {
 public:
  explicit B_dlg_3(const char* record_name);
  ~B_dlg_3() override;

  const char* class_name() const override { return record_name_; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  assoc_class* execute() override;

  // The mode text.
  const char* get_text() override { return mode_.c_str(); }
  assoc_class* set_text(const char* text) override;
  void set_mode(const char* text) { mode_.assign(text ? text : ""); }

  // The description, read from the outside records on first use.
  bool is_modal();
  int resource_id();
  lb_opts_2* list_box(int control);

  // The window while it exists; 0 otherwise.
  platform::dialog_id window() const { return window_; }
  platform_types::window_ref held_window() const override;

  // Its lists let go of the lines chosen last (see lb_opts_2).
  void forget_choices();

  // The close box of a modeless dialog only hides it, so that its place and
  // content are kept, until the application is closing (a "cBan_close"
  // object exists): then the window goes.
  void on_close_box() override;
  void on_list_select(int control) override;

 protected:
  // Called when the window has been made and its lists filled.
  virtual void window_made(platform&, platform::dialog_id) {}
  // Called each time the dialog is about to be shown or run.
  virtual void before_showing(platform&, platform::dialog_id) {}
  // Makes the window (hidden) if it does not exist; 0 when it cannot be made.
  platform::dialog_id ensure_window(platform& p);
  void destroy_window();

 private:
  void describe();
  platform_types::window_ref parent_window();
  assoc_class* run_as_modal(platform& p);

  const char* record_name_;
  bool described_ = false;
  int resource_id_ = 0;
  std::string parent_name_;
  bool modal_ = false;
  my_string mode_;
  platform* window_platform_ = nullptr;
  platform::dialog_id window_ = 0;
};
