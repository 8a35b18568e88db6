#pragma once

#include <memory>

#include "core/assoc_class.h"

// A creation directive: the class and template of a child whose name has a
// capital letter in second place. 'A' to 'D' take their template from the
// parent's name scope, 'N' to 'R' from the top-level template "#not_in_tem".
class do_creation_3 : public assoc_class {
 public:
  using factory = std::unique_ptr<assoc_class> (*)(const char* name);
  do_creation_3(const char* directive_name, factory make, bool free_standing, bool takes_template_name)
      : name_(directive_name), make_(make), free_standing_(free_standing), takes_template_name_(takes_template_name) {}
  const char* class_name() const override { return name_; }
  // The new object, not yet attached, bound to its template. Null when the
  // object would take its name from a template node and none is declared.
  virtual std::unique_ptr<assoc_class> make(const char* name, assoc_class& parent) const;

 private:
  const char* name_;
  factory make_;
  bool free_standing_;
  bool takes_template_name_;
};

// The directive for the second letter of `name`, or null for ordinary names.
const do_creation_3* creation_directive(const char* name);
