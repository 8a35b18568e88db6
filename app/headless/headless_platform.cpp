#include "app/headless/headless_platform.h"

#include <algorithm>
#include <utility>

#include "app/platform/figure_file.h"
#include "app/platform/svg_surface.h"

using platform_types::box_kind;
using platform_types::colour;
using platform_types::file_answer;
using platform_types::window_ref;

namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string rgb(colour c) { return std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b); }

std::string four(int a, int b, int c, int d) {
  return std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + " " + std::to_string(d);
}

const char* kind_name(box_kind k) {
  switch (k) {
    case box_kind::error:
      return "error";
    case box_kind::warning:
      return "warning";
    case box_kind::information:
      return "information";
    case box_kind::question:
      return "question";
  }
  return "?";
}

const char* style_name(platform_types::pen_style s) { return platform_types::pen_style_name(s); }

std::string window_name(window_ref w) {
  switch (w.what) {
    case window_ref::kind::main:
      return "main";
    case window_ref::kind::frame:
      return "frame " + std::to_string(w.id);
    case window_ref::kind::dialog:
      return "dialog " + std::to_string(w.id);
  }
  return "?";
}

void add_control_state(headless_platform::dialog_state& s, const platform_types::control& c) {
  s.controls.push_back(c);
  // Labels without an id of their own are not addressed later.
  if (c.id == 0) return;
  if (c.kind == platform_types::control_kind::list_box)
    s.lists[c.id];
  else
    s.texts[c.id] = c.text;
}

bool in_list(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

const std::vector<std::string> no_lines;

}  // namespace

// --- recording_surface ---

void recording_surface::set_pen(colour c, int width, platform_types::pen_style style) {
  calls_.push_back("pen " + rgb(c) + " " + std::to_string(width) + " " + style_name(style));
}
void recording_surface::set_fill(colour c) { calls_.push_back("fill " + rgb(c)); }
void recording_surface::set_text_colour(colour c) { calls_.push_back("text_colour " + rgb(c)); }
void recording_surface::fill_rect(int x1, int y1, int x2, int y2) {
  calls_.push_back("fill_rect " + four(x1, y1, x2, y2));
}
void recording_surface::line(int x1, int y1, int x2, int y2) { calls_.push_back("line " + four(x1, y1, x2, y2)); }
void recording_surface::polyline(const std::vector<int>& xy) {
  std::string s = "polyline";
  for (int v : xy) s += " " + std::to_string(v);
  calls_.push_back(s);
}
void recording_surface::pixel(int x, int y, colour c) {
  calls_.push_back("pixel " + std::to_string(x) + " " + std::to_string(y) + " " + rgb(c));
}
void recording_surface::rectangle(int x1, int y1, int x2, int y2) {
  calls_.push_back("rectangle " + four(x1, y1, x2, y2));
}
void recording_surface::ellipse(int x1, int y1, int x2, int y2) { calls_.push_back("ellipse " + four(x1, y1, x2, y2)); }
void recording_surface::text(int x, int y, const std::string& s) {
  calls_.push_back("text " + std::to_string(x) + " " + std::to_string(y) + " " + quoted(s));
}

// --- answers ---

headless_platform::headless_platform() = default;
headless_platform::~headless_platform() = default;

void headless_platform::queue_yes_no(yes_no_reply reply) { yes_no_answers_.push_back(reply); }
void headless_platform::queue_file_answer(file_answer answer) { file_answers_.push_back(std::move(answer)); }
void headless_platform::queue_files(std::vector<std::string> paths) {
  queue_file_answer({file_answer::status::chosen, std::move(paths)});
}
void headless_platform::queue_files_with_wavelength(std::vector<std::string> paths, std::string wavelength) {
  file_answer a{file_answer::status::chosen, std::move(paths)};
  a.wavelength = std::move(wavelength);
  queue_file_answer(std::move(a));
}
void headless_platform::queue_file_cancel() { queue_file_answer({file_answer::status::cancelled, {}}); }
void headless_platform::queue_file_failure() { queue_file_answer({file_answer::status::failed, {}}); }
void headless_platform::queue_modal(bool ok, std::function<void(dialog_id)> while_open) {
  modal_answers_.push_back({ok, std::move(while_open)});
}
void headless_platform::queue_popup(int chosen_id) { popup_answers_.push_back(chosen_id); }
void headless_platform::queue_figure_size(std::optional<platform_types::figure_size> size) {
  figure_sizes_.push_back(size);
}

