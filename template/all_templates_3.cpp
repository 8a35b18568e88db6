#include "template/all_templates_3.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "core/stream_in.h"
#include "template/get_objs_3.h"
#include "template/lazy_template_global.h"
#include "template/tem_node_3.h"
#include "template/template_classes.h"

namespace {

// Recursive references are refused before expanding; this only bounds the
// work on a pathological file.
constexpr int max_expansion_passes = 64;

int depth_below(assoc_class* node, assoc_class* root) {
  int d = 0;
  for (assoc_class* n = node; n && n != root; n = n->parent()) ++d;
  return d;
}

// Indentation of the next node line: blanks count 1, tabs 3, a level is 3.
// Blank lines and apostrophe comment lines are passed over. Returns -1 at
// the end of the input.
int measure_indentation(stream_in& in) {
  for (;;) {
    int width = 0;
    char c = 0;
    for (;;) {
      if (in.at_end()) return -1;
      c = in.get();
      if (c == ' ') {
        width += 1;
      } else if (c == '\t') {
        width += 3;
      } else {
        break;
      }
    }
    if (c == '\n' || c == '\r') continue;
    if (c == '\'') {
      in.skip_line();
      continue;
    }
    in.unget();
    return width / 3;
  }
}

std::unique_ptr<tem_node_3> make_node(const char* kind) {
  std::unique_ptr<assoc_class> made = create_registered(kind);
  auto* node = dynamic_cast<tem_node_3*>(made.get());
  if (!node) return std::make_unique<tem_node_3>();
  made.release();
  return std::unique_ptr<tem_node_3>(node);
}

void collect_below(assoc_class* top, node_list& out) {
  for (int i = 0; i < top->child_count(); ++i) {
    out.push_back(top->child(i));
    collect_below(top->child(i), out);
  }
}

}  // namespace

all_templates_3& template_tree() { return lazy_template_global<all_templates_3>::process_wide().get(); }

void replace_templates(stream_in& in) { lazy_template_global<all_templates_3>::process_wide().replace(in); }

void all_templates_3::unload() {
  delete_all_children();
  indexes_.clear();
  not_in_tem_.reset();
}

tem_node_3* all_templates_3::top_level(const char* name) { return dynamic_cast<tem_node_3*>(find_child(name)); }

void all_templates_3::load(stream_in& in) {
  register_template_classes();
  if (!in.find_word("start_templates")) return;
  for (;;) {
    in.skip_space();
    if (in.at_end()) break;
    const char c = in.get();
    if (c != '{') {
      in.unget();
      in.read_word();  // "end_templates": any word ends the section
      break;
    }
    read_block(in);
  }
  expand_references();
  build_indexes();
}

void all_templates_3::read_block(stream_in& in) {
  assoc_class* current = this;
  for (;;) {
    const int level = measure_indentation(in);
    if (level < 0) return;
    if (in.get() == '}') return;
    in.unget();
    const int d = depth_below(current, this) - level;
    if (d > 0) {
      for (int i = 0; i < d && current != this; ++i) current = current->parent();
    } else if (d == -1 && current->last_child()) {
      current = current->last_child();
    }
    const char prefix = in.get();
    const char* kind = prefix == 'A'   ? "tem_funda"
                       : prefix == 'B' ? "inp_tem_rec"
                       : prefix == 'C' ? "tem_multiple_names"
                                       : nullptr;
    if (!kind) {
      in.unget();
      kind = "tem_node";
    }
    auto* node = static_cast<tem_node_3*>(current->add_child(make_node(kind).release()));
    node->read_value(in);
    in.skip_line();
    if (in.at_end()) return;
    if (in.get() == '}') return;
    in.unget();
  }
}

std::vector<tem_node_3*> all_templates_3::recursive_templates() {
  // Which top-level templates each one refers to, directly.
  std::map<tem_node_3*, std::set<tem_node_3*>> refers;
  for (int t = 0; t < child_count(); ++t) {
    auto* top = dynamic_cast<tem_node_3*>(child(t));
    if (!top) continue;
    node_list below;
    collect_below(top, below);
    for (assoc_class* n : below)
      if (auto* node = dynamic_cast<tem_node_3*>(n))
        if (tem_node_3* s = top_level(node->node_name())) refers[top].insert(s);
  }
  std::vector<tem_node_3*> recursive;
  for (auto& [start, direct] : refers) {
    std::set<tem_node_3*> seen;
    std::vector<tem_node_3*> todo(direct.begin(), direct.end());
    while (!todo.empty()) {
      tem_node_3* s = todo.back();
      todo.pop_back();
      if (s == start) {
        recursive.push_back(start);
        break;
      }
      if (!seen.insert(s).second) continue;
      auto it = refers.find(s);
      if (it != refers.end()) todo.insert(todo.end(), it->second.begin(), it->second.end());
    }
  }
  return recursive;
}

void all_templates_3::expand_references() {
  // A template that reaches itself through its references would expand
  // without end: references to it stay plain nodes.
  const std::vector<tem_node_3*> recursive = recursive_templates();
  auto expandable = [&](tem_node_3* s) {
    return s && std::find(recursive.begin(), recursive.end(), s) == recursive.end();
  };
  for (int t = 0; t < child_count(); ++t) {
    assoc_class* top = child(t);
    // A chain of references deeper than the pass limit can only be a loop.
    for (int pass = 0; pass < max_expansion_passes; ++pass) {
      node_list below;
      collect_below(top, below);
      bool changed = false;
      // Deepest first, so that a reference inside another is replaced before
      // the outer one is deleted.
      for (auto it = below.rbegin(); it != below.rend(); ++it) {
        auto* node = dynamic_cast<tem_node_3*>(*it);
        tem_node_3* source = node ? top_level(node->node_name()) : nullptr;
        if (!expandable(source) || !node->parent()) continue;
        assoc_class* parent = node->parent();
        for (int k = 0; k < source->child_count(); ++k) {
          auto* model = dynamic_cast<tem_node_3*>(source->child(k));
          if (!model) continue;
          std::unique_ptr<tem_node_3> copy = make_node(model->kind_name());
          copy->copy_node(*model);
          parent->add_child(copy.release());
        }
        parent->delete_child(node);
        changed = true;
      }
      if (!changed) break;
    }
  }
}

void all_templates_3::build_indexes() {
  indexes_.clear();
  for (int t = 0; t < child_count(); ++t) {
    auto* top = dynamic_cast<tem_node_3*>(child(t));
    if (!top) continue;
    indexes_.push_back(std::make_unique<tem_recs_3>());
    tem_recs_3* index = indexes_.back().get();
    node_list below;
    collect_below(top, below);
    for (assoc_class* n : below) {
      auto* node = dynamic_cast<tem_node_3*>(n);
      if (!node) continue;
      node->depth_ = depth_below(node, top);
      index->add_child(node);
    }
    index->rebuild_index();
    top->records_.set(index);
  }
  sort_children();
  not_in_tem_.reset();
  if (tem_node_3* nit = top_level("#not_in_tem")) not_in_tem_.set(nit->records());
  for (int t = 0; t < child_count(); ++t) {
    auto* top = dynamic_cast<tem_node_3*>(child(t));
    if (!top) continue;
    auto* index = top->records();
    for (int i = 0; i < index->child_count(); ++i) {
      auto* node = dynamic_cast<tem_node_3*>(index->child(i));
      if (!node) continue;
      assoc_class* scope = index;
      if (node->marks.test(tem_bits::tem_plate)) {
        if (tem_node_3* named = top_level(node->template_name.c_str())) scope = named->records();
      }
      node->records_.set(scope);
    }
  }
}
