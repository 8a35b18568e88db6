#include "app/report/input_vw_3.h"

#include <algorithm>
#include <set>
#include <sstream>

#include "app/platform/control_factory.h"
#include "app/platform/edit_recorder.h"
#include "app/text/font_3.h"
#include "core/error_message.h"
#include "core/fund_type_3.h"
#include "core/node_watch.h"
#include "core/numeric_abort.h"
#include "core/paths.h"
#include "template/all_templates_3.h"
#include "template/tem_funda_3.h"
#include "xrd/plots/plot_3.h"

namespace {

using platform_types::control;
using platform_types::control_kind;
using platform_types::make_control;

// The window, in dialog units: the list of reports and its help on the
// left, the edit line and the columns on the right.
constexpr int left_margin = 7;
constexpr int templates_width = 150;
constexpr int templates_height = 96;
constexpr int help_top = 108;
constexpr int help_height = 90;
constexpr int columns_left = left_margin + templates_width + 8;
constexpr int title_top = 24;
constexpr int title_height = 10;
constexpr int list_top = title_top + title_height + 1;
constexpr int list_height = 174;
constexpr int options_width = 64;
constexpr int column_gap = 2;
constexpr int form_height = list_top + list_height + 6;
// Dialog units per character of a column's width.
constexpr int units_per_character = 5;
constexpr const char* create_report_item = "Create TXT Report";

std::vector<std::string> words_of(const char* text) {
  std::vector<std::string> out;
  std::istringstream in(text ? text : "");
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

const char* record_value(assoc_class* record, const char* name) { return record ? record->child_value(name) : nullptr; }

// The node of the column's name that an identity column shows for a row:
// the row's child of that name, a descendant, the node the name designates
// from the row (a tail's file path), or the row itself.
assoc_class* identity_cell(assoc_class& row, const std::string& name) {
  if (assoc_class* c = row.find_child(name.c_str())) return c;
  if (assoc_class* d = depth_first_search(row, name.c_str()); d && d != &row) return d;
  if (assoc_class* f = find_existing(row, name.c_str())) return f;
  return &row;
}

// The text font of the editor, or its struck-out form for a column left
// out of the report.
platform_types::font_description text_font(assoc_class& from, bool struck) {
  if (auto* f = dynamic_cast<font_3*>(find(from, struck ? "font_strike_out" : "font"))) return f->description();
  platform_types::font_description fallback;
  fallback.face = "Courier New";
  fallback.strike_out = struck;
  return fallback;
}

}  // namespace

input_vw_3::input_vw_3() = default;

input_vw_3::~input_vw_3() {
  platform* p = current_platform();
  if (p && frame_) p->destroy_frame(frame_);
}

std::string input_vw_3::outside(const char* name) const {
  const char* v = query_value((std::string("input_vw c ") + name).c_str());
  return v ? v : "";
}

assoc_class* input_vw_3::row(int r) const {
  return r >= 0 && r < row_count() ? rows_[static_cast<std::size_t>(r)]->get() : nullptr;
}

// --- the entries ---

void input_vw_3::configure(inp_tem_rec_3& entry) {
  assoc_class* definition = query_object((outside("reports") + " c " + entry.class_name()).c_str());
  entry.group.set(definition);
  entry.title.assign(record_value(definition, "title") ? record_value(definition, "title") : entry.class_name());
  entry.help.assign(record_value(definition, "hlp") ? record_value(definition, "hlp") : "");
  entry.get_name.assign(entry.class_name());
  entry.make_name.assign("");
  entry.report_flags = my_flag();
  const std::vector<std::string> data = words_of(record_value(definition, "data"));
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (data[i] == "_get_name" && i + 1 < data.size()) entry.get_name.assign(data[++i].c_str());
    else if (data[i] == "_creation_name" && i + 1 < data.size()) entry.make_name.assign(data[++i].c_str());
    else if (data[i] == "_create_if_not_there") entry.report_flags.set(inp_tem_rec_3::create_if_not_there);
    else if (data[i] == "_marker") entry.report_flags.set(inp_tem_rec_3::marker);
  }
}