std::size_t headless_platform::pending_answers() const {
  return yes_no_answers_.size() + file_answers_.size() + modal_answers_.size() + popup_answers_.size() +
         figure_sizes_.size();
}

// --- what happened ---

bool headless_platform::called(const std::string& line) const {
  for (const std::string& c : calls_)
    if (c == line) return true;
  return false;
}

const headless_platform::dialog_state* headless_platform::dialog(dialog_id d) const {
  auto it = dialogs_.find(d);
  return it == dialogs_.end() ? nullptr : &it->second;
}

const headless_platform::frame_state* headless_platform::frame(frame_id f) const {
  auto it = frames_.find(f);
  return it == frames_.end() ? nullptr : &it->second;
}

headless_platform::dialog_id headless_platform::dialog_of_resource(int resource_id) const {
  for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it)
    if (it->second.form_of == 0 && it->second.resource_id == resource_id) return it->first;
  return 0;
}

const std::vector<std::string>& headless_platform::list_lines(dialog_id d, int control) const {
  const dialog_state* s = dialog(d);
  if (!s) return no_lines;
  auto it = s->lists.find(control);
  return it == s->lists.end() ? no_lines : it->second.lines;
}

std::string headless_platform::control_text(dialog_id d, int control) const {
  const dialog_state* s = dialog(d);
  if (!s) return {};
  auto it = s->texts.find(control);
  return it == s->texts.end() ? std::string() : it->second;
}

std::string headless_platform::status_text(int gadget_id) const {
  auto it = status_texts_.find(gadget_id);
  return it == status_texts_.end() ? std::string() : it->second;
}

recording_surface* headless_platform::picture(picture_id p) {
  auto it = pictures_.find(p);
  return it == pictures_.end() ? nullptr : &it->second;
}

// --- internal look-ups ---

headless_platform::dialog_state* headless_platform::live_dialog(dialog_id d) {
  auto it = dialogs_.find(d);
  return it == dialogs_.end() || !it->second.exists ? nullptr : &it->second;
}

const headless_platform::dialog_state* headless_platform::live_dialog(dialog_id d) const {
  auto it = dialogs_.find(d);
  return it == dialogs_.end() || !it->second.exists ? nullptr : &it->second;
}

headless_platform::frame_state* headless_platform::live_frame(frame_id f) {
  auto it = frames_.find(f);
  return it == frames_.end() || !it->second.exists ? nullptr : &it->second;
}

const headless_platform::frame_state* headless_platform::live_frame(frame_id f) const {
  auto it = frames_.find(f);
  return it == frames_.end() || !it->second.exists ? nullptr : &it->second;
}

// Controls a resource does not list are made on first use, as a lenient
// stand-in for controls a later layout adds.
headless_platform::list_state* headless_platform::list(dialog_id d, int control) {
  dialog_state* s = live_dialog(d);
  return s ? &s->lists[control] : nullptr;
}

const headless_platform::list_state* headless_platform::list(dialog_id d, int control) const {
  const dialog_state* s = live_dialog(d);
  if (!s) return nullptr;
  auto it = s->lists.find(control);
  return it == s->lists.end() ? nullptr : &it->second;
}

platform_types::app_events& headless_platform::app_events(const char* what) {
  if (!app_events_) throw std::logic_error(std::string("No application is listening for ") + what);
  return *app_events_;
}

// --- questions ---

void headless_platform::message(box_kind kind, const std::string& caption, const std::string& text) {
  record(std::string("message ") + kind_name(kind) + " " + quoted(caption) + " " + quoted(text));
}

bool headless_platform::ask_yes_no(const std::string& caption, const std::string& text) {
  record("ask " + quoted(text));
  questions_.push_back({caption, text});
  if (yes_no_answers_.empty()) throw unanswered_question("No answer queued for the question " + quoted(text));
  const yes_no_reply r = yes_no_answers_.front();
  yes_no_answers_.pop_front();
  return r == yes_no_reply::yes;
}

