#include "template/template_side.h"

#include "core/error_message.h"
#include "template/all_templates_3.h"
#include "template/do_creation_3.h"
#include "template/get_objs_3.h"
#include "template/out_side_recs_3.h"
#include "template/process_strs_fns_3.h"
#include "template/tem_node_3.h"
#include "template/template_classes.h"

namespace {

const char* app_caption() { return outside_value("app_name"); }

// The object whose template opens the name scope that `node` lives in.
assoc_class* scope_object(assoc_class& node) {
  for (assoc_class* o = &node; o; o = o->parent()) {
    o->template_scope();  // binds on demand
    const template_node_view* v = o->template_view();
    if (v && (v->attributes() & tem_bits::tem_plate)) return o;
  }
  return nullptr;
}

}  // namespace

assoc_class* template_side::app_template() {
  tem_node_3* top = template_tree().top_level("#app");
  return top ? top->find_child("app") : nullptr;
}

assoc_class* template_side::create_child_by_name(assoc_class& parent, const char* name) {
  if (!name || !*name) return nullptr;
  if (const do_creation_3* directive = creation_directive(name)) {
    std::unique_ptr<assoc_class> made = directive->make(name, parent);
    return made ? parent.add_child(std::move(made)) : nullptr;
  }
  assoc_class* scope = scope_object(parent);
  const template_node_view* v = scope ? scope->template_view() : nullptr;
  assoc_class* records = v ? v->records() : nullptr;
  auto* node = records ? dynamic_cast<tem_node_3*>(records->find_child(name)) : nullptr;
  if (!node) return nullptr;
  std::unique_ptr<assoc_class> made = create_registered(node->creation_name(name));
  if (!made) return nullptr;
  made->set_tem(node);
  return parent.add_child(std::move(made));
}

std::unique_ptr<assoc_class> template_side::create_object(const char* class_name) { return create_registered(class_name); }

void template_side::register_object(assoc_class* node) {
  if (auto* creator = dynamic_cast<B_creator_3*>(node)) register_creator(*creator);
}

void template_side::run_script(assoc_class& node, const char* script, my_string* output) {
  run_process_text(node, script, output);
}

assoc_class* template_side::evaluate_object(assoc_class& node, const char* script) {
  return evaluate_process_text(node, script);
}

assoc_class* template_side::outside_root() { return outside_records().root(); }

void install_template_side() {
  static template_side side;
  register_template_classes();
  set_template_host(&side);
  set_caption_source(app_caption);
}