std::vector<inp_tem_rec_3*> input_vw_3::entries() {
  std::vector<inp_tem_rec_3*> out;
  assoc_class* top = template_tree().top_level(outside("template").c_str());
  if (!top) return out;
  for (int i = 0; i < top->child_count(); ++i)
    if (auto* e = dynamic_cast<inp_tem_rec_3*>(top->child(i))) {
      configure(*e);
      out.push_back(e);
    }
  return out;
}

// --- the window ---

assoc_class* input_vw_3::execute() {
  platform* p = current_platform();
  if (!p) return nullptr;
  if (frame_) {
    p->activate_frame(frame_);
    return assoc_class::execute();
  }
  frame_ = p->create_frame("Report editor", this);
  if (!frame_) return nullptr;
  platform_types::dialog_resource layout;
  layout.caption = "Report editor";
  layout.width = columns_left + options_width + 8;
  layout.height = form_height;
  layout.controls = {
      make_control(control_kind::list_box, report_control::templates, left_margin, 6, templates_width,
                   templates_height),
      make_control(control_kind::multiline_edit, report_control::help, left_margin, help_top, templates_width,
                   help_height),
      make_control(control_kind::label, report_control::apply_label, columns_left, 6, 100, 12, "Change Selections To"),
      make_control(control_kind::edit, report_control::edit_line, columns_left + 104, 6, 200, 12),
      make_control(control_kind::label, report_control::options_title, columns_left, title_top, options_width,
                   title_height, "Options"),
      make_control(control_kind::list_box, report_control::options, columns_left, list_top, options_width, list_height),
  };
  layout.controls[1].read_only = true;
  layout.controls[1].border = true;
  layout.controls[1].vertical_scroll = true;
  layout.controls[2].border = true;
  layout.controls[5].vertical_scroll = true;
  form_ = p->create_form(frame_, layout, this);
  const platform_types::font_description font = text_font(*this, false);
  for (int id : {report_control::templates, report_control::help, report_control::edit_line, report_control::options})
    p->set_control_font(form_, id, font);
  for (inp_tem_rec_3* e : entries()) p->list_add(form_, report_control::templates, e->title.c_str());
  if (!entries().empty()) {
    p->list_select(form_, report_control::templates, 0);
    choose(0);
  }
  return assoc_class::execute();
}

bool input_vw_3::on_close() {
  // The frame goes with its window; the editor object stays, to open again.
  clear_columns();
  rows_.clear();
  frame_ = 0;
  form_ = 0;
  chosen_ = -1;
  return true;
}

void input_vw_3::on_activate(bool active) {
  // Back in front, the report shows the tree as it is now.
  if (active && !building_ && chosen_ >= 0) run_action([&] { choose(chosen_); });
}

void input_vw_3::clear_columns() {
  platform* p = current_platform();
  for (const auto& c : columns_) {
    if (p && form_) {
      p->remove_control(form_, c->list_id);
      p->remove_control(form_, c->title_id);
    }
  }
  columns_.clear();
  if (p && form_) p->list_clear(form_, report_control::options);
}