file_answer headless_platform::choose_file(const platform_types::file_request& request) {
  std::string line = "choose_file ";
  line += request.save ? "save" : (request.multiple ? "open multiple" : "open");
  record(line + " " + quoted(request.caption));
  file_requests_.push_back(request);
  if (file_answers_.empty())
    throw unanswered_question("No answer queued for the file dialog " + quoted(request.caption));
  file_answer a = std::move(file_answers_.front());
  file_answers_.pop_front();
  return a;
}

int headless_platform::popup_menu(window_ref owner, int x, int y, const std::vector<platform_types::menu_item>& items) {
  std::string texts;
  for (const auto& i : items) {
    if (!texts.empty()) texts += "|";
    texts += i.id == 0 ? "-" : i.text;
  }
  record("popup_menu " + window_name(owner) + " " + std::to_string(x) + " " + std::to_string(y) + " " + quoted(texts));
  if (popup_answers_.empty()) throw unanswered_question("No answer queued for the popup menu " + quoted(texts));
  const int id = popup_answers_.front();
  popup_answers_.pop_front();
  return id;
}

bool headless_platform::ask_figure_size(platform_types::figure_size& size, bool resolution, window_ref) {
  std::string line = "ask_figure_size " + std::to_string(size.width) + " " + std::to_string(size.height);
  record(line + (resolution ? " " + std::to_string(size.dpi) + " png" : " svg"));
  if (figure_sizes_.empty()) throw unanswered_question("No answer queued for the figure size dialog");
  const std::optional<platform_types::figure_size> answer = figure_sizes_.front();
  figure_sizes_.pop_front();
  if (!answer) return false;
  size = *answer;
  return true;
}

bool headless_platform::write_figure(const std::string& path, const platform_types::figure_size& size,
                                     const std::function<void(platform_types::surface&)>& draw, std::string& why) {
  record("write_figure " + quoted(path) + " " + std::to_string(size.width) + " " + std::to_string(size.height));
  if (figure_format_of(path) != figure_format::svg) {
    why = path + ": Cannot write file: only the workbench draws PNG figures; here a figure is written as SVG (.svg)";
    return false;
  }
  svg_surface s(size.width, size.height);
  draw(s);
  return write_file_replacing(path, s.document(), why);
}

// --- main frame ---

void headless_platform::set_main_title(const std::string& title) {
  main_title_ = title;
  record("set_main_title " + quoted(title));
}

void headless_platform::set_menu(const std::vector<platform_types::menu_item>& popups) {
  menu_ = popups;
  record("set_menu " + std::to_string(popups.size()));
}

void headless_platform::set_status_gadgets(const std::vector<platform_types::gadget>& gadgets) {
  status_gadgets_ = gadgets;
  record("set_status_gadgets " + std::to_string(gadgets.size()));
}

void headless_platform::set_status_text(int gadget_id, const std::string& text) {
  status_texts_[gadget_id] = text;
  record("set_status_text " + std::to_string(gadget_id) + " " + quoted(text));
}

void headless_platform::set_control_buttons(const std::vector<platform_types::gadget>& buttons) {
  control_buttons_ = buttons;
  record("set_control_buttons " + std::to_string(buttons.size()));
}

// --- frames ---

headless_platform::frame_id headless_platform::new_frame(const std::string& title, bool text_frame,
                                                         platform_types::frame_events* events) {
  const frame_id f = next_frame_++;
  frame_state& s = frames_[f];
  s.title = title;
  s.text_frame = text_frame;
  s.events = events;
  record(std::string(text_frame ? "create_text_frame " : "create_frame ") + std::to_string(f) + " " + quoted(title));
  // A new MDI child becomes the active one.
  switch_active(f);
  return f;
}

void headless_platform::switch_active(frame_id f) {
  if (f == active_frame_) return;
  const frame_id old = active_frame_;
  active_frame_ = f;
  if (frame_state* o = live_frame(old); o && o->events) o->events->on_activate(false);
  // The handler above may have destroyed the new frame.
  if (frame_state* n = live_frame(f); n && n->events && active_frame_ == f) n->events->on_activate(true);
}

headless_platform::frame_id headless_platform::create_frame(const std::string& title,
                                                            platform_types::frame_events* events) {
  return new_frame(title, false, events);
}

headless_platform::frame_id headless_platform::create_text_frame(const std::string& title,
                                                                 platform_types::frame_events* events) {
  return new_frame(title, true, events);
}

