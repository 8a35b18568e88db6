#include "app/shell/edit_history.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <utility>

#include "core/fund_type_3.h"
#include "core/node_watch.h"
#include "io/string_in.h"
#include "io/string_out.h"
#include "io/tree_text.h"
#include "xrd/chain/ptr_classes_4.h"
#include "xrd/chain/ref_prof_3.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/plots/plot_3.h"

namespace {

bool same_values(const float_vec& a, const float_vec& b) {
  return a.count() == b.count() && a.base() == b.base() && std::equal(a.data(), a.data() + a.count(), b.data());
}

xy_yobs_4* observed(assoc_class& file) { return dynamic_cast<xy_yobs_4*>(file.find_child("xy_yobs")); }

// The records below the file's own: its own record carries its path, which
// Save As changes and no edit does.
std::string records_below(assoc_class& file) {
  string_out out;
  save_subtree(file, out);
  const std::string& all = out.text();
  const std::size_t second = all.find('\n', 1);
  return second == std::string::npos ? std::string() : all.substr(second);
}

// The records' names with their parents' ("fBreq_doubler xdd"): what a
// record is known by below one file, where no name repeats under a parent.
std::set<std::string> record_keys(const std::string& records) {
  std::set<std::string> keys;
  std::istringstream lines(records);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string name, parent;
    if (words >> name >> parent) keys.insert(name + " " + parent);
  }
  return keys;
}

// The nodes below `node` that write a record none of `keys` names: made
// since (a field first set by the edit), they go, so that the file holds
// the records it held and no more.
void collect_unrecorded(assoc_class& node, const std::set<std::string>& keys, node_list& out) {
  for (int i = 0; i < node.child_count(); ++i) {
    assoc_class* child = node.child(i);
    if (!child || child->template_flag(tem_bits::not_for_proj)) continue;
    string_out record;
    child->write_for_project(record);
    std::istringstream words(record.text());
    std::string name, parent;
    if (words >> name >> parent && !keys.count(name + " " + parent)) {
      out.push_back(child);
      continue;
    }
    collect_unrecorded(*child, keys, out);
  }
}

// A typed value of a file as it was before a restore, as it is written.
struct field_value {
  std::unique_ptr<node_watch> node;
  std::string text;
};

std::string written(assoc_class& node) {
  string_out out;
  node.write_for_project(out);
  return out.text();
}

void collect_fields(assoc_class& node, std::vector<field_value>& out) {
  for (int i = 0; i < node.child_count(); ++i) {
    assoc_class* child = node.child(i);
    if (!child || child->template_flag(tem_bits::not_for_proj)) continue;
    if (dynamic_cast<fund_type_3*>(child)) out.push_back({std::make_unique<node_watch>(child), written(*child)});
    collect_fields(*child, out);
  }
}

// A file as the menu names it: the name of its path, without the folders.
std::string file_name(assoc_class& file) {
  const char* path = get_text_named(file, "xDdd_path_name");
  const std::string name = std::filesystem::path(path ? path : "").filename().string();
  return name.empty() ? "an unnamed file" : name;
}

// After the file's options or curve were put back behind the chain's
// flags: every result of it, and of the files that take it as their
// reference, is computed again and drawn.
void recompute(assoc_class& file) {
  if (xy_yobs_4* chain = observed(file)) {
    chain->dirty = true;
    chain->invalidate_chain();
  }
  std::vector<std::unique_ptr<node_watch>> tied;
  if (xy_yobs_4* chain = observed(file))
    if (ptr_classes_4* list = chain->tied_files())
      for (assoc_class* other : list->targets())
        if (other != &file) tied.push_back(std::make_unique<node_watch>(other));
  node_watch alive(&file);
  plot_3::redraw_file(file);
  for (const auto& w : tied) {
    if (!w->get()) continue;
    if (assoc_class* recalc = find(*w->get(), "for_recalcs_ref")) recalc->execute();
    if (w->get()) plot_3::redraw_file(*w->get());
  }
}

}  // namespace

bool edit_history::curve_state::operator==(const curve_state& other) const {
  return x1 == other.x1 && x2 == other.x2 && xd == other.xd && n == other.n && same_values(y, other.y) &&
         same_values(x, other.x);
}

bool edit_history::file_state::operator==(const file_state& other) const {
  if (records != other.records) return false;
  if (curve == other.curve) return true;
  return curve && other.curve && *curve == *other.curve;
}

std::string edit_history::step::name() const {
  if (files.size() == 1 && files.front().file->get()) return what + " of " + file_name(*files.front().file->get());
  return what + " of " + std::to_string(files.size()) + " files";
}

bool edit_history::step::file_gone() const {
  return std::any_of(files.begin(), files.end(), [](const file_change& c) { return !c.file->get(); });
}

edit_history::edit_history() = default;
edit_history::~edit_history() = default;

