#pragma once

#include "core/template_host.h"

// The template layer's answers to the object tree: templates bound by name,
// children made by directive or by registry, scripts run by the interpreter,
// and the outside records. Installed once, before the first object is made.
class template_side : public template_host {
 public:
  assoc_class* app_template() override;
  assoc_class* create_child_by_name(assoc_class& parent, const char* name) override;
  std::unique_ptr<assoc_class> create_object(const char* class_name) override;
  void register_object(assoc_class* node) override;
  void run_script(assoc_class& node, const char* script, my_string* output) override;
  assoc_class* evaluate_object(assoc_class& node, const char* script) override;
  assoc_class* outside_root() override;
};

// Installs the template side as the tree's host and the application's name
// as the caption of error messages.
void install_template_side();