void headless_platform::destroy_frame(frame_id frame) {
  record("destroy_frame " + std::to_string(frame));
  frame_state* s = live_frame(frame);
  if (!s) return;
  s->exists = false;
  s->events = nullptr;
  if (captured_ == frame) captured_ = 0;
  for (auto& [id, d] : dialogs_)
    if (d.form_of == frame && d.exists) {
      d.exists = false;
      d.events = nullptr;
    }
  if (active_frame_ != frame) return;
  // The most recent remaining child takes over, as an MDI client does.
  active_frame_ = 0;
  for (auto it = frames_.rbegin(); it != frames_.rend(); ++it)
    if (it->second.exists) {
      switch_active(it->first);
      break;
    }
}

void headless_platform::set_frame_title(frame_id frame, const std::string& title) {
  record("set_frame_title " + std::to_string(frame) + " " + quoted(title));
  if (frame_state* s = live_frame(frame)) s->title = title;
}

void headless_platform::activate_frame(frame_id frame) {
  record("activate_frame " + std::to_string(frame));
  if (live_frame(frame)) switch_active(frame);
}

void headless_platform::close_frame(frame_id frame) {
  record("close_frame " + std::to_string(frame));
  frame_state* s = live_frame(frame);
  if (!s || (s->events && !s->events->on_close())) return;
  // The handler may have destroyed it already.
  if (live_frame(frame)) destroy_frame(frame);
}

void headless_platform::activate_next_frame() {
  record("activate_next_frame");
  std::vector<frame_id> open;
  for (const auto& [id, f] : frames_)
    if (f.exists) open.push_back(id);
  if (open.empty()) return;
  auto after = std::upper_bound(open.begin(), open.end(), active_frame_);
  switch_active(after == open.end() ? open.front() : *after);
}

int headless_platform::frame_count() const {
  int n = 0;
  for (const auto& [id, f] : frames_)
    if (f.exists) ++n;
  return n;
}

void headless_platform::focus_frame(frame_id frame) { record("focus_frame " + std::to_string(frame)); }

void headless_platform::show_client(bool shown) {
  client_shown_ = shown;
  record(std::string("show_client ") + (shown ? "1" : "0"));
}

void headless_platform::tile_frames(bool horizontal) {
  record(std::string("tile_frames ") + (horizontal ? "horizontal" : "vertical"));
}

void headless_platform::cascade_frames() { record("cascade_frames"); }

void headless_platform::arrange_icons() { record("arrange_icons"); }

void headless_platform::invalidate_frame(frame_id frame) {
  record("invalidate_frame " + std::to_string(frame));
  if (frame_state* s = live_frame(frame)) ++s->invalidations;
}

int headless_platform::frame_width(frame_id frame) const {
  const frame_state* s = live_frame(frame);
  return s ? s->width : 0;
}

int headless_platform::frame_height(frame_id frame) const {
  const frame_state* s = live_frame(frame);
  return s ? s->height : 0;
}

bool headless_platform::frame_minimised(frame_id frame) const {
  const frame_state* s = live_frame(frame);
  return s && s->minimised;
}

bool headless_platform::frame_maximised(frame_id frame) const {
  const frame_state* s = live_frame(frame);
  return s && s->maximised;
}

void headless_platform::set_frame_cursor(frame_id frame, int cursor_id) {
  record("set_frame_cursor " + std::to_string(frame) + " " + std::to_string(cursor_id));
  if (frame_state* s = live_frame(frame)) s->cursor = cursor_id;
}

void headless_platform::capture_mouse(frame_id frame) {
  record("capture_mouse " + std::to_string(frame));
  if (live_frame(frame)) captured_ = frame;
}

void headless_platform::release_mouse() {
  record("release_mouse");
  captured_ = 0;
}

void headless_platform::set_frame_text(frame_id frame, const std::string& text) {
  record("set_frame_text " + std::to_string(frame) + " " + quoted(text));
  if (frame_state* s = live_frame(frame)) {
    s->text = text;
    s->text_modified = false;
  }
}

bool headless_platform::frame_text_modified(frame_id frame) const {
  const frame_state* s = live_frame(frame);
  return s && s->text_modified;
}

void headless_platform::set_frame_text_modified(frame_id frame, bool modified) {
  if (frame_state* s = live_frame(frame)) s->text_modified = modified;
}