edit_history::file_state edit_history::state_of(assoc_class& file, const file_state* known) {
  file_state state;
  state.records = records_below(file);
  xy_yobs_4* chain = observed(file);
  if (!chain) return state;
  curve_state now;
  now.x1 = chain->x1;
  now.x2 = chain->x2;
  now.xd = chain->xd;
  now.n = chain->n;
  // Compared before it is copied: most edits leave the curve as it was.
  if (known && known->curve && known->curve->x1 == now.x1 && known->curve->x2 == now.x2 &&
      known->curve->xd == now.xd && known->curve->n == now.n && same_values(known->curve->y, chain->y)) {
    const float_vec* x = chain->explicit_abscissa();
    if (x ? same_values(known->curve->x, *x) : known->curve->x.count() == 0) {
      state.curve = known->curve;
      return state;
    }
  }
  now.y = chain->y;
  if (const float_vec* x = chain->explicit_abscissa()) now.x = *x;
  state.curve = std::make_shared<const curve_state>(std::move(now));
  return state;
}

const edit_history::file_state* edit_history::known_state(assoc_class* file) const {
  for (const known_file& k : known_)
    if (k.file->get() == file) return &k.state;
  return nullptr;
}

void edit_history::settle(assoc_class* files) { record(files, nullptr, ""); }

bool edit_history::record(assoc_class* files, assoc_class* project_dirty, const std::string& what) {
  std::vector<known_file> now;
  step made;
  made.what = what;
  for (int i = 0; files && i < files->child_count(); ++i) {
    assoc_class* file = files->child(i);
    if (!file) continue;
    const file_state* known = known_state(file);
    known_file current{std::make_unique<node_watch>(file), state_of(*file, known)};
    // A file that came since (a load, a capture) has nothing to go back to.
    if (!what.empty() && known && !(current.state == *known)) {
      file_change change;
      change.file = std::make_unique<node_watch>(file);
      change.before = *known;
      change.after = current.state;
      change.marked_changed = file->is_changed();
      made.files.push_back(std::move(change));
    }
    now.push_back(std::move(current));
  }
  known_ = std::move(now);
  if (made.files.empty()) return false;
  made.marked_project = project_dirty && project_dirty->get_int() != 0;
  done_.push_back(std::move(made));
  if (done_.size() > most_steps) done_.pop_front();
  undone_.clear();
  return true;
}

void edit_history::drop_gone(std::deque<step>& steps) {
  while (!steps.empty() && steps.back().file_gone()) steps.pop_back();
}

bool edit_history::can_undo() {
  drop_gone(done_);
  return !done_.empty();
}

bool edit_history::can_redo() {
  drop_gone(undone_);
  return !undone_.empty();
}

std::string edit_history::undo_name() { return can_undo() ? done_.back().name() : std::string(); }

std::string edit_history::redo_name() { return can_redo() ? undone_.back().name() : std::string(); }

bool edit_history::undo(assoc_class* files, assoc_class* project_dirty) {
  return apply(done_, undone_, false, files, project_dirty);
}

bool edit_history::redo(assoc_class* files, assoc_class* project_dirty) {
  return apply(undone_, done_, true, files, project_dirty);
}

bool edit_history::apply(std::deque<step>& from, std::deque<step>& to, bool forward, assoc_class* files,
                         assoc_class* project_dirty) {
  drop_gone(from);
  if (from.empty()) return false;
  step taken = std::move(from.back());
  from.pop_back();
  for (file_change& c : taken.files)
    if (assoc_class* file = c.file->get()) restore(*file, forward ? c.after : c.before);
  for (file_change& c : taken.files) {
    assoc_class* file = c.file->get();
    if (!file) continue;
    if (c.marked_changed) file->set_changed(true);
    recompute(*file);
  }
  if (taken.marked_project && project_dirty) project_dirty->set_int(1);
  to.push_back(std::move(taken));
  settle(files);
  return true;
}

void edit_history::restore(assoc_class& file, const file_state& state) {
  auto* reference = dynamic_cast<ref_prof_3*>(file.find_child("ref_prof"));
  const std::string reference_before = reference && reference->get_text() ? reference->get_text() : "";
  std::vector<field_value> values_before;
  collect_fields(file, values_before);
  // The file's own record first, which the reader passes over.
  const std::string records = "\nxdd xAdd_recs ~" + state.records;
  string_in in(records.c_str());
  load_subtree(file, in);
  // Each value that changed asks for what depends on it as the edit's own
  // change did: a tail whose terms changed is fitted again, a transform
  // whose length changed is made again.
  for (const field_value& v : values_before)
    if (auto* field = dynamic_cast<fund_type_3*>(v.node->get()); field && written(*field) != v.text)
      field->run_change_hook();
  if (records_below(file) != state.records) {
    node_list extra;
    collect_unrecorded(file, record_keys(state.records), extra);
    std::vector<std::unique_ptr<node_watch>> going;
    for (assoc_class* n : extra) going.push_back(std::make_unique<node_watch>(n));
    for (const auto& w : going)
      if (assoc_class* n = w->get(); n && n->parent()) n->parent()->delete_child(n);
  }
  // The reference is read as a path only: the two files are tied anew.
  reference = dynamic_cast<ref_prof_3*>(file.find_child("ref_prof"));
  if (reference) {
    const std::string wanted = reference->get_text() ? reference->get_text() : "";
    if (wanted != reference_before) reference->assign(wanted.c_str());
  }
  xy_yobs_4* chain = observed(file);
  if (!chain || !state.curve) return;
  const curve_state& c = *state.curve;
  chain->x1 = c.x1;
  chain->x2 = c.x2;
  chain->xd = c.xd;
  chain->n = c.n;
  chain->y = c.y;
  if (float_vec* x = chain->explicit_abscissa()) *x = c.x;
  chain->profile_changed();
}