bool input_vw_3::choose(int index) {
  std::vector<inp_tem_rec_3*> all = entries();
  if (index < 0 || index >= static_cast<int>(all.size())) return false;
  inp_tem_rec_3& entry = *all[static_cast<std::size_t>(index)];
  if (entry.report_flags.test(inp_tem_rec_3::marker)) return false;
  platform* p = current_platform();
  building_ = true;
  chosen_ = index;
  clear_columns();
  rows_.clear();
  if (p && form_) p->edit_set_text(form_, report_control::help, entry.help.c_str());

  // The rows: every node of the entry's name below the search node, kept to
  // those named like the filter when there is one.
  node_list found;
  if (assoc_class* from = find(*this, outside("search_from").c_str())) {
    // Rows that exist only once used (a file's tails) are made first, in
    // every node of the creation name.
    if (entry.report_flags.test(inp_tem_rec_3::create_if_not_there) && !entry.make_name.is_empty()) {
      node_list owners;
      from->collect_named(owners, entry.make_name.c_str());
      for (assoc_class* owner : owners) find(*owner, entry.get_name.c_str());
    }
    from->collect_named(found, entry.get_name.c_str());
  }
  assoc_class* definition = entry.group.get();
  const char* filter = nullptr;
  const std::vector<std::string> data = words_of(record_value(definition, "data"));
  for (std::size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] == "_filter") filter = data[i + 1].c_str();
  for (assoc_class* n : found)
    if (!filter || assoc_class::names_equal(n->display_name(), filter)) rows_.push_back(std::make_unique<node_watch>(n));

  if (!rows_.empty() && definition) {
    const std::vector<std::string> hidden = words_of(record_value(definition, "_hidden_ids"));
    for (const char* group : {"id_lbs", "data_lbs"}) {
      assoc_class* list = definition->find_child(group);
      for (int i = 0; list && i < list->child_count(); ++i) {
        assoc_class* rec = list->child(i);
        const std::string name = rec->class_name();
        const bool identity = group[0] == 'i';
        if (identity && std::find(hidden.begin(), hidden.end(), name) != hidden.end()) continue;
        const char* words = rec->first_child() ? rec->first_child()->class_name() : "";
        add_column(lb_tem_3(name, words), identity);
      }
    }
    if (p && form_) p->list_add(form_, report_control::options, create_report_item);
  }
  lay_out();
  files_shown_ = loaded_file_count();
  building_ = false;
  // The fields the columns show were made with their defaults where a file
  // had none: no edit of the person's, nothing to undo.
  tell_edits_settled(*this);
  return true;
}

int input_vw_3::loaded_file_count() {
  assoc_class* files = find_existing(*this, "xAdd_recs");
  return files ? files->child_count() : 0;
}

void input_vw_3::refresh() {
  platform* p = current_platform();
  if (!p || !form_ || building_ || chosen_ < 0) return;
  bool rows_went = false;
  for (const auto& r : rows_) rows_went |= r->get() == nullptr;
  if (rows_went || loaded_file_count() != files_shown_) {
    choose(chosen_);
    return;
  }
  // Only what changed is written: the lists keep their selection and
  // scrolling, and the user's choice of cells stays.
  for (const auto& c : columns_)
    for (int r = 0; r < c->rows(); ++r)
      if (const std::string now = c->text(r); p->list_text(form_, c->list_id, r) != now)
        p->list_replace(form_, c->list_id, r, now);
}

void input_vw_3::add_column(const lb_tem_3& definition, bool identity) {
  const int list_id = report_control::first_column + 2 * static_cast<int>(columns_.size());
  auto column = std::make_unique<inp_data_id_lb_3>(definition, identity, list_id, list_id + 1);
  fill_column(*column);
  columns_.push_back(std::move(column));
}

void input_vw_3::fill_column(inp_data_id_lb_3& column) {
  std::vector<assoc_class*> nodes;
  for (int r = 0; r < row_count(); ++r) {
    assoc_class* row_node = row(r);
    if (!row_node) {
      nodes.push_back(nullptr);
      continue;
    }
    if (column.identity) {
      nodes.push_back(identity_cell(*row_node, column.definition.name()));
      continue;
    }
    assoc_class* holder = column.definition.with().empty() ? row_node : find(*row_node, column.definition.with().c_str());
    nodes.push_back(holder ? find(*holder, column.definition.code().c_str()) : nullptr);
  }
  column.set_cells(nodes);
}

void input_vw_3::lay_out() {
  platform* p = current_platform();
  if (!p || !form_) return;
  const platform_types::font_description plain = text_font(*this, false);
  const platform_types::font_description struck = text_font(*this, true);
  int x = columns_left + options_width + column_gap;
  for (const auto& c : columns_) {
    const int w = static_cast<int>(c->definition.width() * units_per_character);
    control title =
        make_control(control_kind::label, c->title_id, x, title_top, w, title_height, c->definition.title());
    control list = make_control(control_kind::list_box, c->list_id, x, list_top, w, list_height);
    list.multiple_selection = true;
    list.vertical_scroll = (c->definition.flags & lb_tem_3::vertical_scroll) != 0;
    list.horizontal_scroll = (c->definition.flags & lb_tem_3::horizontal_scroll) != 0;
    p->add_control(form_, title);
    p->add_control(form_, list);
    p->set_control_font(form_, c->list_id, c->hidden() ? struck : plain);
    for (int r = 0; r < c->rows(); ++r) p->list_add(form_, c->list_id, c->text(r));
    x += w + column_gap;
  }
}