std::string headless_platform::frame_text(frame_id frame) const {
  const frame_state* s = live_frame(frame);
  return s ? s->text : std::string();
}

void headless_platform::set_frame_font(frame_id frame, const platform_types::font_description& font) {
  record("set_frame_font " + std::to_string(frame) + " " + quoted(font.face));
  if (frame_state* s = live_frame(frame)) s->font = font;
}

// --- dialogs ---

headless_platform::dialog_id headless_platform::create_dialog(const platform_types::dialog_resource& resource,
                                                              window_ref parent, bool modal,
                                                              platform_types::dialog_events* events) {
  const dialog_id d = next_dialog_++;
  dialog_state& s = dialogs_[d];
  s.resource_id = resource.id;
  s.caption = resource.caption;
  s.modal = modal;
  s.parent = parent;
  s.events = events;
  for (const platform_types::control& c : resource.controls) add_control_state(s, c);
  record("create_dialog " + std::to_string(d) + " " + std::to_string(resource.id) + " " + quoted(resource.caption) +
         (modal ? " modal" : ""));
  return d;
}

headless_platform::dialog_id headless_platform::create_form(frame_id frame,
                                                            const platform_types::dialog_resource& layout,
                                                            platform_types::dialog_events* events) {
  const dialog_id d = next_dialog_++;
  dialog_state& s = dialogs_[d];
  s.resource_id = layout.id;
  s.caption = layout.caption;
  s.parent = window_ref::frame(frame);
  s.form_of = frame;
  s.events = events;
  s.exists = live_frame(frame) != nullptr;
  s.shown = s.exists;
  for (const platform_types::control& c : layout.controls) add_control_state(s, c);
  record("create_form " + std::to_string(d) + " " + std::to_string(frame));
  return d;
}

void headless_platform::destroy_dialog(dialog_id dialog) {
  record("destroy_dialog " + std::to_string(dialog));
  if (dialog_state* s = live_dialog(dialog)) {
    s->exists = false;
    s->shown = false;
    s->events = nullptr;
  }
}

void headless_platform::show_dialog(dialog_id dialog, bool shown) {
  record(std::string(shown ? "show_dialog " : "hide_dialog ") + std::to_string(dialog));
  if (dialog_state* s = live_dialog(dialog)) s->shown = shown;
}

bool headless_platform::dialog_shown(dialog_id dialog) const {
  const dialog_state* s = live_dialog(dialog);
  return s && s->shown;
}

bool headless_platform::run_modal(dialog_id dialog) {
  record("run_modal " + std::to_string(dialog));
  dialog_state* s = live_dialog(dialog);
  const std::string caption = s ? s->caption : std::string();
  if (modal_answers_.empty()) throw unanswered_question("No answer queued for the modal dialog " + quoted(caption));
  modal_answer a = std::move(modal_answers_.front());
  modal_answers_.pop_front();
  if (s) s->shown = true;
  if (a.while_open) a.while_open(dialog);
  // The user's actions may have destroyed it.
  if (dialog_state* after = live_dialog(dialog)) after->shown = false;
  return a.ok;
}

void headless_platform::set_dialog_caption(dialog_id dialog, const std::string& caption) {
  record("set_dialog_caption " + std::to_string(dialog) + " " + quoted(caption));
  if (dialog_state* s = live_dialog(dialog)) s->caption = caption;
}

void headless_platform::add_control(dialog_id dialog, const platform_types::control& c) {
  record("add_control " + std::to_string(dialog) + " " + std::to_string(c.id));
  if (dialog_state* s = live_dialog(dialog)) add_control_state(*s, c);
}

void headless_platform::remove_control(dialog_id dialog, int control) {
  record("remove_control " + std::to_string(dialog) + " " + std::to_string(control));
  dialog_state* s = live_dialog(dialog);
  if (!s || control == 0) return;
  std::erase_if(s->controls, [control](const platform_types::control& c) { return c.id == control; });
  s->lists.erase(control);
  s->texts.erase(control);
  s->fonts.erase(control);
}

void headless_platform::set_control_font(dialog_id dialog, int control, const platform_types::font_description& font) {
  record("set_control_font " + std::to_string(dialog) + " " + std::to_string(control) + " " + quoted(font.face) +
         (font.strike_out ? " strike_out" : ""));
  if (dialog_state* s = live_dialog(dialog)) s->fonts[control] = font;
}

