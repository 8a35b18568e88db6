#include "app/dialogs/B_dlg_3.h"

#include <string>
#include <utility>
#include <vector>

#include "app/dialogs/edit_an_axie_3.h"
#include "app/dialogs/lb_opts_2.h"
#include "app/platform/control_factory.h"
#include "app/platform/edit_recorder.h"
#include "core/error_message.h"
#include "core/node_watch.h"
#include "core/numeric_abort.h"
#include "core/paths.h"
#include "core/text_helpers.h"

using platform_types::control;
using platform_types::control_kind;
using platform_types::dialog_resource;
using platform_types::make_control;
using platform_types::window_ref;

namespace {

control label(const char* text, int x, int y) { return make_control(control_kind::label, 0, x, y, 16, 8, text); }

dialog_resource make_resource(int id, const char* caption, int width, int height) {
  dialog_resource r;
  r.id = id;
  r.caption = caption;
  r.width = width;
  r.height = height;
  return r;
}

std::vector<dialog_resource> make_resources() {
  std::vector<dialog_resource> all;

  dialog_resource options = make_resource(4148, "Options", 62, 58);
  control list = make_control(control_kind::list_box, 4149, 5, 5, 52, 50);
  list.vertical_scroll = true;
  options.controls.push_back(list);
  all.push_back(options);

  dialog_resource output = make_resource(4232, "Tempory output", 118, 74);
  control out_edit = make_control(control_kind::multiline_edit, 4233, 5, 5, 109, 64);
  out_edit.vertical_scroll = true;
  output.controls.push_back(out_edit);
  all.push_back(output);

  dialog_resource help = make_resource(4237, "Help", 139, 85);
  help.font_face = "Courier New";
  control help_edit = make_control(control_kind::multiline_edit, 4238, 5, 4, 129, 77);
  help_edit.read_only = true;
  help_edit.vertical_scroll = true;
  help.controls.push_back(help_edit);
  all.push_back(help);

  dialog_resource axes = make_resource(4240, "Edit Axes", 138, 38);
  const auto& limit_edit = edit_an_axie_3::control_ids;  // x1, x2, y1, y2
  axes.controls = {make_control(control_kind::edit, limit_edit[0], 23, 4, 43, 13),
                   make_control(control_kind::edit, limit_edit[1], 89, 4, 43, 13),
                   make_control(control_kind::edit, limit_edit[2], 23, 21, 43, 13),
                   make_control(control_kind::edit, limit_edit[3], 89, 21, 43, 13),
                   label("x1 = ", 6, 6),
                   label("x2 = ", 72, 6),
                   label("y1 = ", 6, 23),
                   label("y2 = ", 72, 23)};
  all.push_back(axes);
  return all;
}

std::string text_or_empty(const char* text) { return text ? text : ""; }

}  // namespace

const dialog_resource* dialog_resource_of(int id) {
  static const std::vector<dialog_resource> all = make_resources();
  for (const dialog_resource& r : all)
    if (r.id == id) return &r;
  return nullptr;
}

B_dlg_3::B_dlg_3(const char* record_name) : record_name_(record_name) {}

B_dlg_3::~B_dlg_3() { destroy_window(); }

std::unique_ptr<assoc_class> B_dlg_3::clone_empty() const {
  auto copy = std::make_unique<B_dlg_3>(record_name_);
  copy->set_tem(tem());
  return copy;
}

assoc_class* B_dlg_3::set_text(const char* text) {
  set_mode(text);
  return this;
}

void B_dlg_3::describe() {
  if (described_) return;
  described_ = true;
  const std::string name = record_name_;
  resource_id_ = static_cast<int>(text_to_long(text_or_empty(query_value((name + " f resid").c_str())).c_str()));
  parent_name_ = text_or_empty(query_value((name + " f parent").c_str()));
  my_string lbs_query((name + " c lbs").c_str());
  if (assoc_class* lbs = query_object(lbs_query.c_str())) {
    for (int i = 0; i < lbs->child_count(); ++i) {
      assoc_class& rec = *lbs->child(i);
      lb_opts_2::description d;
      d.name = text_or_empty(rec.child_value("name"));
      d.control = static_cast<int>(text_to_long(text_or_empty(rec.child_value("resid")).c_str()));
      d.items = text_or_empty(rec.child_value("items"));
      d.classes = text_or_empty(rec.child_value("classes"));
      if (const char* def = rec.child_value("def_sel")) {
        d.has_default = true;
        d.default_selection = static_cast<int>(text_to_long(def));
      }
      add_child(std::make_unique<lb_opts_2>(std::move(d)));
    }
  }
  lbs_query.drop_last_words(1).append("modal");
  modal_ = query_object(lbs_query.c_str()) != nullptr;
}

