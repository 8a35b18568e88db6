#include "template/do_creation_3.h"

#include "core/fund_kp_sorted_3.h"
#include "core/io_funda_3.h"
#include "core/no_name_3.h"
#include "core/path_and_name_3.h"
#include "template/all_templates_3.h"
#include "template/get_objs_3.h"

namespace {

template <class X>
std::unique_ptr<assoc_class> make_plain(const char*) {
  return std::make_unique<X>();
}

std::unique_ptr<assoc_class> make_registered(const char* name) { return create_registered(name); }

// Indexed by the letter minus 'A'.
const do_creation_3 a_table[] = {
    {"a_creation_3", make_plain<no_name_3>, false, true},
    {"b_creation_3", make_plain<fund_type_3>, false, true},
    {"c_creation_3", make_plain<fund_kp_sorted_3>, false, true},
    {"d_creation_3", make_plain<path_and_name_3>, false, true},
};

// Indexed by the letter minus 'N'.
const do_creation_3 n_table[] = {
    {"n_creation_3", make_plain<no_name_3>, true, true},
    {"o_creation_3", make_plain<fund_type_3>, true, true},
    // A registered class has a name of its own.
    {"p_creation_3", make_registered, true, false},
    {"q_creation_3", make_plain<io_funda_3>, true, true},
    {"r_creation_3", make_plain<path_and_name_3>, true, true},
};

}  // namespace

std::unique_ptr<assoc_class> do_creation_3::make(const char* name, assoc_class& parent) const {
  assoc_class* records = free_standing_ ? template_tree().not_in_tem() : parent.template_scope();
  assoc_class* record = records ? records->find_child(name) : nullptr;
  // These objects take their name from their template node: made without
  // one, an object would not answer to the name it was made for, so every
  // look-up of that name would miss it and make yet another.
  if (!record && takes_template_name_) return nullptr;
  std::unique_ptr<assoc_class> made = make_(name);
  if (!made) return nullptr;
  if (record) made->set_tem(record);
  return made;
}

const do_creation_3* creation_directive(const char* name) {
  if (!name || !name[0]) return nullptr;
  const char letter = name[1];
  if (letter >= 'A' && letter <= 'D') return &a_table[letter - 'A'];
  if (letter >= 'N' && letter <= 'R') return &n_table[letter - 'N'];
  return nullptr;
}