// --- list boxes ---

void headless_platform::list_add(dialog_id dialog, int control, const std::string& line) {
  record("list_add " + std::to_string(dialog) + " " + std::to_string(control) + " " + quoted(line));
  if (list_state* l = list(dialog, control)) {
    l->lines.push_back(line);
    l->selected.push_back(false);
  }
}

void headless_platform::list_clear(dialog_id dialog, int control) {
  record("list_clear " + std::to_string(dialog) + " " + std::to_string(control));
  if (list_state* l = list(dialog, control)) *l = list_state{};
}

void headless_platform::list_select(dialog_id dialog, int control, int index) {
  record("list_select " + std::to_string(dialog) + " " + std::to_string(control) + " " + std::to_string(index));
  list_state* l = list(dialog, control);
  if (!l) return;
  l->selected.assign(l->lines.size(), false);
  if (!in_list(index, l->lines.size())) return;
  l->selected[static_cast<std::size_t>(index)] = true;
  l->caret = index;
}

void headless_platform::list_set_selected(dialog_id dialog, int control, int index, bool selected) {
  record("list_set_selected " + std::to_string(dialog) + " " + std::to_string(control) + " " + std::to_string(index) +
         (selected ? " 1" : " 0"));
  list_state* l = list(dialog, control);
  if (!l || !in_list(index, l->lines.size())) return;
  l->selected[static_cast<std::size_t>(index)] = selected;
}

std::vector<int> headless_platform::list_selection(dialog_id dialog, int control) const {
  std::vector<int> chosen;
  if (const list_state* l = list(dialog, control))
    for (std::size_t i = 0; i < l->selected.size(); ++i)
      if (l->selected[i]) chosen.push_back(static_cast<int>(i));
  return chosen;
}

int headless_platform::list_caret(dialog_id dialog, int control) const {
  const list_state* l = list(dialog, control);
  return l ? l->caret : -1;
}

int headless_platform::list_count(dialog_id dialog, int control) const {
  const list_state* l = list(dialog, control);
  return l ? static_cast<int>(l->lines.size()) : 0;
}

void headless_platform::list_replace(dialog_id dialog, int control, int index, const std::string& line) {
  record("list_replace " + std::to_string(dialog) + " " + std::to_string(control) + " " + std::to_string(index) + " " +
         quoted(line));
  list_state* l = list(dialog, control);
  if (l && index >= 0 && index < static_cast<int>(l->lines.size())) l->lines[static_cast<std::size_t>(index)] = line;
}

std::string headless_platform::list_text(dialog_id dialog, int control, int index) const {
  const list_state* l = list(dialog, control);
  if (!l || !in_list(index, l->lines.size())) return {};
  return l->lines[static_cast<std::size_t>(index)];
}

int headless_platform::list_top_index(dialog_id dialog, int control) const {
  const list_state* l = list(dialog, control);
  return l ? l->top : 0;
}

void headless_platform::list_set_top_index(dialog_id dialog, int control, int index) {
  record("list_set_top_index " + std::to_string(dialog) + " " + std::to_string(control) + " " + std::to_string(index));
  list_state* l = list(dialog, control);
  if (l && in_list(index, l->lines.size())) l->top = index;
}

// --- edits ---

void headless_platform::edit_set_text(dialog_id dialog, int control, const std::string& text) {
  record("edit_set_text " + std::to_string(dialog) + " " + std::to_string(control) + " " + quoted(text));
  if (dialog_state* s = live_dialog(dialog)) s->texts[control] = text;
}

void headless_platform::edit_append(dialog_id dialog, int control, const std::string& text) {
  record("edit_append " + std::to_string(dialog) + " " + std::to_string(control) + " " + quoted(text));
  if (dialog_state* s = live_dialog(dialog)) s->texts[control] += text;
}

std::string headless_platform::edit_text(dialog_id dialog, int control) const {
  const dialog_state* s = live_dialog(dialog);
  if (!s) return {};
  auto it = s->texts.find(control);
  return it == s->texts.end() ? std::string() : it->second;
}

// --- pictures ---