bool B_dlg_3::is_modal() {
  describe();
  return modal_;
}

int B_dlg_3::resource_id() {
  describe();
  return resource_id_;
}

lb_opts_2* B_dlg_3::list_box(int control_id) {
  describe();
  for (int i = 0; i < child_count(); ++i)
    if (auto* lb = dynamic_cast<lb_opts_2*>(child(i)); lb && lb->control() == control_id) return lb;
  return nullptr;
}

window_ref B_dlg_3::held_window() const { return window_ ? window_ref::dialog(window_) : window_ref::main_window(); }

window_ref B_dlg_3::parent_window() {
  if (parent_name_.empty() || parent_name_ == "main_win") return window_ref::main_window();
  assoc_class* owner = find_existing(*this, parent_name_.c_str());
  auto* holder = dynamic_cast<platform_types::window_holder*>(owner);
  return holder && owner != this ? holder->held_window() : window_ref::main_window();
}

platform::dialog_id B_dlg_3::ensure_window(platform& p) {
  describe();
  if (window_) return window_;
  const dialog_resource* resource = dialog_resource_of(resource_id_);
  if (!resource) {
    global_error_message().append("No dialog resource ").append(resource_id_).append(" for ").append(record_name_);
    show_error(this);
    return 0;
  }
  window_ = p.create_dialog(*resource, parent_window(), modal_, this);
  window_platform_ = &p;
  node_watch alive(this);
  for (int i = 0; i < child_count() && alive; ++i)
    if (auto* lb = dynamic_cast<lb_opts_2*>(child(i))) {
      // Filling may choose a default line, whose script may remove this
      // dialog or its lists.
      node_watch list_alive(lb);
      run_action([&] { lb->fill(p, window_); });
      if (!list_alive) break;
    }
  if (!alive || !window_) return 0;
  window_made(p, window_);
  return window_;
}

void B_dlg_3::destroy_window() {
  if (!window_) return;
  const platform::dialog_id d = window_;
  platform* p = window_platform_;
  window_ = 0;
  window_platform_ = nullptr;
  // A platform that has been replaced meanwhile is not ours to call.
  if (p && p == current_platform()) p->destroy_dialog(d);
}

assoc_class* B_dlg_3::run_as_modal(platform& p) {
  const platform::dialog_id d = ensure_window(p);
  if (!d) return nullptr;
  node_watch alive(this);
  bool ok = false;
  try {
    before_showing(p, d);
    ok = p.run_modal(d);
  } catch (...) {
    if (alive) destroy_window();
    throw;
  }
  if (!alive) return nullptr;
  // Each run gets a fresh window; the lists remember their choice.
  destroy_window();
  if (!ok) return nullptr;
  return assoc_class::execute();
}

assoc_class* B_dlg_3::execute() {
  describe();
  platform* p = current_platform();
  if (modal_) return p ? run_as_modal(*p) : nullptr;
  const bool hide = mode_.equals("hide");
  mode_.assign("");
  if (p) {
    if (hide) {
      if (window_) p->show_dialog(window_, false);
    } else if (const platform::dialog_id d = ensure_window(*p)) {
      node_watch alive(this);
      before_showing(*p, d);
      if (!alive) return nullptr;
      if (window_) p->show_dialog(window_, true);
    } else {
      return nullptr;
    }
  }
  return assoc_class::execute();
}

void B_dlg_3::on_close_box() {
  if (!window_ || modal_) return;
  if (find_existing(*this, "cBan_close")) {
    destroy_window();
    return;
  }
  if (window_platform_) window_platform_->show_dialog(window_, false);
}

void B_dlg_3::forget_choices() {
  if (!window_ || !window_platform_) return;
  for (int i = 0; i < child_count(); ++i)
    if (auto* lb = dynamic_cast<lb_opts_2*>(child(i))) lb->forget_choice(*window_platform_, window_);
}

void B_dlg_3::on_list_select(int control_id) {
  lb_opts_2* lb = list_box(control_id);
  if (!lb || !window_ || !window_platform_) return;
  // The dialog's action: a numerical stage that gives up ends it with its
  // message.
  node_watch self(this);
  run_action([&] { lb->act_on_selection(*window_platform_, window_); });
  // A choice that set the files' options (the transform length, the
  // origin's rule) is one step of Undo.
  if (self) tell_edit_done(*this, "options");
}