inp_data_id_lb_3* input_vw_3::column_of(int control) {
  for (const auto& c : columns_)
    if (c->list_id == control || c->title_id == control) return c.get();
  return nullptr;
}

// --- editing ---

int input_vw_3::apply_edit() {
  platform* p = current_platform();
  if (!p || !form_) return 0;
  // An empty line is a value too: it clears a reference, and a number
  // field refuses it.
  const std::string text = p->edit_text(form_, report_control::edit_line);
  inp_data_id_lb_3* target = nullptr;
  std::vector<int> selected;
  for (const auto& c : columns_) {
    if (!c->editable()) continue;
    selected = p->list_selection(form_, c->list_id);
    if (!selected.empty()) {
      target = c.get();
      break;
    }
  }
  if (!target) return 0;
  int taken = 0;
  std::set<assoc_class*> files;
  for (int r : selected) {
    assoc_class* node = target->cell(r);
    if (!dynamic_cast<fund_type_3*>(node)) continue;
    node_watch alive(node);
    // The value's own message explains a refusal, once: the edit stops at
    // the first row that does not take it.
    const int result = node->set_text_with_limits(text.c_str());
    if (alive && result == 0) {
      ++taken;
      if (assoc_class* file = node->ancestor_named("xdd")) files.insert(file);
      p->list_replace(form_, target->list_id, r, target->text(r));
    }
    if (result == 2 || result == 3) break;
  }
  if (taken > 0) {
    if (assoc_class* dirty = find(*this, "set_proj_dirty")) dirty->set_int(1);
    // What depends on the values is drawn again.
    for (assoc_class* file : files) plot_3::redraw_file(*file);
    // The other columns show values that scripts may have changed.
    for (const auto& c : columns_)
      for (int r = 0; r < c->rows(); ++r) p->list_replace(form_, c->list_id, r, c->text(r));
  }
  return taken;
}

void input_vw_3::hide_selected_lines() {
  platform* p = current_platform();
  if (!p || !form_) return;
  std::set<int> chosen;
  for (const auto& c : columns_)
    for (int r : p->list_selection(form_, c->list_id)) chosen.insert(r);
  if (chosen.empty()) return;
  const std::vector<int> ascending(chosen.begin(), chosen.end());
  for (auto it = ascending.rbegin(); it != ascending.rend(); ++it)
    if (*it >= 0 && *it < row_count()) rows_.erase(rows_.begin() + *it);
  for (const auto& c : columns_) {
    c->erase_rows(ascending);
    p->list_clear(form_, c->list_id);
    for (int r = 0; r < c->rows(); ++r) p->list_add(form_, c->list_id, c->text(r));
  }
}

void input_vw_3::set_column_hidden(std::size_t index, bool hidden) {
  if (index >= columns_.size()) return;
  inp_data_id_lb_3& c = *columns_[index];
  if (hidden)
    c.definition.flags |= lb_tem_3::hidden;
  else
    c.definition.flags &= ~lb_tem_3::hidden;
  if (platform* p = current_platform(); p && form_) p->set_control_font(form_, c.list_id, text_font(*this, hidden));
}

std::string input_vw_3::report_text() const {
  std::string out;
  for (const auto& c : columns_)
    if (!c->hidden()) out += c->definition.title() + " ";
  out += "\n";
  for (int r = 0; r < row_count(); ++r) {
    // The whole value of every cell: a long path is no less a path.
    for (const auto& c : columns_)
      if (!c->hidden()) out += c->text(r) + " ";
    out += "\n";
  }
  return out;
}

assoc_class* input_vw_3::create_report() {
  const std::string text = report_text();
  assoc_class* name = find(*this, "any_path_name");
  if (!name) return nullptr;
  name->set_text("TXT Report");
  assoc_class* view = name->execute();
  if (view) view->set_text(text.c_str());
  return view;
}

