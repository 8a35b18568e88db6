#pragma once

// A small in-code template tree for exercising the object tree without the
// template loader: template records with attributes, scripts and typed-field
// descriptions, a host that makes children from them, and a script runner
// that understands a handful of test commands.

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/assoc_class.h"
#include "core/error_message.h"
#include "core/field_description.h"
#include "core/fund_funs.h"
#include "core/fund_type_3.h"
#include "core/no_name_3.h"
#include "core/non_owns_3.h"
#include "core/path_and_name_3.h"
#include "core/paths.h"
#include "core/template_host.h"

namespace stand_in {

enum class kind { plain, int_value, double_value, text_value, ref_value, path_value };

class tem : public assoc_class, public template_node_view {
 public:
  tem(std::string name, std::uint32_t attributes = 0, kind k = kind::plain)
      : name_(std::move(name)), attributes_(attributes), kind_(k) {
    switch (k) {
      case kind::int_value: field_.funs = &fund_funs_i_3::instance(); break;
      case kind::double_value: field_.funs = &fund_funs_d_3::instance(); break;
      case kind::ref_value: field_.funs = &fund_funs_a_3::instance(); break;
      default: field_.funs = &fund_funs_s_3::instance(); break;
    }
  }
  const char* class_name() const override { return name_.c_str(); }
  const template_node_view* as_template() const override { return this; }
  std::uint32_t attributes() const override { return attributes_; }
  assoc_class* records() const override { return records_; }
  const char* action(script_kind k) const override {
    auto it = actions_.find(k);
    return it == actions_.end() ? nullptr : it->second.c_str();
  }
  int depth() const override { return depth_; }
  const field_description* field() const override { return kind_ == kind::plain ? nullptr : &field_; }

  tem* with_script(script_kind k, std::string text) {
    actions_[k] = std::move(text);
    const std::uint32_t bit = k == script_kind::creation    ? tem_bits::on_creation
                              : k == script_kind::execution ? tem_bits::on_execution
                              : k == script_kind::deletion  ? tem_bits::on_deletion
                                                            : tem_bits::on_get_a;
    attributes_ |= bit;
    return this;
  }
  field_description& field_desc() { return field_; }
  kind value_kind() const { return kind_; }

  std::string name_;
  std::uint32_t attributes_;
  kind kind_;
  assoc_class* records_ = nullptr;
  int depth_ = 0;
  std::map<script_kind, std::string> actions_;
  field_description field_;
};

// One top-level template with its record index.
struct templates {
  assoc_class root;  // owns the template nodes
  std::vector<std::unique_ptr<non_owns_3>> indexes;

  // Adds a top-level template; its nodes are added under it with `node`.
  tem* top(const std::string& name) {
    auto* t = static_cast<tem*>(root.add_child(std::make_unique<tem>(name)));
    indexes.push_back(std::make_unique<non_owns_3>());
    t->records_ = indexes.back().get();
    return t;
  }
  tem* node(tem* parent, const std::string& name, std::uint32_t attributes = 0, kind k = kind::plain) {
    auto* n = static_cast<tem*>(parent->add_child(std::make_unique<tem>(name, attributes, k)));
    n->depth_ = parent->depth_ + 1;
    // Index it under its top-level template; scopes point at that index.
    tem* t = n;
    while (t->parent() != &root) t = static_cast<tem*>(t->parent());
    t->records_->add_child(n);
    n->records_ = t->records_;
    return n;
  }
  // Makes `n` open the scope of the top-level template `scope`.
  void open_scope(tem* n, tem* scope) {
    n->attributes_ |= tem_bits::tem_plate;
    n->records_ = scope->records_;
  }
};

// Test scripts: commands separated by ';', each a verb and its words.
//   log TEXT          appends "TEXT@node" to the host's log
//   emit TEXT         appends TEXT to the caller's output collector
//   delete-sibling N  deletes the node's sibling named N
//   delete-self       deletes the node through its parent
//   run-on-parent N   appends "ran:N@node" to the log (as collected text run on a parent)
class host : public template_host {
 public:
  explicit host(templates& t, tem* app = nullptr) : t_(t), app_(app) { previous_ = set_template_host(this); }
  ~host() override { set_template_host(previous_); }

  assoc_class* app_template() override { return app_; }
  assoc_class* create_child_by_name(assoc_class& parent, const char* name) override {
    assoc_class* records = parent.template_scope();
    auto* rec = records ? static_cast<tem*>(records->find_child(name)) : nullptr;
    if (!rec) return nullptr;
    std::unique_ptr<assoc_class> made;
    if (rec->value_kind() == kind::path_value)
      made = std::make_unique<path_and_name_3>();
    else if (rec->value_kind() == kind::plain)
      made = std::make_unique<no_name_3>();
    else
      made = std::make_unique<fund_type_3>();
    made->set_tem(rec);
    ++created;
    return parent.add_child(std::move(made));
  }
  std::unique_ptr<assoc_class> create_object(const char*) override { return nullptr; }
  void register_object(assoc_class*) override {}
  assoc_class* evaluate_object(assoc_class& node, const char*) override { return node.parent(); }
  assoc_class* outside_root() override { return outside; }

  void run_script(assoc_class& node, const char* script, my_string* output) override {
    std::stringstream all(script);
    std::string command;
    while (std::getline(all, command, ';')) {
      std::istringstream words(command);
      std::string verb;
      std::string arg;
      words >> verb;
      std::getline(words >> std::ws, arg);
      if (verb == "log") {
        log.push_back(arg + "@" + node.class_name());
      } else if (verb == "emit") {
        if (output) output->append(arg.c_str());
        else log.push_back("no-collector@" + std::string(node.class_name()));
      } else if (verb == "delete-sibling") {
        if (assoc_class* p = node.parent())
          if (assoc_class* s = p->find_child(arg.c_str())) p->delete_child(s);
      } else if (verb == "delete-self") {
        if (assoc_class* p = node.parent()) p->delete_child(&node);
      } else if (verb == "run-on-parent") {
        log.push_back("ran:" + arg + "@" + node.class_name());
      }
    }
  }

  std::vector<std::string> log;
  int created = 0;
  assoc_class* outside = nullptr;

 private:
  templates& t_;
  tem* app_;
  template_host* previous_;
};

// A live root object under a template scope of its own, whose typed fields a
// test declares and makes, and the messages shown meanwhile.
struct value_tree {
  templates t;
  host h{t};
  tem* scope = t.top("#v");
  tem* root_tem = t.node(scope, "root");
  assoc_class root;
  recording_reporter shown;
  error_reporter* previous = set_error_reporter(&shown);

  value_tree() {
    t.open_scope(root_tem, scope);
    root.set_tem(root_tem);
    root.set_live();
  }
  ~value_tree() { set_error_reporter(previous); }
  value_tree(const value_tree&) = delete;
  value_tree& operator=(const value_tree&) = delete;

  tem* field(const char* name, kind k) { return t.node(scope, name, 0, k); }
  // A double a person knows as `label`, held within [min, max].
  tem* limited(const char* name, const char* label, double min, double max) {
    tem* f = field(name, kind::double_value);
    f->field_desc().bits |= field_bits::min | field_bits::max | field_bits::name;
    f->field_desc().min = min;
    f->field_desc().max = max;
    f->field_desc().name.assign(label);
    return f;
  }
  assoc_class* make(const char* name) { return root.create_child_by_name(name); }
};

}  // namespace stand_in