headless_platform::picture_id headless_platform::create_picture(int width, int height) {
  const picture_id p = next_picture_++;
  pictures_.emplace(p, recording_surface(width, height));
  record("create_picture " + std::to_string(p) + " " + std::to_string(width) + " " + std::to_string(height));
  return p;
}

platform_types::surface* headless_platform::picture_surface(picture_id picture) { return this->picture(picture); }

void headless_platform::copy_picture(picture_id picture, frame_id frame) {
  record("copy_picture " + std::to_string(picture) + " " + std::to_string(frame));
}

void headless_platform::copy_picture_into(picture_id from, picture_id to) {
  record("copy_picture_into " + std::to_string(from) + " " + std::to_string(to));
  if (recording_surface* target = picture(to)) target->record("picture " + std::to_string(from));
}

void headless_platform::paint_picture(picture_id from, platform_types::surface& target) {
  record("paint_picture " + std::to_string(from));
  recording_surface* source = picture(from);
  auto* recorder = dynamic_cast<recording_surface*>(&target);
  if (!source || !recorder || source == recorder) return;
  // What was drawn off-screen is what the window now shows.
  for (const std::string& line : source->calls()) recorder->record(line);
}

void headless_platform::destroy_picture(picture_id picture) {
  record("destroy_picture " + std::to_string(picture));
  pictures_.erase(picture);
}

void headless_platform::set_busy(bool busy) { record(busy ? "busy" : "not_busy"); }

void headless_platform::show_progress(int done, int total) {
  record("progress " + std::to_string(done) + " " + std::to_string(total));
}

void headless_platform::quit() {
  quit_requested_ = true;
  record("quit");
}

// --- playing the user ---
// State changes first, the handler last: a handler may destroy the window
// (or the object behind it), so nothing here touches either afterwards.

void headless_platform::user_closes_dialog(dialog_id d) {
  dialog_state* s = live_dialog(d);
  if (!s) throw std::logic_error("The user cannot close dialog " + std::to_string(d) + ": it does not exist");
  if (s->events) s->events->on_close_box();
}

void headless_platform::user_selects(dialog_id d, int control, int index) {
  list_state* l = list(d, control);
  if (!l || !in_list(index, l->lines.size()))
    throw std::logic_error("The user cannot select line " + std::to_string(index) + " of list " +
                           std::to_string(control) + " in dialog " + std::to_string(d));
  l->selected.assign(l->lines.size(), false);
  l->selected[static_cast<std::size_t>(index)] = true;
  l->caret = index;
  if (platform_types::dialog_events* e = live_dialog(d)->events) e->on_list_select(control);
}

void headless_platform::user_double_clicks(dialog_id d, int control, int index) {
  list_state* l = list(d, control);
  // Index -1: below the last line, where nothing is selected by the click.
  if (l && index == -1) {
    if (platform_types::dialog_events* e = live_dialog(d)->events) e->on_list_double_click(control);
    return;
  }
  if (!l || !in_list(index, l->lines.size()))
    throw std::logic_error("The user cannot double-click line " + std::to_string(index) + " of list " +
                           std::to_string(control) + " in dialog " + std::to_string(d));
  l->caret = index;
  if (!l->selected[static_cast<std::size_t>(index)]) {
    l->selected.assign(l->lines.size(), false);
    l->selected[static_cast<std::size_t>(index)] = true;
  }
  if (platform_types::dialog_events* e = live_dialog(d)->events) e->on_list_double_click(control);
}

void headless_platform::user_scrolls(dialog_id d, int control, int top) {
  list_state* l = list(d, control);
  if (!l) throw std::logic_error("The user cannot scroll a list of dialog " + std::to_string(d));
  l->top = top;
  if (platform_types::dialog_events* e = live_dialog(d)->events) e->on_list_scroll(control);
}

void headless_platform::user_types(dialog_id d, int control, const std::string& text) {
  dialog_state* s = live_dialog(d);
  if (!s) throw std::logic_error("The user cannot type into dialog " + std::to_string(d));
  s->texts[control] = text;
}

void headless_platform::user_presses_enter(dialog_id d, int control) {
  dialog_state* s = live_dialog(d);
  if (!s) throw std::logic_error("The user cannot press Enter in dialog " + std::to_string(d));
  if (s->events) s->events->on_edit_enter(control);
}