// --- what the window tells ---

void input_vw_3::on_list_select(int control) {
  platform* p = current_platform();
  if (!p || !form_ || building_) return;
  if (control == report_control::templates) {
    run_action([&] { choose(p->list_caret(form_, control)); });
    return;
  }
  if (inp_data_id_lb_3* chosen = column_of(control)) {
    // One column is edited at a time: choosing cells in one lets go of the
    // others, so the edit line goes where the user looks.
    for (const auto& c : columns_)
      if (c.get() != chosen)
        for (int r : p->list_selection(form_, c->list_id)) p->list_set_selected(form_, c->list_id, r, false);
    return;
  }
  if (control == report_control::options) {
    const int caret = p->list_caret(form_, control);
    if (p->list_text(form_, control, caret) == create_report_item) {
      run_action([&] { create_report(); });
      p->list_set_selected(form_, control, caret, false);
    }
  }
}

void input_vw_3::on_list_double_click(int control) {
  platform* p = current_platform();
  if (!p || !form_ || !column_of(control)) return;
  const std::vector<int> selected = p->list_selection(form_, control);
  if (selected.empty()) return;
  p->edit_set_text(form_, report_control::edit_line, p->list_text(form_, control, selected.front()));
}

void input_vw_3::on_list_scroll(int control) {
  platform* p = current_platform();
  if (!p || !form_ || !column_of(control)) return;
  // The columns are one table: they scroll together, row by row.
  const int top = p->list_top_index(form_, control);
  for (const auto& c : columns_)
    if (c->list_id != control && p->list_top_index(form_, c->list_id) != top) p->list_set_top_index(form_, c->list_id, top);
}

void input_vw_3::on_list_context(int control) {
  platform* p = current_platform();
  inp_data_id_lb_3* column = column_of(control);
  if (!p || !form_ || !column) return;
  const int chosen = p->popup_menu(platform_types::window_ref::dialog(form_), -1, -1,
                                   {{report_command::hide_column, "Hide from Report", "", {}},
                                    {report_command::show_column, "Show in Report", "", {}},
                                    {},
                                    {report_command::delete_items, "Delete Selected Items", "", {}},
                                    {report_command::hide_lines, "Hide Selected Lines", "", {}}});
  std::size_t index = 0;
  while (index < columns_.size() && columns_[index].get() != column) ++index;
  switch (chosen) {
    case report_command::hide_column:
      set_column_hidden(index, true);
      return;
    case report_command::show_column:
      set_column_hidden(index, false);
      return;
    case report_command::hide_lines:
      run_action([&] {
        if (assoc_class* hide = child_or_create("inp_hide"))
          hide->execute();
        else
          hide_selected_lines();
      });
      return;
    default:
      return;  // deleting items is not offered for the tree's objects
  }
}

void input_vw_3::press_apply() {
  // The editor's actions each end with the message of a numerical stage
  // that gives up (numeric_abort); the editor goes on.
  run_action([&] {
    if (assoc_class* pressed = child_or_create("inp_edit_return_pressed"))
      pressed->execute();
    else
      apply_edit();
  });
  // However many cells took the value, it is one step of Undo.
  tell_edit_done(*this, "report edit");
}

void input_vw_3::on_edit_enter(int control) {
  if (control == report_control::edit_line) press_apply();
}

void input_vw_3::on_control_click(int control) {
  platform* p = current_platform();
  if (!p || !form_) return;
  if (control == report_control::apply_label) {
    press_apply();
    return;
  }
  // A column's title selects all of its rows, and lets go of the other
  // columns' as a choice of cells does: the edit line goes to this column.
  if (inp_data_id_lb_3* c = column_of(control); c && control == c->title_id) {
    for (const auto& other : columns_)
      if (other.get() != c)
        for (int r : p->list_selection(form_, other->list_id)) p->list_set_selected(form_, other->list_id, r, false);
    for (int r = 0; r < c->rows(); ++r) p->list_set_selected(form_, c->list_id, r, true);
  }
}