void headless_platform::user_clicks(dialog_id d, const platform_types::mouse_event& e) {
  dialog_state* s = live_dialog(d);
  if (!s) throw std::logic_error("The user cannot click in dialog " + std::to_string(d));
  if (s->events) s->events->on_mouse(e);
}

void headless_platform::user_clicks_control(dialog_id d, int control) {
  dialog_state* s = live_dialog(d);
  if (!s) throw std::logic_error("The user cannot click in dialog " + std::to_string(d));
  if (s->events) s->events->on_control_click(control);
}

void headless_platform::user_right_clicks_list(dialog_id d, int control) {
  dialog_state* s = live_dialog(d);
  if (!s || !list(d, control))
    throw std::logic_error("The user cannot right-click list " + std::to_string(control) + " in dialog " +
                           std::to_string(d));
  if (s->events) s->events->on_list_context(control);
}

void headless_platform::user_edits_text(frame_id f, const std::string& text) {
  frame_state* s = live_frame(f);
  if (!s || !s->text_frame) throw std::logic_error("The user cannot type text into frame " + std::to_string(f));
  s->text = text;
  s->text_modified = true;
}

void headless_platform::user_command(int id) { app_events("commands").on_command(id); }

void headless_platform::user_presses_button(int id, platform_types::mouse_button button) {
  app_events("control-bar buttons").on_button_press(id, button);
}

void headless_platform::user_hovers_button(int id) { app_events("control-bar buttons").on_button_hover(id); }

platform_types::command_state headless_platform::user_enabler(int id) { return app_events("enablers").on_enable(id); }

bool headless_platform::user_closes_main() {
  if (!app_events("closing").on_can_close()) return false;
  quit();
  return true;
}

void headless_platform::user_idles() { app_events("idle time").on_idle(); }

void headless_platform::user_activates(frame_id f) {
  if (!live_frame(f)) throw std::logic_error("The user cannot activate frame " + std::to_string(f));
  switch_active(f);
}

bool headless_platform::user_closes_frame(frame_id f) {
  frame_state* s = live_frame(f);
  if (!s) throw std::logic_error("The user cannot close frame " + std::to_string(f));
  if (s->events && !s->events->on_close()) return false;
  // The handler may have destroyed it already.
  if (live_frame(f)) destroy_frame(f);
  return true;
}

std::vector<std::string> headless_platform::user_paints(frame_id f) {
  frame_state* s = live_frame(f);
  if (!s) throw std::logic_error("The user cannot see frame " + std::to_string(f));
  recording_surface painted(s->width, s->height);
  if (s->events) s->events->on_paint(painted);
  return painted.calls();
}

void headless_platform::user_resizes(frame_id f, int width, int height) {
  frame_state* s = live_frame(f);
  if (!s) throw std::logic_error("The user cannot resize frame " + std::to_string(f));
  s->width = width;
  s->height = height;
  if (s->events) s->events->on_size(width, height);
}

void headless_platform::user_mouse(frame_id f, const platform_types::mouse_event& e) {
  // While captured, the mouse belongs to the capturing frame.
  const frame_id target = captured_ ? captured_ : f;
  frame_state* s = live_frame(target);
  if (!s) throw std::logic_error("The user cannot use the mouse in frame " + std::to_string(f));
  if (s->events) s->events->on_mouse(e);
}

void headless_platform::user_turns_wheel(frame_id f, int x, int y, int steps, bool shift) {
  platform_types::mouse_event e;
  e.action = platform_types::mouse_action::wheel;
  e.x = x;
  e.y = y;
  e.shift = shift;
  e.wheel_steps = steps;
  user_mouse(f, e);
}

void headless_platform::user_types_key(frame_id f, char c) {
  frame_state* s = live_frame(f);
  if (!s) throw std::logic_error("The user cannot type in frame " + std::to_string(f));
  if (s->events) s->events->on_char(c);
}

void headless_platform::user_focuses(frame_id f) {
  frame_state* s = live_frame(f);
  if (!s) throw std::logic_error("The user cannot focus frame " + std::to_string(f));
  if (s->events) s->events->on_focus();
}

void headless_platform::user_minimises(frame_id f, bool minimised) {
  if (frame_state* s = live_frame(f)) s->minimised = minimised;
}

void headless_platform::user_maximises(frame_id f, bool maximised) {
  if (frame_state* s = live_frame(f)) s->maximised = maximised;
}
